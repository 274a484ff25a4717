// The one window finder of the tests.
#include "tests/support/windows_win.h"

#include <cstring>

std::string WindowText(HWND window)
{
    char text[1024];
    text[0] = '\0';
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

struct Search {
    DWORD pid;
    const char* className;
    const char* title;
    std::vector<HWND> found;
};

static BOOL CALLBACK Collect(HWND window, LPARAM param)
{
    Search* s = (Search*)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[256];
    GetClassNameA(window, className, sizeof className);
    if ((s->pid == 0 || owner == s->pid) && strcmp(className, s->className) == 0 &&
        (s->title == nullptr || WindowText(window) == s->title))
        s->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD pid, const char* className, const char* title)
{
    Search s{pid, className, title, {}};
    EnumWindows(Collect, (LPARAM)&s);
    return s.found;
}

void DestroyThreadWindows(const char* className)
{
    for (HWND window : ThreadWindows(className))
        DestroyWindow(window);
}

std::vector<HWND> ThreadWindows(const char* className, const char* title)
{
    Search s{0, className, title, {}};
    EnumThreadWindows(GetCurrentThreadId(), Collect, (LPARAM)&s);
    return s.found;
}

HWND FindThreadWindow(const char* className, const char* title)
{
    std::vector<HWND> found = ThreadWindows(className, title);
    return found.empty() ? nullptr : found[0];
}

static BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    Search* s = (Search*)param;
    char className[256];
    GetClassNameA(child, className, sizeof className);
    if (s->className == nullptr || _stricmp(className, s->className) == 0)
        s->found.push_back(child);
    return TRUE;
}

std::vector<HWND> ChildWindows(HWND window, const char* className)
{
    Search s{0, className, nullptr, {}};
    EnumChildWindows(window, CollectChild, (LPARAM)&s);
    return s.found;
}

RECT ChildRect(HWND window, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, (POINT*)&r, 2);
    return r;
}
