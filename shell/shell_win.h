// The application shell's own state and start-up pieces: the main window and
// its controls, the chooser records, the busy and cancel flags. Subsystems
// see only shell/services_win.h.
#ifndef ZORVANE_SHELL_SHELL_WIN_H
#define ZORVANE_SHELL_SHELL_WIN_H

#include <windows.h>
#include <commdlg.h>
#include <cstdint>

#include "base/fileio_win.h"
#include "shell/services_win.h"

enum { FILE_TITLE_BUFFER_SIZE = 512 };

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

// Index of each main window control in g_mainControls (creation order).
enum MainControl {
    CTL_MIRELOCK, CTL_UNVEIL, CTL_SIGNATURE, CTL_PASSWORD, CTL_EXIT, CTL_EMBED,
    CTL_EXTRACT, CTL_ABOUT, CTL_CANCEL, CTL_PROGRESS, CTL_PERCENT,
    CTL_DIRECTION_LINE, CTL_OPERATION_LINE, CTL_SOURCE_LINE, CTL_TARGET_LINE,
    MAIN_CONTROL_COUNT
};

// The program-wide state of the shell (defined in shell/state_win.cpp).
// The main window's controls: written once by its WM_CREATE; read by the
// status lines, the busy state and the progress step.
extern HWND g_mainControls[MAIN_CONTROL_COUNT];
// The main window while its WM_CREATE runs (nullptr otherwise), for
// MainWindowAsOwner.
void SetMainWindowInCreation(HWND window);
extern const ControlSpec g_mainControlTable[MAIN_CONTROL_COUNT];

// The selection: written by the source chooser after a usable choice only;
// read by the file loop through SourceSelection().
extern char g_selection[PATH_BUFFER_SIZE];
// True when the selection is one existing file whose path has spaces: the file
// loop then takes it whole instead of splitting it. Written with the selection.
extern bool g_selectionIsWholePath;
// The file chooser's name field, title and file title: written by
// RunFileChooserLeavesName and the dialog; the commands read the name through
// ChosenFileName(). The two dialogs' records are filled by InitChoosers at
// start-up and given their owner by each run.
extern char g_chooserName[PATH_BUFFER_SIZE];
extern char g_chooserTitle[PATH_BUFFER_SIZE];
extern char g_chooserFileTitle[FILE_TITLE_BUFFER_SIZE];
extern OPENFILENAMEA g_sourceChooser;
extern OPENFILENAMEA g_fileChooser;

// Set by EnterBusyState and cleared by LeaveBusyState; the main window
// refuses to close while it is set.
extern volatile bool g_busy;
// Set by the main window's Cancel button; read by the progress step; cleared
// by the loop that takes it and by CommandEnd.
extern volatile bool g_cancel;

// Start-up pieces (winmain_win.cpp runs them; tests call them too).
void InitChoosers();
BOOL RegisterMainWindowClass();
HWND CreateMainWindow();
int RunMainLoop();
// The idle hook the main loop calls after every poll; it does nothing.
void IdleHook();

// Pumps one pending message, if any (the pump of the progress step).
void PumpOneMessage();

// How many entries were refused since start: RefuseWhileCommandRuns counts,
// tests read it.
extern long g_commandsRefused;

// The About window.
BOOL RegisterAboutWindowClass();
HWND OpenAboutWindow();

// Main window creation hook order: registers the six secondary classes.
BOOL RegisterSecondaryClasses();

#endif
