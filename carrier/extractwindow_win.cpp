// The extract window and the embed command (placeholders until the carrier lands).
#include "carrier/carrier_win.h"

#include "shell/shell_win.h"

static const char kExtractClass[] = "ExtractWindow";

static LRESULT CALLBACK ExtractWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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

BOOL RegisterExtractWindowClass()
{
    return RegisterProgramClass(kExtractClass, ExtractWindowProc, IDI_KEY_ICON);
}

HWND OpenExtractWindow()
{
    return CreateWindowExA(0, kExtractClass, "Key to extract ...",
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 500, 250, 300,
                           200, g_mainWindow, nullptr, g_instance, nullptr);
}

void RunEmbedCommand()
{
}
