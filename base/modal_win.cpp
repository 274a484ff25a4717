// The seam for message boxes and open-file dialogs.
#include "base/modal_win.h"

#include "base/window_win.h"

MessageBoxFn g_messageBox = MessageBoxA;
OpenFileNameFn g_getOpenFileName = GetOpenFileNameA;

int ShowMessage(HWND owner, const char* text, const char* caption, UINT type)
{
    // A box whose owner no longer exists would not be shown at all: the main
    // window owns it instead (no owner, should that be gone too).
    if (owner != nullptr && !IsWindow(owner))
        owner = IsWindow(g_mainWindow) ? g_mainWindow : nullptr;
    return g_messageBox(owner, text, caption, type);
}

int ShowFileError(HWND owner, const char* text)
{
    return ShowMessage(owner, text, kFileAccessError, MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
}

BOOL RunOpenFileDialog(OPENFILENAMEA* record)
{
    return g_getOpenFileName(record);
}
