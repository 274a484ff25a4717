// Windows side of zorvane-cli's platform layer: handles with 64-bit offsets,
// GetTempFileNameA beside the target, MoveFileExA into place, SetEndOfFile,
// FlushFileBuffers and a console prompt without echo.
#include "cli/platform.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

// What Ctrl+C must undo: the temporary file being written and a console
// left without echo.
static char g_tempPath[CLI_PATH_SIZE];
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
        DeleteFileA(g_tempPath);
    if (g_consoleIn != INVALID_HANDLE_VALUE)
        SetConsoleMode(g_consoleIn, g_savedConsoleMode);
    return FALSE; // the default handler ends the process
}

void PlatformInit()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

static bool OpenWith(const char* path, DWORD access, CliFile* file)
{
    HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool PlatformSameFile(CliFile* file, const char* path)
{
    HANDLE named = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
    char folder[MAX_PATH];
    size_t length = 0;
    for (size_t k = 0; target[k]; k++) {
        if (target[k] == '\\' || target[k] == '/' || target[k] == ':')
            length = k + 1;
    }
    if (length + 14 >= MAX_PATH || tempPathSize < MAX_PATH) {
        g_lastError = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    if (length == 0)
        folder[length++] = '.';
    else
        memcpy(folder, target, length);
    folder[length] = '\0';
    // GetTempFileNameA creates the file, so the name is ours alone.
    if (GetTempFileNameA(folder, "zcl", 0, tempPath) == 0)
        return Fail();
    memcpy(g_tempPath, tempPath, strlen(tempPath) + 1);
    InterlockedExchange(&g_tempActive, 1);
    // Shared for deletion, so that the Ctrl+C handler can delete it while it
    // is still open.
    HANDLE handle = CreateFileA(tempPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
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
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExA(tempPath, target, flags))
        return Fail();
    InterlockedExchange(&g_tempActive, 0);
    return true;
}

void PlatformDropTemp(const char* tempPath)
{
    DeleteFileA(tempPath);
    InterlockedExchange(&g_tempActive, 0);
}

bool PlatformFullPath(const char* path, char* out, size_t outSize)
{
    DWORD length = GetFullPathNameA(path, (DWORD)outSize, out, nullptr);
    if (length == 0)
        return Fail();
    if (length >= outSize) {
        g_lastError = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    return true;
}

const char* PlatformErrorText()
{
    static char text[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, g_lastError, 0, text, sizeof text, nullptr);
    if (length == 0)
        snprintf(text, sizeof text, "system error %lu", (unsigned long)g_lastError);
    // FormatMessageA ends its text with ".\r\n"; a message line has no end of its own.
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
    HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    HANDLE shown = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    bool ok = in != INVALID_HANDLE_VALUE && shown != INVALID_HANDLE_VALUE &&
              GetConsoleMode(in, &mode);
    if (!ok)
        Fail();
    size_t length = 0;
    if (ok) {
        DWORD put;
        g_savedConsoleMode = mode;
        g_consoleIn = in;
        // Echo goes off before the prompt appears.
        SetConsoleMode(in, (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) &
                               ~(DWORD)ENABLE_ECHO_INPUT);
        WriteConsoleA(shown, prompt, (DWORD)strlen(prompt), &put, nullptr);
        bool ended = false;
        while (!ended) {
            char c;
            DWORD got = 0;
            if (!ReadConsoleA(in, &c, 1, &got, nullptr) || got == 0 || c == '\n')
                ended = true;
            else if (c != '\r' && length + 1 < outSize)
                out[length++] = c;
        }
        SetConsoleMode(in, mode);
        g_consoleIn = INVALID_HANDLE_VALUE;
        WriteConsoleA(shown, "\r\n", 2, &put, nullptr);
    }
    out[length] = '\0';
    if (in != INVALID_HANDLE_VALUE)
        CloseHandle(in);
    if (shown != INVALID_HANDLE_VALUE)
        CloseHandle(shown);
    return ok;
}
