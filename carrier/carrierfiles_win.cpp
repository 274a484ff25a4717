// Shared file steps of the embed and extract commands, and the carrier
// subsystem's message texts, kept together in one place.
#include "carrier/carrierfiles_win.h"

#include <cstring>

#include "carrier/carrier_win.h"

const char kTextCarrierRefused[] = "Carrier file CANNOT be a text file!";
const char kTextCarrierCaption[] = "Invalid Carrier File Type";
const char kHiddenTooLarge[] =
    "The file to be embedded is larger than 99,999,999 bytes and cannot be hidden. "
    "Nothing was changed.";
const char kHiddenTooLargeCaption[] = "File Too Large";
const char kKeyFileFailed[] =
    "The temporary key file could not be made in the current folder. Nothing was embedded.";
const char kAppendFailedRestored[] =
    "Writing to the carrier file failed. The carrier was restored to its original length.";
const char kAppendFailedNotRestored[] =
    "Writing to the carrier file failed, and it could not be restored to its original length.";
const char kHiddenWriteFailed[] =
    "The hidden file could not be written completely. The carrier still holds it.";
const char kTrailerNotRemoved[] =
    "The hidden file was written, but the carrier could not be rewritten without it. "
    "The carrier still holds it.";

bool ReadExactAt(HANDLE file, int64_t offset, unsigned char* buffer, DWORD size)
{
    if (!FileSeek(file, offset, FILE_BEGIN, nullptr))
        return false;
    DWORD done = 0;
    while (done < size) {
        DWORD n = 0;
        if (!FileRead(file, buffer + done, size - done, &n) || n == 0)
            return false;
        done += n;
    }
    return true;
}

// One block per call pair: the copies are as fast as the disk allows, and
// the bytes written are exactly the bytes read.
static unsigned char s_copyBlock[1024 * 1024];

bool CopyExact(HANDLE from, HANDLE to, int64_t count, bool* wrote)
{
    while (count > 0) {
        DWORD want = count < (int64_t)sizeof s_copyBlock ? (DWORD)count : (DWORD)sizeof s_copyBlock;
        DWORD got = 0;
        if (!FileRead(from, s_copyBlock, want, &got) || got == 0)
            return false;
        if (wrote)
            *wrote = true;
        if (!FileWrite(to, s_copyBlock, got))
            return false;
        count -= got;
    }
    return true;
}

void CopyPath(char* to, const char* from)
{
    size_t n = strnlen(from, PATH_BUFFER_SIZE - 1);
    memmove(to, from, n);
    to[n] = '\0';
}

void SetChooserTitle(const char* title)
{
    CopyPath(g_chooserTitle, title);
}
