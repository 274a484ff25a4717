// POSIX side of zorvane-cli's platform layer: descriptors, mkstemp beside the
// target, link/rename into place, ftruncate, fsync and a termios prompt.
#include "cli/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// What an interrupt must undo: the temporary file being written and a
// terminal left without echo. Plain buffers, read by the signal handler.
static char g_tempPath[CLI_PATH_SIZE];
static volatile sig_atomic_t g_tempActive = 0;
static struct termios g_savedTerminal;
static volatile sig_atomic_t g_terminalFd = -1;
static int g_lastError = 0;

static bool Fail()
{
    g_lastError = errno;
    return false;
}

static void OnInterrupt(int signalNumber)
{
    if (g_tempActive)
        unlink(g_tempPath);
    if (g_terminalFd >= 0)
        tcsetattr(g_terminalFd, TCSANOW, &g_savedTerminal);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void PlatformInit()
{
    // Past a file size limit a write must fail like a full disk, so that the
    // temporary file is removed, rather than kill the program.
    signal(SIGXFSZ, SIG_IGN);
    signal(SIGINT, OnInterrupt);
    signal(SIGTERM, OnInterrupt);
    signal(SIGHUP, OnInterrupt);
}

static bool OpenWith(const char* path, int flags, CliFile* file)
{
    int fd = open(path, flags | O_CLOEXEC);
    if (fd < 0)
        return Fail();
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        g_lastError = S_ISDIR(info.st_mode) ? EISDIR : errno;
        close(fd);
        return false;
    }
    file->handle = fd;
    return true;
}

bool PlatformOpenRead(const char* path, CliFile* file)
{
    if (!OpenWith(path, O_RDONLY, file))
        return false;
#ifdef POSIX_FADV_SEQUENTIAL
    posix_fadvise((int)file->handle, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return true;
}

bool PlatformOpenReadWrite(const char* path, CliFile* file)
{
    return OpenWith(path, O_RDWR, file);
}

bool PlatformFileSize(CliFile* file, int64_t* size)
{
    struct stat info;
    if (fstat((int)file->handle, &info) != 0)
        return Fail();
    *size = (int64_t)info.st_size;
    return true;
}

long PlatformRead(CliFile* file, void* buffer, size_t size)
{
    for (;;) {
        ssize_t got = read((int)file->handle, buffer, size);
        if (got >= 0)
            return (long)got;
        if (errno != EINTR) {
            Fail();
            return -1;
        }
    }
}

bool PlatformWriteAll(CliFile* file, const void* buffer, size_t size)
{
    const char* at = (const char*)buffer;
    while (size > 0) {
        ssize_t put = write((int)file->handle, at, size);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return Fail();
        }
        at += put;
        size -= (size_t)put;
    }
    return true;
}

bool PlatformSeek(CliFile* file, int64_t offset)
{
    if (lseek((int)file->handle, (off_t)offset, SEEK_SET) < 0)
        return Fail();
    return true;
}

bool PlatformTruncate(CliFile* file, int64_t length)
{
    if (ftruncate((int)file->handle, (off_t)length) != 0)
        return Fail();
    return true;
}

bool PlatformSync(CliFile* file)
{
    if (fsync((int)file->handle) != 0)
        return Fail();
    return true;
}

void PlatformWriteBehind(CliFile* file)
{
#ifdef SYNC_FILE_RANGE_WRITE
    sync_file_range((int)file->handle, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)file;
#endif
}

bool PlatformClose(CliFile* file)
{
    // A close can report a failed delayed write; the caller must know.
    if (close((int)file->handle) != 0)
        return Fail();
    return true;
}

bool PlatformExists(const char* path)
{
    struct stat info;
    return lstat(path, &info) == 0;
}

bool PlatformSameFile(CliFile* file, const char* path)
{
    struct stat open, named;
    return fstat((int)file->handle, &open) == 0 && stat(path, &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Length of the folder part of a path, its last '/' included.
static size_t FolderLength(const char* path)
{
    const char* slash = strrchr(path, '/');
    return slash ? (size_t)(slash - path) + 1 : 0;
}

bool PlatformCreateTempBeside(const char* target, CliFile* file, char* tempPath,
                              size_t tempPathSize)
{
    static const char kPattern[] = ".zorvane-cli-XXXXXX";
    size_t folder = FolderLength(target);
    if (folder + sizeof kPattern > tempPathSize || folder + sizeof kPattern > sizeof g_tempPath) {
        g_lastError = ENAMETOOLONG;
        return false;
    }
    memcpy(tempPath, target, folder);
    memcpy(tempPath + folder, kPattern, sizeof kPattern);
    // Signals are held while the name is recorded, so an interrupt deletes
    // exactly the file that exists.
    sigset_t all, previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
    int fd = mkostemp(tempPath, O_CLOEXEC);
    if (fd >= 0) {
        memcpy(g_tempPath, tempPath, strlen(tempPath) + 1);
        g_tempActive = 1;
    } else {
        g_lastError = errno;
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0)
        return false;
    file->handle = fd;
    return true;
}

static void SyncFolderOf(const char* path)
{
    char folder[CLI_PATH_SIZE];
    size_t length = FolderLength(path);
    if (length == 0 || length >= sizeof folder) {
        folder[0] = '.';
        folder[1] = '\0';
    } else {
        memcpy(folder, path, length);
        folder[length] = '\0';
    }
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool PlatformMoveIntoPlace(const char* tempPath, const char* target, bool replace)
{
    if (replace) {
        if (rename(tempPath, target) != 0)
            return Fail();
    } else if (link(tempPath, target) == 0) {
        // A hard link fails when the target exists, with no window between
        // a check and the rename.
        unlink(tempPath);
    } else if (errno == EEXIST) {
        return Fail();
    } else if (PlatformExists(target)) {
        // A file system without hard links: check, then rename.
        g_lastError = EEXIST;
        return false;
    } else if (rename(tempPath, target) != 0) {
        return Fail();
    }
    g_tempActive = 0;
    SyncFolderOf(target);
    return true;
}

void PlatformDropTemp(const char* tempPath)
{
    unlink(tempPath);
    g_tempActive = 0;
}

bool PlatformFullPath(const char* path, char* out, size_t outSize)
{
    char* full = realpath(path, nullptr);
    if (!full)
        return Fail();
    size_t length = strlen(full);
    bool fits = length < outSize;
    if (fits)
        memcpy(out, full, length + 1);
    else
        g_lastError = ENAMETOOLONG;
    free(full);
    return fits;
}

const char* PlatformErrorText()
{
    return strerror(g_lastError);
}

bool PlatformStderrIsTerminal()
{
    return isatty(STDERR_FILENO) != 0;
}

bool PlatformReadSecret(const char* prompt, char* out, size_t outSize)
{
    int fd = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return Fail();
    struct termios quiet;
    if (tcgetattr(fd, &g_savedTerminal) != 0) {
        Fail();
        close(fd);
        return false;
    }
    quiet = g_savedTerminal;
    quiet.c_lflag &= ~(tcflag_t)(ECHO | ECHONL);
    quiet.c_lflag |= ICANON;
    g_terminalFd = fd;
    // Echo goes off before the prompt appears, so a quick typist's answer is
    // never shown.
    bool ok = tcsetattr(fd, TCSANOW, &quiet) == 0 && write(fd, prompt, strlen(prompt)) >= 0;
    size_t length = 0;
    bool ended = false;
    while (ok && !ended) {
        char c;
        ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || c == '\n' || c == '\r')
            ended = true;
        else if (length + 1 < outSize)
            out[length++] = c;
    }
    if (!ok)
        g_lastError = errno;
    out[length] = '\0';
    tcsetattr(fd, TCSANOW, &g_savedTerminal);
    g_terminalFd = -1;
    ssize_t ignored = write(fd, "\n", 1);
    (void)ignored;
    close(fd);
    return ok;
}
