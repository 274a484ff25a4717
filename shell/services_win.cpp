// The main window's state that the shell's services work on: its controls,
// the status lines among them, and the main window as owner while it is
// still being created.
#include "shell/shell_win.h"

HWND g_mainControls[MAIN_CONTROL_COUNT];

// Set while the main window's WM_CREATE runs.
static HWND s_mainWindowInCreation;

void SetMainWindowInCreation(HWND window)
{
    s_mainWindowInCreation = window;
}

// The control of each status line, in the order of StatusLine.
static const MainControl kStatusLineControls[] = {CTL_OPERATION_LINE, CTL_DIRECTION_LINE,
                                                  CTL_SOURCE_LINE, CTL_TARGET_LINE};

void SetStatusLine(StatusLine line, const char* text)
{
    SetWindowTextA(g_mainControls[kStatusLineControls[line]], text);
}

void ClearStatusLines()
{
    SetStatusLine(STATUS_OPERATION, "");
    SetStatusLine(STATUS_DIRECTION, "");
    SetStatusLine(STATUS_SOURCE, "");
    SetStatusLine(STATUS_TARGET, "");
}

HWND MainWindowAsOwner()
{
    return s_mainWindowInCreation ? s_mainWindowInCreation : g_mainWindow;
}

