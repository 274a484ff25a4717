// The carrier kind test shared by the embed command and zorvane-cli.
#include "carrier/carrierkind.h"

#include "carrier/messages.h"

static bool StartsWith(const unsigned char* bytes, size_t length, const char* text, size_t count)
{
    if (length < count)
        return false;
    for (size_t k = 0; k < count; k++) {
        if (bytes[k] != (unsigned char)text[k])
            return false;
    }
    return true;
}

CarrierKind CarrierKindOf(const unsigned char* head, size_t length)
{
    if (length > CARRIER_KIND_HEAD_SIZE)
        length = CARRIER_KIND_HEAD_SIZE;
    if (StartsWith(head, length, "PK\3\4", 4) || StartsWith(head, length, "PK\5\6", 4))
        return CARRIER_KIND_ZIP;
    // PDF readers accept the header anywhere in the first kilobyte, after
    // whatever a mail or print system put in front of it.
    for (size_t at = 0; at < length; at++) {
        if (StartsWith(head + at, length - at, "%PDF-", 5))
            return CARRIER_KIND_PDF;
    }
    return CARRIER_KIND_OTHER;
}

const char* CarrierKindName(CarrierKind kind)
{
    switch (kind) {
    case CARRIER_KIND_PDF:
        return kCarrierKindPdf;
    case CARRIER_KIND_ZIP:
        return kCarrierKindZip;
    case CARRIER_KIND_OTHER:
        break;
    }
    return nullptr;
}
