// Files and folders for the tests under Wine.
#include "tests/support/files_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

bool FileIsThere(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

static bool Seek(HANDLE h, long long offset)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != FALSE;
}

// Opens the file, hands it to `use` and closes it: what `use` says, false
// when the file cannot be opened.
static bool WithFile(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                     DWORD attributes, const std::function<bool(HANDLE)>& use)
{
    HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition, attributes, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = use(h);
    CloseHandle(h);
    return ok;
}

bool MakeSparseFile(const std::string& path, long long size)
{
    return WithFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                    [&](HANDLE h) { return Seek(h, size) && SetEndOfFile(h); });
}

static bool WriteAll(HANDLE h, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
           written == bytes.size();
}

bool WriteBytesAt(const std::string& path, long long offset, const std::string& bytes)
{
    return WithFile(path, GENERIC_WRITE, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                    [&](HANDLE h) { return Seek(h, offset) && WriteAll(h, bytes); });
}

std::string ReadBytesAt(const std::string& path, long long offset, DWORD count, DWORD share)
{
    std::string bytes(count, '\0');
    DWORD got = 0;
    WithFile(path, GENERIC_READ, share, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, [&](HANDLE h) {
        return Seek(h, offset) && ReadFile(h, &bytes[0], count, &got, nullptr);
    });
    bytes.resize(got);
    return bytes;
}

bool WriteHiddenFile(const std::string& path, const std::string& bytes)
{
    return WithFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN,
                    [&](HANDLE h) { return WriteAll(h, bytes); });
}

std::map<std::string, std::string> FolderContents(const std::string& folder)
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[found.cFileName] = ReadFileBytes(folder + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

std::string HeldFiles(const std::string& folder)
{
    std::string held;
    for (const auto& file : FolderContents(folder)) {
        HANDLE h = CreateFileA((folder + "\\" + file.first).c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            held += " " + file.first;
        else
            CloseHandle(h);
    }
    return held;
}

void ExpectNoTemporaryFiles(const std::string& folder, const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        EXPECT_FALSE(FileIsThere(folder + "\\" + name)) << name << " left behind";
}

static std::string TempPath(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + name;
}

std::string MakeTempFolder(const std::string& name)
{
    std::string folder = TempPath(name);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

static void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

ScratchDir::ScratchDir()
{
    static unsigned counter = 0;
    char name[64];
    snprintf(name, sizeof name, "zvt%lu_%u", GetCurrentProcessId(), ++counter);
    root_ = TempPath(name);
    RemoveTree(root_);
    MakeTempFolder(name);
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    previous_ = current;
    SetCurrentDirectoryA(root_.c_str());
}

ScratchDir::~ScratchDir()
{
    SetCurrentDirectoryA(previous_.c_str());
    RemoveTree(root_);
}

std::string ScratchDir::Path(const std::string& name) const
{
    return root_ + "\\" + name;
}
