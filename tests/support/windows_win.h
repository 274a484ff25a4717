// The one window finder of the tests, in process and end to end alike: the
// top-level windows of a class (and title) of one process or of this thread,
// a window's children, and a window's text, also across processes.
#ifndef ZORVANE_TESTS_SUPPORT_WINDOWS_WIN_H
#define ZORVANE_TESTS_SUPPORT_WINDOWS_WIN_H

#include <windows.h>

#include <string>
#include <vector>

// The top-level windows of process `pid` (0: of any process) with this class
// and, unless title is nullptr, this title, in the order the system lists them.
std::vector<HWND> TopWindows(DWORD pid, const char* className, const char* title = nullptr);
// The same among this thread's windows only: other test programs on the same
// desktop open theirs.
std::vector<HWND> ThreadWindows(const char* className, const char* title = nullptr);
// The first of ThreadWindows, or nullptr.
HWND FindThreadWindow(const char* className, const char* title);
// Destroys every top-level window of this thread with this class.
void DestroyThreadWindows(const char* className);
// The children of a window (nullptr: of any class, else of this class in any
// letter case), in the order the system lists them, grandchildren included.
std::vector<HWND> ChildWindows(HWND window, const char* className = nullptr);
// A child's rectangle in the client coordinates of `window`.
RECT ChildRect(HWND window, HWND child);
// The text of a window or control (WM_GETTEXT, so also another process's).
std::string WindowText(HWND window);

#endif
