// Driving a real program from a test process.
#include "tests/cleaner/process_win.h"

#include <gtest/gtest.h>

static const DWORD kWaitMs = 20000;

std::string WindowsPath(const char* unixPath)
{
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

bool StartProgram(const std::string& path, PROCESS_INFORMATION* process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = "\"" + path + "\"";
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, temp,
                          &startup, process) != FALSE;
}

DWORD WaitForExit(PROCESS_INFORMATION* process)
{
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process->hProcess, kWaitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process->hProcess, &code);
    else
        TerminateProcess(process->hProcess, 99);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    return code;
}

DWORD RunAndWait(const std::string& commandLine, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return (DWORD)-1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(writeEnd);
    DWORD code = (DWORD)-1;
    if (started) {
        char chunk[512];
        DWORD got;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            if (output)
                output->append(chunk, got);
        }
        code = WaitForExit(&process);
    }
    CloseHandle(readEnd);
    return code;
}

struct Search {
    DWORD pid;
    const char* className;
    const char* title;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    Search* s = (Search*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (pid == s->pid && strcmp(className, s->className) == 0 &&
        (!s->title || TextOf(window) == s->title)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD pid, const char* className, const char* title)
{
    Search s{pid, className, title, nullptr};
    EnumWindows(MatchWindow, (LPARAM)&s);
    return s.found;
}

HWND WaitForWindow(DWORD pid, const char* className, const char* title)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += 50) {
        HWND window = FindProcessWindow(pid, className, title);
        if (window && IsWindowVisible(window))
            return window;
        Sleep(50);
    }
    ADD_FAILURE() << "no window " << className << " \"" << (title ? title : "") << "\"";
    return nullptr;
}

void WaitGone(HWND window)
{
    for (DWORD waited = 0; waited < kWaitMs && IsWindow(window); waited += 50)
        Sleep(50);
    EXPECT_FALSE(IsWindow(window));
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

void Press(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    ASSERT_TRUE(button != nullptr) << "button " << id;
    PostMessageA(button, BM_CLICK, 0, 0);
}
