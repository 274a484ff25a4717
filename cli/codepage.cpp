// UTF-8 checks, the names of what cannot cross, and the conversions of
// secrets and stored names, which copy bytes as they are under
// --codepage bytes and otherwise ask the system's converter.
#include "cli/codepage.h"

#include <cstdio>
#include <cstring>

int g_codePage = CODEPAGE_DEFAULT_POSIX;

size_t Utf8SequenceLength(const char* text)
{
    const unsigned char* at = (const unsigned char*)text;
    unsigned char lead = at[0];
    size_t length;
    unsigned long value;
    if (lead == 0)
        return 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    for (size_t k = 1; k < length; k++) {
        if ((at[k] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (at[k] & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not UTF-8.
    static const unsigned long kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kLeast[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return 0;
    return length;
}

bool IsUtf8(const char* text, size_t* badOffset)
{
    size_t at = 0;
    while (text[at] != '\0') {
        size_t length = Utf8SequenceLength(text + at);
        if (length == 0) {
            *badOffset = at;
            return false;
        }
        at += length;
    }
    return true;
}

void DescribeCodePage(char* out, size_t outSize)
{
    if (g_codePage == CODEPAGE_BYTES)
        snprintf(out, outSize, "--codepage bytes");
    else
        snprintf(out, outSize, "code page %d", g_codePage);
}

void DescribeCharacterAt(const char* at, char* out, size_t outSize)
{
    size_t length = Utf8SequenceLength(at);
    const unsigned char* bytes = (const unsigned char*)at;
    if (length == 0) {
        snprintf(out, outSize, "byte 0x%02X", bytes[0]);
        return;
    }
    static const unsigned char kLeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    unsigned long value = bytes[0] & kLeadMask[length];
    for (size_t k = 1; k < length; k++)
        value = (value << 6) | (bytes[k] & 0x3F);
    // A control character is named by its number alone: printed, it would
    // move the cursor or end the line.
    if (value < 0x20 || (value >= 0x7F && value < 0xA0))
        snprintf(out, outSize, "U+%04lX", value);
    else
        snprintf(out, outSize, "\"%.*s\" (U+%04lX)", (int)length, at, value);
}

static ConvertResult CopyBytes(const char* from, char* out, size_t outSize)
{
    size_t length = strlen(from);
    if (length >= outSize)
        return CONVERT_TOO_LONG;
    memcpy(out, from, length + 1);
    return CONVERT_OK;
}

ConvertResult TextToCodePage(const char* utf8, char* out, size_t outSize, size_t* badOffset)
{
    if (g_codePage == CODEPAGE_BYTES)
        return CopyBytes(utf8, out, outSize);
    if (!IsUtf8(utf8, badOffset))
        return CONVERT_NOT_UTF8;
    return PlatformToCodePage(g_codePage, utf8, out, outSize, badOffset);
}

ConvertResult TextFromCodePage(const char* bytes, char* out, size_t outSize, size_t* badOffset)
{
    if (g_codePage == CODEPAGE_BYTES)
        return CopyBytes(bytes, out, outSize);
    return PlatformFromCodePage(g_codePage, bytes, out, outSize, badOffset);
}

void DescribeConvertFailure(ConvertResult result, const char* text, size_t badOffset,
                            char* out, size_t outSize)
{
    char codePage[40], what[40];
    DescribeCodePage(codePage, sizeof codePage);
    switch (result) {
    case CONVERT_NOT_UTF8:
        snprintf(out, outSize, "not UTF-8 text (byte 0x%02X at %lu)",
                 (unsigned char)text[badOffset], (unsigned long)badOffset);
        break;
    case CONVERT_UNMAPPABLE:
        DescribeCharacterAt(text + badOffset, what, sizeof what);
        snprintf(out, outSize, "%s is not a character of %s (see --codepage)", what, codePage);
        break;
    case CONVERT_TOO_LONG:
        snprintf(out, outSize, "too long");
        break;
    default:
        snprintf(out, outSize, "%s cannot be opened on this system", codePage);
        break;
    }
}
