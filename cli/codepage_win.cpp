// The conversions of zorvane-cli on Windows, through UTF-16: no best-fit
// characters and no default character, so what the code page lacks is
// refused rather than turned into '?' or a look-alike.
#include "cli/codepage.h"

#include <windows.h>

#include "cli/platform.h"

// The position in UTF-8 text of the UTF-16 unit `unit` of its wide form.
static size_t Utf8OffsetOfUnit(const char* utf8, int unit)
{
    size_t at = 0;
    for (int units = 0; units < unit && utf8[at] != '\0';) {
        size_t length = Utf8SequenceLength(utf8 + at);
        at += length ? length : 1;
        units += length == 4 ? 2 : 1;
    }
    return at;
}

ConvertResult PlatformToCodePage(int codePage, const char* utf8, char* out, size_t outSize,
                                 size_t* badOffset)
{
    wchar_t wide[CLI_PATH_SIZE];
    if (!WidenUtf8(utf8, wide, CLI_PATH_SIZE))
        return CONVERT_TOO_LONG;
    if (!IsValidCodePage((UINT)codePage))
        return CONVERT_NO_CODEPAGE;
    // One character at a time: the first one the code page lacks is named.
    size_t used = 0;
    for (int k = 0; wide[k] != L'\0';) {
        int units = IS_HIGH_SURROGATE(wide[k]) && IS_LOW_SURROGATE(wide[k + 1]) ? 2 : 1;
        char bytes[8];
        BOOL defaulted = FALSE;
        bool utf = codePage == CP_UTF8;
        int length = WideCharToMultiByte((UINT)codePage, utf ? 0 : WC_NO_BEST_FIT_CHARS,
                                         wide + k, units, bytes, sizeof bytes, nullptr,
                                         utf ? nullptr : &defaulted);
        if (length <= 0 || defaulted) {
            *badOffset = Utf8OffsetOfUnit(utf8, k);
            return CONVERT_UNMAPPABLE;
        }
        if (used + (size_t)length >= outSize)
            return CONVERT_TOO_LONG;
        memcpy(out + used, bytes, (size_t)length);
        used += (size_t)length;
        k += units;
    }
    out[used] = '\0';
    return CONVERT_OK;
}

ConvertResult PlatformFromCodePage(int codePage, const char* bytes, char* out, size_t outSize,
                                   size_t* badOffset)
{
    if (!IsValidCodePage((UINT)codePage))
        return CONVERT_NO_CODEPAGE;
    wchar_t wide[CLI_PATH_SIZE];
    int units = MultiByteToWideChar((UINT)codePage, MB_ERR_INVALID_CHARS, bytes, -1, wide,
                                    CLI_PATH_SIZE);
    if (units <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER)
        return CONVERT_TOO_LONG;
    if (units <= 0) {
        // Find the first byte that does not convert on its own.
        size_t at = 0;
        while (bytes[at] != '\0' &&
               MultiByteToWideChar((UINT)codePage, MB_ERR_INVALID_CHARS, bytes + at, 1, wide,
                                   CLI_PATH_SIZE) > 0)
            at++;
        *badOffset = at;
        return CONVERT_UNMAPPABLE;
    }
    return NarrowToUtf8(wide, out, outSize) ? CONVERT_OK : CONVERT_TOO_LONG;
}

bool PlatformCodePageWorks(int codePage)
{
    return IsValidCodePage((UINT)codePage) != 0;
}

int PlatformDefaultCodePage()
{
    return (int)GetACP();
}
