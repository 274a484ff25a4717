// How names and secrets cross between zorvane-cli, whose text is UTF-8
// inside (the Windows program converts at its edges), and the window
// program, which keeps 8-bit text in the Windows code page: one conversion
// each way, refusing what the code page cannot hold.
#ifndef ZORVANE_CLI_CODEPAGE_H
#define ZORVANE_CLI_CODEPAGE_H

#include <cstddef>

// --codepage bytes: secrets and stored names are the bytes as given, as
// earlier versions on Linux took them.
enum { CODEPAGE_BYTES = 0, CODEPAGE_DEFAULT_POSIX = 1252 };

// The code page of secrets and stored names, CODEPAGE_BYTES or a Windows
// code page number. Written once by main (--codepage, ZORVANE_CODEPAGE or
// PlatformDefaultCodePage); read by the conversions below and the messages.
extern int g_codePage;

enum ConvertResult {
    CONVERT_OK,
    CONVERT_NOT_UTF8,   // the text is not UTF-8 (at *badOffset)
    CONVERT_UNMAPPABLE, // a character (at *badOffset) the other side cannot hold
    CONVERT_TOO_LONG,   // the result does not fit the buffer
    CONVERT_NO_CODEPAGE // the code page cannot be opened on this system
};

// The length of the UTF-8 sequence of one character at `text`, 0 when the
// bytes there are not one (also a NUL).
size_t Utf8SequenceLength(const char* text);
// True when the whole text is UTF-8; otherwise *badOffset is the first byte
// that is not.
bool IsUtf8(const char* text, size_t* badOffset);

// "code page 1251", or "--codepage bytes", for messages.
void DescribeCodePage(char* out, size_t outSize);
// "ā" (U+0101) for the character of UTF-8 text at `at`, or byte 0xE9 when
// it is not one: what a refusal names.
void DescribeCharacterAt(const char* at, char* out, size_t outSize);

// UTF-8 text into g_codePage (a copy with CODEPAGE_BYTES).
ConvertResult TextToCodePage(const char* utf8, char* out, size_t outSize, size_t* badOffset);
// 8-bit text of g_codePage into UTF-8 (a copy with CODEPAGE_BYTES).
ConvertResult TextFromCodePage(const char* bytes, char* out, size_t outSize, size_t* badOffset);

// Says why a conversion failed, naming what could not cross: the reason of a
// message about `subject`.
void DescribeConvertFailure(ConvertResult result, const char* text, size_t badOffset,
                            char* out, size_t outSize);

// The system side of the conversions, for a real code page (codepage_posix.cpp:
// iconv; codepage_win.cpp: MultiByteToWideChar and WideCharToMultiByte).
// The UTF-8 side is known to be valid when they are called.
ConvertResult PlatformToCodePage(int codePage, const char* utf8, char* out, size_t outSize,
                                 size_t* badOffset);
ConvertResult PlatformFromCodePage(int codePage, const char* bytes, char* out, size_t outSize,
                                   size_t* badOffset);
// True when the code page can be opened here.
bool PlatformCodePageWorks(int codePage);
// The window program's code page on this system: the ANSI code page on
// Windows, Windows-1252 elsewhere.
int PlatformDefaultCodePage();

#endif
