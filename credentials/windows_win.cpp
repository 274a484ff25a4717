// Password, change-password and signature windows (placeholders until the
// credentials land).
#include "credentials/credentials_win.h"

#include "shell/shell_win.h"

char g_signature1[SIGNATURE_SIZE] = "       ";
char g_signature2[SIGNATURE_SIZE] = "       ";

static LRESULT CALLBACK PlaceholderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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

BOOL RegisterOptionWindowClass()
{
    return RegisterProgramClass("optionWindow", PlaceholderProc, IDI_MAIN_ICON);
}

BOOL RegisterPassWindowClass()
{
    return RegisterProgramClass("passWindow", PlaceholderProc, IDI_MAIN_ICON);
}

BOOL RegisterChgpassWindowClass()
{
    return RegisterProgramClass("chgpassWindow", PlaceholderProc, IDI_MAIN_ICON);
}

void SignatureStoreLoad()
{
}

HWND OpenPasswordWindow(int)
{
    return CreateWindowExA(0, "passWindow", "Password",
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, 300,
                           200, g_mainWindow, nullptr, g_instance, nullptr);
}
