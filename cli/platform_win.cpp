// Windows side of zorvane-cli's platform layer: handles with 64-bit offsets,
// GetTempFileNameW beside the target, MoveFileExW into place, SetEndOfFile,
// FlushFileBuffers and a console prompt without echo. Paths arrive as UTF-8
// and every file call is the wide one, so any name Windows can hold works.
#include "cli/platform.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "base/wipe.h"

// What Ctrl+C must undo: the temporary file being written and a console
// left without echo.
static wchar_t g_tempPath[CLI_PATH_SIZE];
static volatile LONG g_tempActive = 0;
static HANDLE g_consoleIn = INVALID_HANDLE_VALUE;
static DWORD g_savedConsoleMode = 0;
static DWORD g_lastError = 0;

static bool Fail()
{
    g_lastError = GetLastError();
    return false;
}

static BOOL WINAPI OnConsoleEvent(DWORD)
{
    if (g_tempActive)
        DeleteFileW(g_tempPath);
    if (g_consoleIn != INVALID_HANDLE_VALUE)
        SetConsoleMode(g_consoleIn, g_savedConsoleMode);
    return FALSE; // the default handler ends the process
}

void PlatformInit()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// The wide form of a UTF-8 path; false (with a reason) when it has none.
static bool WidePath(const char* path, wchar_t wide[CLI_PATH_SIZE])
{
    if (WidenUtf8(path, wide, CLI_PATH_SIZE))
        return true;
    g_lastError = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ERROR_FILENAME_EXCED_RANGE
                                                              : ERROR_INVALID_NAME;
    return false;
}

static bool OpenWith(const char* path, DWORD access, CliFile* file)
{
    wchar_t wide[CLI_PATH_SIZE];
    if (!WidePath(path, wide))
        return false;
    HANDLE handle = CreateFileW(wide, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Fail();
    file->handle = (intptr_t)handle;
    return true;
}

bool PlatformOpenRead(const char* path, CliFile* file)
{
    return OpenWith(path, GENERIC_READ, file);
}

bool PlatformOpenReadWrite(const char* path, CliFile* file)
{
    return OpenWith(path, GENERIC_READ | GENERIC_WRITE, file);
}

bool PlatformFileSize(CliFile* file, int64_t* size)
{
    LARGE_INTEGER value;
    if (!GetFileSizeEx((HANDLE)file->handle, &value))
        return Fail();
    *size = value.QuadPart;
    return true;
}

long PlatformRead(CliFile* file, void* buffer, size_t size)
{
    DWORD got = 0;
    if (!ReadFile((HANDLE)file->handle, buffer, (DWORD)size, &got, nullptr)) {
        Fail();
        return -1;
    }
    return (long)got;
}

bool PlatformWriteAll(CliFile* file, const void* buffer, size_t size)
{
    const char* at = (const char*)buffer;
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile((HANDLE)file->handle, at, (DWORD)size, &put, nullptr))
            return Fail();
        if (put == 0) {
            g_lastError = ERROR_DISK_FULL;
            return false;
        }
        at += put;
        size -= put;
    }
    return true;
}

bool PlatformSeek(CliFile* file, int64_t offset)
{
    LARGE_INTEGER value;
    value.QuadPart = offset;
    if (!SetFilePointerEx((HANDLE)file->handle, value, nullptr, FILE_BEGIN))
        return Fail();
    return true;
}

bool PlatformTruncate(CliFile* file, int64_t length)
{
    if (!PlatformSeek(file, length))
        return false;
    if (!SetEndOfFile((HANDLE)file->handle))
        return Fail();
    return true;
}

bool PlatformSync(CliFile* file)
{
    if (!FlushFileBuffers((HANDLE)file->handle))
        return Fail();
    return true;
}

void PlatformWriteBehind(CliFile*)
{
    // The system cache already writes behind on its own.
}

bool PlatformClose(CliFile* file)
{
    if (!CloseHandle((HANDLE)file->handle))
        return Fail();
    return true;
}

bool PlatformExists(const char* path)
{
    wchar_t wide[CLI_PATH_SIZE];
    return WidePath(path, wide) && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

bool PlatformSameFile(CliFile* file, const char* path)
{
    wchar_t wide[CLI_PATH_SIZE];
    if (!WidePath(path, wide))
        return false;
    HANDLE named = CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a, b;
    bool same = GetFileInformationByHandle((HANDLE)file->handle, &a) &&
                GetFileInformationByHandle(named, &b) &&
                a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(named);
    return same;
}

bool PlatformCreateTempBeside(const char* target, CliFile* file, char* tempPath,
                              size_t tempPathSize)
{
    wchar_t wideTarget[CLI_PATH_SIZE], folder[MAX_PATH], wideTemp[MAX_PATH];
    if (!WidePath(target, wideTarget))
        return false;
    size_t length = 0;
    for (size_t k = 0; wideTarget[k]; k++) {
        if (wideTarget[k] == L'\\' || wideTarget[k] == L'/' || wideTarget[k] == L':')
            length = k + 1;
    }
    if (length + 14 >= MAX_PATH || tempPathSize < MAX_PATH) {
        g_lastError = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    if (length == 0)
        folder[length++] = L'.';
    else
        memcpy(folder, wideTarget, length * sizeof(wchar_t));
    folder[length] = L'\0';
    // GetTempFileNameW creates the file, so the name is ours alone.
    if (GetTempFileNameW(folder, L"zcl", 0, wideTemp) == 0)
        return Fail();
    if (!NarrowToUtf8(wideTemp, tempPath, tempPathSize)) {
        Fail();
        DeleteFileW(wideTemp);
        return false;
    }
    memcpy(g_tempPath, wideTemp, (wcslen(wideTemp) + 1) * sizeof(wchar_t));
    InterlockedExchange(&g_tempActive, 1);
    // Shared for deletion, so that the Ctrl+C handler can delete it while it
    // is still open.
    HANDLE handle = CreateFileW(wideTemp, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                                nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        Fail();
        PlatformDropTemp(tempPath);
        return false;
    }
    file->handle = (intptr_t)handle;
    return true;
}

bool PlatformMoveIntoPlace(const char* tempPath, const char* target, bool replace)
{
    wchar_t wideTemp[CLI_PATH_SIZE], wideTarget[CLI_PATH_SIZE];
    if (!WidePath(tempPath, wideTemp) || !WidePath(target, wideTarget))
        return false;
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(wideTemp, wideTarget, flags))
        return Fail();
    InterlockedExchange(&g_tempActive, 0);
    return true;
}

void PlatformDropTemp(const char* tempPath)
{
    wchar_t wide[CLI_PATH_SIZE];
    if (WidePath(tempPath, wide))
        DeleteFileW(wide);
    InterlockedExchange(&g_tempActive, 0);
}

bool PlatformFullPath(const char* path, char* out, size_t outSize)
{
    wchar_t wide[CLI_PATH_SIZE], full[CLI_PATH_SIZE];
    if (!WidePath(path, wide))
        return false;
    DWORD length = GetFullPathNameW(wide, CLI_PATH_SIZE, full, nullptr);
    if (length == 0)
        return Fail();
    if (length >= CLI_PATH_SIZE || !NarrowToUtf8(full, out, outSize)) {
        g_lastError = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    return true;
}

const char* PlatformErrorText()
{
    static char text[512];
    wchar_t wide[256];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, g_lastError, 0, wide, 256, nullptr);
    if (length == 0 || !NarrowToUtf8(wide, text, sizeof text))
        snprintf(text, sizeof text, "system error %lu", (unsigned long)g_lastError);
    // FormatMessageW ends its text with ".\r\n"; a message line has no end of its own.
    for (size_t k = strlen(text); k > 0 && (text[k - 1] == '\r' || text[k - 1] == '\n' ||
                                           text[k - 1] == '.');
         k--)
        text[k - 1] = '\0';
    return text;
}

bool PlatformStderrIsTerminal()
{
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool PlatformReadSecret(const char* prompt, char* out, size_t outSize)
{
    HANDLE in = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    HANDLE shown = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    bool ok = in != INVALID_HANDLE_VALUE && shown != INVALID_HANDLE_VALUE &&
              GetConsoleMode(in, &mode);
    if (!ok)
        Fail();
    // Read as wide characters, whatever the console's code page; at most a
    // line's worth is kept (only the first seven characters count).
    wchar_t line[256];
    size_t length = 0;
    if (ok) {
        DWORD put;
        wchar_t widePrompt[64];
        g_savedConsoleMode = mode;
        g_consoleIn = in;
        // Echo goes off before the prompt appears.
        SetConsoleMode(in, (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) &
                               ~(DWORD)ENABLE_ECHO_INPUT);
        if (WidenUtf8(prompt, widePrompt, 64))
            WriteConsoleW(shown, widePrompt, (DWORD)wcslen(widePrompt), &put, nullptr);
        bool ended = false;
        while (!ended) {
            wchar_t c;
            DWORD got = 0;
            if (!ReadConsoleW(in, &c, 1, &got, nullptr) || got == 0 || c == L'\n')
                ended = true;
            else if (c != L'\r' && length + 1 < 256)
                line[length++] = c;
        }
        SetConsoleMode(in, mode);
        g_consoleIn = INVALID_HANDLE_VALUE;
        WriteConsoleW(shown, L"\r\n", 2, &put, nullptr);
    }
    line[length] = L'\0';
    if (!NarrowToUtf8(line, out, outSize) && outSize > 0)
        out[0] = '\0';
    Wipe(line, sizeof line);
    if (in != INVALID_HANDLE_VALUE)
        CloseHandle(in);
    if (shown != INVALID_HANDLE_VALUE)
        CloseHandle(shown);
    return ok;
}
