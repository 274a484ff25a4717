// The About window: a description of the program and a Done button.
#include "shell/shell_win.h"

#include "shell/messages.h"

enum AboutCommand { IDC_ABOUT_DONE = 21 };

static const char kAboutClass[] = "AboutWindow";
static const ControlSpec kAboutControls[] = {
    {"Button", "Done", IDC_ABOUT_DONE, 5, 180, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", kAboutText, 0, 5, 25, 400, 150, WS_CHILD | WS_VISIBLE, 0},
};

static LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateControls(window, kAboutControls, COUNTOF(kAboutControls), nullptr);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_DONE)
            DestroyWindow(window);
        return 0;
    case WM_PAINT:
        return PaintNothing(window);
    case WM_DESTROY:
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterAboutWindowClass()
{
    return RegisterProgramClass(kAboutClass, AboutWindowProc, IDI_MAIN_ICON);
}

HWND OpenAboutWindow()
{
    return CreateWindowExA(0, kAboutClass, kAboutTitle,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 500, 250, 450,
                           250, g_mainWindow, nullptr, g_instance, nullptr);
}
