// The one file layer every command goes through: thin wrappers over the Win32
// file calls with 64-bit sizes, plus a fault switch a test can arm to make
// the Nth call fail (with an error, or as a short write).
#ifndef ZORVANE_BASE_FILEIO_WIN_H
#define ZORVANE_BASE_FILEIO_WIN_H

#include <windows.h>
#include <cstdint>

#include "base/faultswitch.h"
#include "base/pathname.h"

// Opens with CreateFileA; INVALID_HANDLE_VALUE on failure (GetLastError set).
HANDLE FileOpen(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD attributes);
// Opens a hidden temporary file empty: CREATE_ALWAYS with the hidden
// attribute, so a hidden leftover of an interrupted run is truncated too.
HANDLE FileCreateHiddenEmpty(const char* path, DWORD access, DWORD share);
// Reads up to `size` bytes; *got is 0 at the end of the file.
BOOL FileRead(HANDLE file, void* buffer, DWORD size, DWORD* got);
// Writes all `size` bytes; a short write is a failure.
BOOL FileWrite(HANDLE file, const void* buffer, DWORD size);
BOOL FileSeek(HANDLE file, int64_t offset, DWORD method, int64_t* newPosition);
BOOL FileSize(HANDLE file, int64_t* size);
// Cuts the file at its current position.
BOOL FileTruncate(HANDLE file);
BOOL FileFlush(HANDLE file);
BOOL FileClose(HANDLE file);

// A handle of the file layer closed with FileClose when it goes out of
// scope, so no path of a function can leave it open. Where the close must
// come at a given point (before a message box, while the user may replace
// the file), the function calls Close() there; the handle is then closed
// once only.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // FileClose's result; TRUE when it was closed already.
    BOOL Close()
    {
        HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return FileClose(handle);
    }
    // Closes the handle held, if any, and holds another.
    void Reset(HANDLE handle)
    {
        Close();
        m_handle = handle;
    }

private:
    HANDLE m_handle;
};
// Deletes a file of ours, hidden or read-only leftovers included.
BOOL FileDelete(const char* path);
// Deletes a user's file as the C runtime's remove does: a read-only file
// stays where it is, with its attributes.
BOOL FileRemove(const char* path);
// Replaces `to` by `from` in one step (MoveFileEx with REPLACE_EXISTING).
BOOL FileRename(const char* from, const char* to);
BOOL FileExists(const char* path);
// True when two names, each taken from the current directory, name the same
// path: full (and, for existing files, long) paths compared without regard
// to case.
BOOL FileSamePath(const char* a, const char* b);

// Fault switch, for tests. Armed with N > 0, the Nth call of the layer from
// then on fails, with an error or (FileWrite) as a short write.
enum FileFaultKind { FILE_FAULT_ERROR, FILE_FAULT_SHORT_WRITE };
extern FaultSwitch g_fileFaults;
extern FileFaultKind g_fileFaultKind;
void FileFaultArm(long callNumber, FileFaultKind kind);
void FileFaultDisarm();

// Buffered streams over the layer: the byte loops read and write one byte at
// a time, the buffers turn that into 64 KiB calls. A failed call sets `failed`
// and the stream stays failed.
enum { FILE_BUFFER_SIZE = 64 * 1024 };

struct FileReader {
    HANDLE file;
    DWORD filled;
    DWORD pos;
    bool failed;
    bool atEnd;
    unsigned char buffer[FILE_BUFFER_SIZE];
};

struct FileWriter {
    HANDLE file;
    DWORD used;
    bool failed;
    unsigned char buffer[FILE_BUFFER_SIZE];
};

void ReaderInit(FileReader* reader, HANDLE file);
// One byte; false at the end of the file or on failure (see reader->failed).
bool ReaderGet(FileReader* reader, unsigned char* byte);
// Up to `size` bytes; returns the count, 0 at the end or on failure.
DWORD ReaderGetBlock(FileReader* reader, unsigned char* out, DWORD size);
// Drops the buffer after the file position was moved.
void ReaderReset(FileReader* reader);

void WriterInit(FileWriter* writer, HANDLE file);
bool WriterPut(FileWriter* writer, unsigned char byte);
bool WriterPutBlock(FileWriter* writer, const unsigned char* data, DWORD size);
// Writes out what is buffered; false if any write failed.
bool WriterFlush(FileWriter* writer);

#endif
