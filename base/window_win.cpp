// Window class registration and table-driven control creation, shared by
// every window of the program.
#include "base/window_win.h"

HINSTANCE g_instance;
HWND g_mainWindow;

BOOL RegisterProgramClass(const char* className, WNDPROC proc, int iconId)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(iconId));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_MENU + 1);
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

void CreateControls(HWND parent, const ControlSpec* table, size_t count, HWND* handles)
{
    for (size_t k = 0; k < count; k++) {
        const ControlSpec& c = table[k];
        HWND control = CreateWindowExA(c.exStyle, c.className, c.text, c.style, c.x, c.y,
                                       c.width, c.height, parent, (HMENU)(INT_PTR)c.id,
                                       g_instance, nullptr);
        if (handles)
            handles[k] = control;
    }
}

LRESULT PaintNothing(HWND window)
{
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
    return 0;
}
