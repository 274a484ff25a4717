// Program-wide state and services of the application shell: the main window
// and its controls, the choosers, the busy state and the progress step.
#ifndef ZORVANE_SHELL_SHELL_WIN_H
#define ZORVANE_SHELL_SHELL_WIN_H

#include <windows.h>
#include <commdlg.h>
#include <cstdint>

#include "base/window_win.h"
#include "shell/progress.h"

enum { PATH_BUFFER_SIZE = 260, FILE_TITLE_BUFFER_SIZE = 512 };

// Command ids of the main window.
enum MainCommand {
    IDC_MAIN_MIRELOCK = 1,
    IDC_MAIN_UNVEIL = 2,
    IDC_MAIN_CANCEL = 4,
    IDC_MAIN_SIGNATURE = 6,
    IDC_MAIN_PASSWORD = 13,
    IDC_MAIN_EMBED = 16,
    IDC_MAIN_EXTRACT = 17,
    IDC_MAIN_ABOUT = 20,
    IDC_MAIN_EXIT = 1000
};

// Icon resources.
enum { IDI_MAIN_ICON = 101, IDI_KEY_ICON = 103 };

// Index of each main window control in g_mainControls (creation order).
enum MainControl {
    CTL_MIRELOCK, CTL_UNVEIL, CTL_SIGNATURE, CTL_PASSWORD, CTL_EXIT, CTL_EMBED,
    CTL_EXTRACT, CTL_ABOUT, CTL_CANCEL, CTL_PROGRESS, CTL_PERCENT,
    CTL_DIRECTION_LINE, CTL_OPERATION_LINE, CTL_SOURCE_LINE, CTL_TARGET_LINE,
    MAIN_CONTROL_COUNT
};

// The main window as the owner of a secondary window: g_mainWindow, or the
// main window being created while its creation handler runs (the first
// start opens windows from inside it, before g_mainWindow is recorded).
HWND MainWindowAsOwner();
extern HWND g_mainControls[MAIN_CONTROL_COUNT];
extern const ControlSpec g_mainControlTable[MAIN_CONTROL_COUNT];

// Selection buffer (source chooser) and the file chooser's buffers.
extern char g_selection[PATH_BUFFER_SIZE];
// True when the selection is one existing file whose path has spaces: the file
// loop then takes it whole instead of splitting it.
extern bool g_selectionIsWholePath;
extern char g_chooserName[PATH_BUFFER_SIZE];
extern char g_chooserTitle[PATH_BUFFER_SIZE];
extern char g_chooserFileTitle[FILE_TITLE_BUFFER_SIZE];
extern OPENFILENAMEA g_sourceChooser;
extern OPENFILENAMEA g_fileChooser;

// Busy state.
extern volatile bool g_busy;
extern volatile bool g_cancel;

// Start-up pieces (winmain_win.cpp runs them; tests call them too).
void InitChoosers();
BOOL RegisterMainWindowClass();
HWND CreateMainWindow();
int RunMainLoop();
// The idle hook the main loop calls after every poll; it does nothing.
void IdleHook();

// The choosers.
bool RunSourceChooser();
bool RunFileChooser();

// Status lines of the main window.
void SetStatusLine(MainControl line, const char* text);
void ClearStatusLines();

// Busy state and progress.
void EnterBusyState();
void LeaveBusyState();
// Per-loop progress: begin with the byte count, then call ProgressStep once per
// byte (index order); it returns true when the loop is to be cancelled.
struct ProgressLoop {
    PercentCounter counter;
    int lastShown;
};
void ProgressBegin(ProgressLoop* loop, uint64_t count);
bool ProgressStep(ProgressLoop* loop);
// Sets the label to its idle text and the bar to 0.
void ProgressReset(const char* idleLabel);
// Pumps one pending message, if any (the pump of the progress step).
void PumpOneMessage();

// One command at a time (command_win.cpp). Every entry point into encrypt,
// decrypt, embed or extract asks RefuseWhileCommandRuns first: while another
// command runs it beeps, changes nothing and returns true. Otherwise the
// entry point brackets its run with CommandBegin (naming the window the
// command runs in: the main window, a key window or the extract window) and
// CommandEnd, after its last message box; CommandEnd also drops a cancel
// request that no byte loop of the command took.
bool RefuseWhileCommandRuns();
void CommandBegin(HWND window);
void CommandEnd();
// True for the window whose command is running: it ignores its own Cancel
// button and close box until the run ends; the run closes it itself.
bool IsRunningCommandWindow(HWND window);
// How many entries were refused since start (tests read it).
extern long g_commandsRefused;

// The About window.
BOOL RegisterAboutWindowClass();
HWND OpenAboutWindow();

// Main window creation hook order: registers the six secondary classes.
BOOL RegisterSecondaryClasses();

#endif
