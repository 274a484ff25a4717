// The conversions of zorvane-cli on POSIX: glibc's iconv between UTF-8 and
// a Windows code page, named CPnnnn (its gconv modules must be installed).
// The UTF-8 side is always checked before, so an invalid sequence on the way
// in is a character the code page lacks.
#include "cli/codepage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>

static iconv_t OpenConverter(int codePage, bool toCodePage)
{
    char name[24];
    snprintf(name, sizeof name, "CP%d", codePage);
    return toCodePage ? iconv_open(name, "UTF-8") : iconv_open("UTF-8", name);
}

static ConvertResult Convert(int codePage, bool toCodePage, const char* text, char* out,
                             size_t outSize, size_t* badOffset)
{
    iconv_t converter = OpenConverter(codePage, toCodePage);
    if (converter == (iconv_t)-1)
        return CONVERT_NO_CODEPAGE;
    char* in = (char*)text;
    size_t inLeft = strlen(text);
    char* at = out;
    size_t outLeft = outSize > 0 ? outSize - 1 : 0;
    ConvertResult result = CONVERT_OK;
    if (iconv(converter, &in, &inLeft, &at, &outLeft) == (size_t)-1 ||
        iconv(converter, nullptr, nullptr, &at, &outLeft) == (size_t)-1) {
        // EILSEQ: a character the other side lacks; EINVAL: a code page
        // sequence cut short at the end of the text.
        result = errno == E2BIG ? CONVERT_TOO_LONG : CONVERT_UNMAPPABLE;
        *badOffset = (size_t)(in - text);
    }
    iconv_close(converter);
    if (outSize > 0)
        *(result == CONVERT_OK ? at : out) = '\0';
    return result;
}

ConvertResult PlatformToCodePage(int codePage, const char* utf8, char* out, size_t outSize,
                                 size_t* badOffset)
{
    return Convert(codePage, true, utf8, out, outSize, badOffset);
}

ConvertResult PlatformFromCodePage(int codePage, const char* bytes, char* out, size_t outSize,
                                   size_t* badOffset)
{
    return Convert(codePage, false, bytes, out, outSize, badOffset);
}

bool PlatformCodePageWorks(int codePage)
{
    iconv_t converter = OpenConverter(codePage, true);
    if (converter == (iconv_t)-1)
        return false;
    iconv_close(converter);
    return true;
}

int PlatformDefaultCodePage()
{
    return CODEPAGE_DEFAULT_POSIX;
}
