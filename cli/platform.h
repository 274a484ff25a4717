// The few operating-system services zorvane-cli needs, behind one small
// interface: files with 64-bit sizes, a temporary file beside a target moved
// into place when complete, truncation, flushing and a no-echo prompt.
#ifndef ZORVANE_CLI_PLATFORM_H
#define ZORVANE_CLI_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// An open file: a descriptor on POSIX, a HANDLE on Windows.
struct CliFile {
    intptr_t handle;
};

enum { CLI_PATH_SIZE = 4096 };

// Text inside zorvane-cli is UTF-8: paths, messages and secrets. The
// Windows program converts at its edges (cli/text_win.cpp): the wide command
// line, the wide file calls, the console.

// The program's arguments as UTF-8: argv as given on POSIX, the wide
// command line on Windows.
void PlatformArguments(int* argc, char*** argv);
// The files an operand names, appended to `files`: on Windows a pattern
// with '*' or '?' in its last component is expanded, sorted, as console
// programs do (the shell does it elsewhere); any other operand is itself.
// False when a pattern matches no file.
bool PlatformExpandOperand(const char* operand, std::vector<std::string>* files);
// Writes UTF-8 text to stdout or stderr: as wide characters to a Windows
// console, as it is to anything else.
void PlatformWriteText(FILE* stream, const char* utf8);
// An environment variable as UTF-8; false when it is not set.
bool PlatformGetEnvironment(const char* name, char* out, size_t outSize);
#ifdef _WIN32
// UTF-8 to UTF-16 and back; false when the text does not fit or does not convert.
bool WidenUtf8(const char* utf8, wchar_t* out, size_t outCount);
bool NarrowToUtf8(const wchar_t* wide, char* out, size_t outSize);
#endif

// Called once at start: binary standard streams, and write failures past a
// file size limit reported as errors instead of ending the process.
void PlatformInit();

bool PlatformOpenRead(const char* path, CliFile* file);
bool PlatformOpenReadWrite(const char* path, CliFile* file);
bool PlatformFileSize(CliFile* file, int64_t* size);
// Bytes read (0 at the end of the file), or -1 on failure.
long PlatformRead(CliFile* file, void* buffer, size_t size);
bool PlatformWriteAll(CliFile* file, const void* buffer, size_t size);
bool PlatformSeek(CliFile* file, int64_t offset);
bool PlatformTruncate(CliFile* file, int64_t length);
// Pushes what was written down to the disk.
bool PlatformSync(CliFile* file);
// Starts writing what was written so far to the disk without waiting, so the
// final PlatformSync has little left to do. A hint: nothing to report.
void PlatformWriteBehind(CliFile* file);
bool PlatformClose(CliFile* file);

bool PlatformExists(const char* path);
// True when `path`, followed through links as it exists now, is the file
// open as `file` however it is named (same device and inode, or on Windows
// the same volume and file index).
bool PlatformSameFile(CliFile* file, const char* path);
// Creates a new, empty temporary file in the folder of `target` (never the
// current folder unless the target is there) and names it in `tempPath`.
// While it exists, an interrupt deletes it before the program ends.
bool PlatformCreateTempBeside(const char* target, CliFile* file, char* tempPath,
                              size_t tempPathSize);
// Renames a complete temporary file to its target. Without `replace` an
// existing target is left alone and the call fails.
bool PlatformMoveIntoPlace(const char* tempPath, const char* target, bool replace);
// Deletes a temporary file and forgets it for the interrupt handler.
void PlatformDropTemp(const char* tempPath);

// The absolute form of a path, as stored in a carrier trailer.
bool PlatformFullPath(const char* path, char* out, size_t outSize);

// The reason for the last failed call above, as a short text.
const char* PlatformErrorText();

bool PlatformStderrIsTerminal();
// Asks on the terminal (not standard input) with echo off. Fails when there
// is no terminal. `out` receives the line without its end, as UTF-8 on
// Windows (read as wide characters); as the terminal gives it elsewhere.
bool PlatformReadSecret(const char* prompt, char* out, size_t outSize);

#endif
