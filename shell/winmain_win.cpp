// Start-up of zorvane: the program's entry point.
#include "shell/shell_win.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
    InitCommonControls();
    InitChoosers();
    if (!RegisterMainWindowClass())
        return 0;
    HWND window = CreateMainWindow();
    if (window == nullptr)
        return 0;
    g_mainWindow = window;
    g_sourceChooser.hwndOwner = window;
    g_fileChooser.hwndOwner = window;
    return RunMainLoop();
}
