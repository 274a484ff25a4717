// Driving a real program from a test process: starting it, finding its
// windows and message boxes, and running command-line tools such as
// "reg query" with their output captured.
#ifndef ZORVANE_TESTS_CLEANER_PROCESS_WIN_H
#define ZORVANE_TESTS_CLEANER_PROCESS_WIN_H

#include <windows.h>

#include <string>

// A Linux path as Wine's Z: drive names it.
std::string WindowsPath(const char* unixPath);
// Starts a program (in the temporary folder); false when it cannot start.
bool StartProgram(const std::string& path, PROCESS_INFORMATION* process);
// Waits for a process and returns its exit code; -1 when it does not end.
DWORD WaitForExit(PROCESS_INFORMATION* process);
// Runs a command line to its end, capturing its output; returns the exit code.
DWORD RunAndWait(const std::string& commandLine, std::string* output);

// A top-level window of the process with this class (and title, if given).
HWND FindProcessWindow(DWORD pid, const char* className, const char* title);
// The same, waited for until it is visible; fails the test after 20 s.
HWND WaitForWindow(DWORD pid, const char* className, const char* title);
void WaitGone(HWND window);
// A window's text, from any process.
std::string TextOf(HWND window);
// Clicks a button (by command id) of another process's window.
void Press(HWND window, int id);

#endif
