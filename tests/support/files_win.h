// Files and folders for the tests under Wine, in process and end to end
// alike: sizes, bytes at an offset, sparse and hidden files, folder contents
// and scratch folders under the temporary folder.
#ifndef ZORVANE_TESTS_SUPPORT_FILES_WIN_H
#define ZORVANE_TESTS_SUPPORT_FILES_WIN_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/paths.h"

bool FileIsThere(const std::string& path);
// The file's length; -1 when it is not there.
long long FileSizeOf(const std::string& path);
// A file of `size` zero bytes whose length is set, not written: it costs no disk.
bool MakeSparseFile(const std::string& path, long long size);
// Writes `bytes` at `offset` of the file, made when it is not there.
bool WriteBytesAt(const std::string& path, long long offset, const std::string& bytes);
// Up to `count` bytes from `offset`; empty when it cannot be opened with this
// sharing (FILE_SHARE_READ: nobody else writes to it).
std::string ReadBytesAt(const std::string& path, long long offset, DWORD count,
                        DWORD share = FILE_SHARE_READ);
// A new hidden file holding `bytes`, as a run that was cut off leaves one.
bool WriteHiddenFile(const std::string& path, const std::string& bytes);
// Every file of a folder (not its subfolders) with its bytes.
std::map<std::string, std::string> FolderContents(const std::string& folder);

// The files of `folder` that a handle still holds (those that cannot be
// opened with no sharing), each after a space.
std::string HeldFiles(const std::string& folder);

// None of these temporary files (by default any of the four) is in `folder`.
void ExpectNoTemporaryFiles(const std::string& folder, const std::vector<std::string>& names =
                                                           {kTemporaryFiles, kTemporaryFiles + 4});

// The folder `name` under the temporary folder, made if needed.
std::string MakeTempFolder(const std::string& name);

// A fresh folder under the temporary folder, made the current directory for
// the test and removed with everything in it afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string Path(const std::string& name) const;
    const std::string& Root() const { return root_; }
private:
    std::string root_;
    std::string previous_;
};

#endif
