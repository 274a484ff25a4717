// One command at a time. Encrypt, decrypt, embed and extract each run from
// the click that starts them to their last message box, and while one waits
// (in an open-file dialog, a message box or the byte loop's pump) every other
// window keeps working. The commands share the path buffers, the status
// lines and the temporary files, so a second one must never start inside
// the first: every entry point asks RefuseWhileCommandRuns before anything.
#include "shell/shell_win.h"

long g_commandsRefused = 0;

static bool s_commandRunning = false;
static HWND s_commandWindow = nullptr;

bool RefuseWhileCommandRuns()
{
    if (!s_commandRunning)
        return false;
    g_commandsRefused++;
    MessageBeep(MB_OK);
    return true;
}

void CommandBegin(HWND window)
{
    s_commandRunning = true;
    s_commandWindow = window;
}

void CommandEnd()
{
    s_commandRunning = false;
    s_commandWindow = nullptr;
    // A Cancel click that no byte loop took (one made while the busy state
    // showed a message box) belonged to the command that ended: it must not
    // silently cancel the first file of the next one.
    g_cancel = false;
}

bool IsRunningCommandWindow(HWND window)
{
    return s_commandRunning && window == s_commandWindow;
}
