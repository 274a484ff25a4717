// The text edges of zorvane-cli on Windows: the wide command line with its
// patterns expanded as console programs do, wide environment variables, and
// UTF-8 written as wide characters to a console (as UTF-8 when redirected).
#include "cli/platform.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "base/pathname.h"

bool WidenUtf8(const char* utf8, wchar_t* out, size_t outCount)
{
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out, (int)outCount) > 0;
}

bool NarrowToUtf8(const wchar_t* wide, char* out, size_t outSize)
{
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, (int)outSize, nullptr, nullptr) > 0;
}

// The UTF-8 form of a wide text, in memory that lives until the program ends.
static char* KeptUtf8(const wchar_t* wide)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    char* text = (char*)malloc(size > 0 ? (size_t)size : 1);
    if (!text)
        ExitProcess(3);
    text[0] = '\0';
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, size, nullptr, nullptr);
    return text;
}

void PlatformArguments(int* argc, char*** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return;
    char** utf8 = (char**)malloc(sizeof(char*) * (size_t)(count + 1));
    if (!utf8)
        ExitProcess(3);
    for (int k = 0; k < count; k++)
        utf8[k] = KeptUtf8(wide[k]);
    utf8[count] = nullptr;
    LocalFree(wide);
    *argc = count;
    *argv = utf8;
}

bool PlatformExpandOperand(const char* operand, std::vector<std::string>* files)
{
    const char* name = LastPathComponent(operand);
    if (!strpbrk(name, "*?")) {
        files->push_back(operand);
        return true;
    }
    wchar_t pattern[CLI_PATH_SIZE];
    if (!WidenUtf8(operand, pattern, CLI_PATH_SIZE))
        return false;
    std::vector<std::string> found;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern, &entry);
    if (search != INVALID_HANDLE_VALUE) {
        // The matches keep the operand's folder part, as typed.
        std::string folder(operand, (size_t)(name - operand));
        do {
            char match[CLI_PATH_SIZE];
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                NarrowToUtf8(entry.cFileName, match, sizeof match))
                found.push_back(folder + match);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    std::sort(found.begin(), found.end());
    files->insert(files->end(), found.begin(), found.end());
    return !found.empty();
}

// The wide form of UTF-8 text of any length; empty when it is not UTF-8.
static std::vector<wchar_t> WideOf(const char* utf8)
{
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    std::vector<wchar_t> wide(units > 0 ? (size_t)units : 0);
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide.data(), units);
    return wide;
}

void PlatformWriteText(FILE* stream, const char* utf8)
{
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode;
    std::vector<wchar_t> wide;
    if (GetConsoleMode(handle, &mode))
        wide = WideOf(utf8);
    if (wide.empty()) {
        fputs(utf8, stream);
        return;
    }
    // What the C runtime holds goes out first, in order.
    fflush(stream);
    DWORD written;
    WriteConsoleW(handle, wide.data(), (DWORD)(wide.size() - 1), &written, nullptr);
}

bool PlatformGetEnvironment(const char* name, char* out, size_t outSize)
{
    std::vector<wchar_t> wideName = WideOf(name);
    DWORD size = GetEnvironmentVariableW(wideName.data(), nullptr, 0);
    if (size == 0)
        return false;
    std::vector<wchar_t> value(size + 1, L'\0');
    GetEnvironmentVariableW(wideName.data(), value.data(), size + 1);
    // Only the first seven characters of a secret count: a value too long
    // for `out` is cut well past them.
    if (value.size() > outSize / 4)
        value[outSize / 4] = L'\0';
    if (!NarrowToUtf8(value.data(), out, outSize) && outSize > 0)
        out[0] = '\0';
    return true;
}
