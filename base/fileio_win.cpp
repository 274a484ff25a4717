// The file layer: every file call of the commands passes here, so a test can
// make any one of them fail. Buffered readers and writers sit on top.
#include "base/fileio_win.h"

#include <cstring>

FaultSwitch g_fileFaults = {0, 0, 0, "", "", 0};
FileFaultKind g_fileFaultKind = FILE_FAULT_ERROR;

void FileFaultArm(long callNumber, FileFaultKind kind)
{
    FaultSwitchArm(&g_fileFaults, callNumber);
    g_fileFaultKind = kind;
}

void FileFaultDisarm()
{
    FaultSwitchDisarm(&g_fileFaults);
}

static bool FaultNow(const char* operation, const char* path = nullptr)
{
    return FaultSwitchNow(&g_fileFaults, operation, path);
}

HANDLE FileOpen(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD attributes)
{
    if (FaultNow("FileOpen", path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path, access, share, nullptr, disposition, attributes, nullptr);
}

HANDLE FileCreateHiddenEmpty(const char* path, DWORD access, DWORD share)
{
    return FileOpen(path, access, share, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN);
}

BOOL FileRead(HANDLE file, void* buffer, DWORD size, DWORD* got)
{
    *got = 0;
    if (FaultNow("FileRead")) {
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    return ReadFile(file, buffer, size, got, nullptr);
}

BOOL FileWrite(HANDLE file, const void* buffer, DWORD size)
{
    DWORD written = 0;
    if (FaultNow("FileWrite")) {
        if (g_fileFaultKind == FILE_FAULT_SHORT_WRITE && size > 1)
            WriteFile(file, buffer, size / 2, &written, nullptr);
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    if (!WriteFile(file, buffer, size, &written, nullptr))
        return FALSE;
    if (written != size) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return TRUE;
}

BOOL FileSeek(HANDLE file, int64_t offset, DWORD method, int64_t* newPosition)
{
    if (FaultNow("FileSeek")) {
        SetLastError(ERROR_SEEK);
        return FALSE;
    }
    LARGE_INTEGER distance;
    LARGE_INTEGER result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(file, distance, &result, method))
        return FALSE;
    if (newPosition)
        *newPosition = result.QuadPart;
    return TRUE;
}

BOOL FileSize(HANDLE file, int64_t* size)
{
    if (FaultNow("FileSize")) {
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    LARGE_INTEGER value;
    if (!GetFileSizeEx(file, &value))
        return FALSE;
    *size = value.QuadPart;
    return TRUE;
}

BOOL FileTruncate(HANDLE file)
{
    if (FaultNow("FileTruncate")) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return SetEndOfFile(file);
}

BOOL FileFlush(HANDLE file)
{
    if (FaultNow("FileFlush")) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return FlushFileBuffers(file);
}

BOOL FileClose(HANDLE file)
{
    if (file == INVALID_HANDLE_VALUE || file == nullptr)
        return TRUE;
    // A failed close still releases the handle: count the fault, close anyway.
    bool fault = FaultNow("FileClose");
    BOOL ok = CloseHandle(file);
    if (fault) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return ok;
}

BOOL FileDelete(const char* path)
{
    if (FaultNow("FileDelete", path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A hidden or read-only leftover would refuse deletion otherwise. A file
    // that still cannot go (another program has it open) gets its attributes
    // back: it stays the user's file, read-only or hidden as it was.
    DWORD attributes = GetFileAttributesA(path);
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path))
        return TRUE;
    DWORD error = GetLastError();
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path, attributes);
    SetLastError(error);
    return FALSE;
}

BOOL FileRename(const char* from, const char* to)
{
    if (FaultNow("FileRename", from)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

BOOL FileRemove(const char* path)
{
    if (FaultNow("FileRemove", path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return DeleteFileA(path);
}

// The full path of a name taken from the current directory, in its long
// form when the file exists (a chooser may hand back short names).
static BOOL FullLongPath(const char* path, char* out, DWORD size)
{
    DWORD n = GetFullPathNameA(path, size, out, nullptr);
    if (n == 0 || n >= size)
        return FALSE;
    char longForm[MAX_PATH];
    n = GetLongPathNameA(out, longForm, sizeof longForm);
    if (n > 0 && n < sizeof longForm && n < size)
        lstrcpynA(out, longForm, (int)size);
    return TRUE;
}

BOOL FileSamePath(const char* a, const char* b)
{
    char fullA[MAX_PATH];
    char fullB[MAX_PATH];
    return FullLongPath(a, fullA, sizeof fullA) && FullLongPath(b, fullB, sizeof fullB) &&
           lstrcmpiA(fullA, fullB) == 0;
}

BOOL FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ReaderInit(FileReader* reader, HANDLE file)
{
    reader->file = file;
    ReaderReset(reader);
    reader->failed = false;
}

void ReaderReset(FileReader* reader)
{
    reader->filled = 0;
    reader->pos = 0;
    reader->atEnd = false;
}

static bool ReaderFill(FileReader* reader)
{
    if (reader->failed || reader->atEnd)
        return false;
    DWORD got = 0;
    if (!FileRead(reader->file, reader->buffer, FILE_BUFFER_SIZE, &got)) {
        reader->failed = true;
        return false;
    }
    reader->filled = got;
    reader->pos = 0;
    if (got == 0) {
        reader->atEnd = true;
        return false;
    }
    return true;
}

bool ReaderGet(FileReader* reader, unsigned char* byte)
{
    if (reader->pos == reader->filled && !ReaderFill(reader))
        return false;
    *byte = reader->buffer[reader->pos++];
    return true;
}

DWORD ReaderGetBlock(FileReader* reader, unsigned char* out, DWORD size)
{
    DWORD copied = 0;
    while (copied < size) {
        if (reader->pos == reader->filled && !ReaderFill(reader))
            break;
        DWORD chunk = reader->filled - reader->pos;
        if (chunk > size - copied)
            chunk = size - copied;
        memcpy(out + copied, reader->buffer + reader->pos, chunk);
        reader->pos += chunk;
        copied += chunk;
    }
    return copied;
}

void WriterInit(FileWriter* writer, HANDLE file)
{
    writer->file = file;
    writer->used = 0;
    writer->failed = false;
}

bool WriterFlush(FileWriter* writer)
{
    if (writer->failed)
        return false;
    if (writer->used > 0 && !FileWrite(writer->file, writer->buffer, writer->used))
        writer->failed = true;
    writer->used = 0;
    return !writer->failed;
}

bool WriterPut(FileWriter* writer, unsigned char byte)
{
    if (writer->used == FILE_BUFFER_SIZE && !WriterFlush(writer))
        return false;
    writer->buffer[writer->used++] = byte;
    return !writer->failed;
}

bool WriterPutBlock(FileWriter* writer, const unsigned char* data, DWORD size)
{
    while (size > 0) {
        if (writer->used == FILE_BUFFER_SIZE && !WriterFlush(writer))
            return false;
        DWORD chunk = FILE_BUFFER_SIZE - writer->used;
        if (chunk > size)
            chunk = size;
        memcpy(writer->buffer + writer->used, data, chunk);
        writer->used += chunk;
        data += chunk;
        size -= chunk;
    }
    return !writer->failed;
}
