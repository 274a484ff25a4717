// The key window and the encrypt command (placeholders until the cipher lands).
#include "cipher/cipher_win.h"

#include "shell/shell_win.h"

int g_transformMode = 0;

static const char kKeyClass[] = "keyWindow";

static LRESULT CALLBACK KeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterKeyWindowClass()
{
    return RegisterProgramClass(kKeyClass, KeyWindowProc, IDI_KEY_ICON);
}

HWND OpenKeyWindow()
{
    return CreateWindowExA(0, kKeyClass, "Key to unlock ...",
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 500, 250, 300,
                           200, g_mainWindow, nullptr, g_instance, nullptr);
}

void RunEncryptCommand()
{
}
