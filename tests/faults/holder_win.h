// Holds a file open from a second process with share mode 0, the way another
// program using it would, for as long as the object lives.
#ifndef ZORVANE_TESTS_FAULTS_HOLDER_WIN_H
#define ZORVANE_TESTS_FAULTS_HOLDER_WIN_H

#include <windows.h>

#include <string>

class FileHolder {
public:
    // Starts the holder program on `path` and waits until it holds the file.
    explicit FileHolder(const std::string& path);
    // Lets the file go and waits for the holder to end.
    ~FileHolder();
    bool Holding() const { return holding_; }
private:
    HANDLE process_ = nullptr;
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    bool holding_ = false;
};

#endif
