// The services the shell gives the subsystems, in the order of
// shell/services_win.h: the main window as owner and its status lines, the
// two choosers, the busy state with its progress step, and the rule of one
// command at a time.
#include "shell/shell_win.h"

#include <commctrl.h>
#include <cstring>

#include "base/fileio_win.h"
#include "base/modal_win.h"
#include "shell/messages.h"


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


// The two open-file choosers: the old-style multi-select source chooser of
// the encrypt and decrypt commands, and the Explorer-style file chooser of
// the embed and extract commands.


static char s_sourceName[PATH_BUFFER_SIZE];
static const char kFilter[] = "All Files (*.*)\0*.*\0";

static void FillCommon(OPENFILENAMEA* record)
{
    memset(record, 0, sizeof *record);
    record->lStructSize = 76;
    record->lpstrFilter = kFilter;
    record->nFilterIndex = 0;
    record->nMaxFile = PATH_BUFFER_SIZE;
    record->lpstrFileTitle = g_chooserFileTitle;
    record->nMaxFileTitle = FILE_TITLE_BUFFER_SIZE;
}

void InitChoosers()
{
    FillCommon(&g_sourceChooser);
    g_sourceChooser.lpstrFile = s_sourceName;
    g_sourceChooser.lpstrTitle = kSourceTitle;
    g_sourceChooser.Flags =
        OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOLONGNAMES;

    FillCommon(&g_fileChooser);
    g_fileChooser.lpstrFile = g_chooserName;
    g_fileChooser.lpstrTitle = g_chooserTitle;
    g_fileChooser.Flags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}

// A list (folder, then names) is used only when every name is a file in that
// folder: then no name can have been split at one of its own spaces.
static bool ListNamesExist(const char* text)
{
    const char* space = strchr(text, ' ');
    if (space == nullptr)
        return false;
    size_t folderLength = (size_t)(space - text);
    const char* name = space + 1;
    while (true) {
        const char* end = strchr(name, ' ');
        size_t nameLength = end ? (size_t)(end - name) : strlen(name);
        char path[PATH_BUFFER_SIZE * 2];
        if (nameLength == 0 || folderLength + 1 + nameLength >= sizeof path)
            return false;
        memcpy(path, text, folderLength);
        path[folderLength] = '\\';
        memcpy(path + folderLength + 1, name, nameLength);
        path[folderLength + 1 + nameLength] = '\0';
        if (!FileExists(path))
            return false;
        if (end == nullptr)
            return true;
        name = end + 1;
    }
}

bool RunSourceChooser()
{
    s_sourceName[0] = '\0';
    g_chooserFileTitle[0] = '\0';
    g_sourceChooser.hwndOwner = g_mainWindow;
    RunOpenFileDialog(&g_sourceChooser);
    if (s_sourceName[0] == '\0')
        return false;

    // Long names can come back with spaces (the dialog may ignore the request
    // for short names): a text that names one existing file is that file,
    // whole; a list must name existing files; anything else is refused.
    bool whole = false;
    if (strchr(s_sourceName, ' ') != nullptr) {
        if (FileExists(s_sourceName)) {
            whole = true;
        } else if (!ListNamesExist(s_sourceName)) {
            ShowFileError(g_mainWindow, kSelectionRefused);
            return false;
        }
    }
    memcpy(g_selection, s_sourceName, sizeof g_selection);
    g_selectionIsWholePath = whole;
    return true;
}

const char* SourceSelection()
{
    return g_selection;
}

bool SourceSelectionIsWholePath()
{
    return g_selectionIsWholePath;
}

const char* const kKeepLastName = nullptr;
static bool s_fileChooserConfirmed = false;

bool RunFileChooserLeavesName(const char* title, const char* startName)
{
    CopyPath(g_chooserTitle, title);
    if (startName != kKeepLastName)
        CopyPath(g_chooserName, startName);
    g_fileChooser.hwndOwner = g_mainWindow;
    s_fileChooserConfirmed = RunOpenFileDialog(&g_fileChooser) != FALSE;
    return g_chooserName[0] != '\0';
}

bool FileChooserConfirmed()
{
    return s_fileChooserConfirmed;
}

const char* ChosenFileName()
{
    return g_chooserName;
}

// The busy state of the long commands: the Cancel button in place of
// Mirelock, the percentage label and bar, and the one-message pump per byte.


static MSG s_pumpMessage;

void EnterBusyState()
{
    ShowWindow(g_mainControls[CTL_CANCEL], SW_SHOW);
    ShowWindow(g_mainControls[CTL_MIRELOCK], SW_HIDE);
    ShowWindow(g_mainControls[CTL_UNVEIL], SW_HIDE);
    g_busy = true;
}

void LeaveBusyState()
{
    ShowWindow(g_mainControls[CTL_CANCEL], SW_HIDE);
    ShowWindow(g_mainControls[CTL_MIRELOCK], SW_SHOW);
    ShowWindow(g_mainControls[CTL_UNVEIL], SW_SHOW);
    g_busy = false;
}

void PumpOneMessage()
{
    // No WM_QUIT test: a quit message taken here is dispatched, which does
    // nothing, and is thereby consumed; Exit does not end a running command.
    if (PeekMessageA(&s_pumpMessage, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&s_pumpMessage);
        DispatchMessageA(&s_pumpMessage);
    }
}

void ProgressBegin(ProgressLoop* loop, uint64_t count)
{
    PercentBegin(&loop->counter, count);
    loop->lastShown = 0;
}

static void ShowPercent(int percent)
{
    char label[32];
    FormatPercentLabel(percent, label, sizeof label);
    SetWindowTextA(g_mainControls[CTL_PERCENT], label);
    SendMessageA(g_mainControls[CTL_PROGRESS], PBM_SETPOS, (WPARAM)percent, 0);
    UpdateWindow(g_mainControls[CTL_PROGRESS]);
    UpdateWindow(g_mainControls[CTL_PERCENT]);
}

bool ProgressStep(ProgressLoop* loop)
{
    int percent = PercentNext(&loop->counter);
    if (percent != loop->lastShown) {
        ShowPercent(percent);
        loop->lastShown = percent;
    }
    PumpOneMessage();
    return g_cancel;
}

void TakeCancelRequest()
{
    g_cancel = false;
}

void ProgressReset(const char* idleLabel)
{
    SetWindowTextA(g_mainControls[CTL_PERCENT], idleLabel);
    SendMessageA(g_mainControls[CTL_PROGRESS], PBM_SETPOS, 0, 0);
}

// One command at a time. Encrypt, decrypt, embed and extract each run from
// the click that starts them to their last message box, and while one waits
// (in an open-file dialog, a message box or the byte loop's pump) every other
// window keeps working. The commands share the path buffers, the status
// lines and the temporary files, so a second one must never start inside
// the first: every entry point asks RefuseWhileCommandRuns before anything.


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
