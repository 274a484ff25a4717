// Starting and stopping the holder program (holder_win.cpp) from a test.
#include "tests/faults/holder_win.h"

#include <cstdio>

FileHolder::FileHolder(const std::string& path)
{
    static unsigned counter = 0;
    char readyName[64], releaseName[64];
    snprintf(readyName, sizeof readyName, "zvhold_ready_%lu_%u", GetCurrentProcessId(), ++counter);
    snprintf(releaseName, sizeof releaseName, "zvhold_release_%lu_%u", GetCurrentProcessId(),
             counter);
    ready_ = CreateEventA(nullptr, TRUE, FALSE, readyName);
    release_ = CreateEventA(nullptr, TRUE, FALSE, releaseName);
    std::string commandLine = std::string("\"") + ZORVANE_HOLDER + "\" \"" + path + "\" " +
                              readyName + " " + releaseName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(ZORVANE_HOLDER, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    HANDLE either[2] = {ready_, process_};
    holding_ = WaitForMultipleObjects(2, either, FALSE, 30000) == WAIT_OBJECT_0;
}

FileHolder::~FileHolder()
{
    SetEvent(release_);
    if (process_) {
        WaitForSingleObject(process_, 30000);
        CloseHandle(process_);
    }
    CloseHandle(ready_);
    CloseHandle(release_);
}
