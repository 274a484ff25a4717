// What the application shell offers the subsystems, and all they may use of
// it: the owner of their windows, the status lines, the two choosers, the
// busy state with its progress step, and the one-command-at-a-time rule.
// Everything goes through functions; the shell's state stays its own.
#ifndef ZORVANE_SHELL_SERVICES_WIN_H
#define ZORVANE_SHELL_SERVICES_WIN_H

#include <windows.h>
#include <cstdint>

#include "base/pathname.h"
#include "base/window_win.h"
#include "shell/progress.h"
#include "shell/selection.h"

// Icon resources of the program.
enum { IDI_MAIN_ICON = 101, IDI_KEY_ICON = 103 };

// The main window as the owner of a secondary window: g_mainWindow, or the
// main window being created while its creation handler runs (the first
// start opens windows from inside it, before g_mainWindow is recorded).
HWND MainWindowAsOwner();

// The four status lines of the main window.
enum StatusLine { STATUS_OPERATION, STATUS_DIRECTION, STATUS_SOURCE, STATUS_TARGET };
void SetStatusLine(StatusLine line, const char* text);
void ClearStatusLines();

// The source chooser ("Select File(s)"): true when the user chose something
// usable. The selection is then one path, or a folder followed by names,
// split with the cursor of shell/selection.h; it stays as it is on Cancel or
// refusal, and only the next successful choice changes it.
bool RunSourceChooser();
const char* SourceSelection();
// True when the selection is one existing file whose path has spaces: it is
// then taken whole instead of split.
bool SourceSelectionIsWholePath();

// The file chooser: opens with `title` and, in its name field, `startName`,
// or with the name the last file chooser left there (kKeepLastName). True
// when the dialog leaves a name in its field, which a name put there before
// it opened does also on Cancel: the commands rely on that.
extern const char* const kKeepLastName;
bool RunFileChooserLeavesName(const char* title, const char* startName);
// True when the last file chooser was closed by its OK button: the user saw
// the name and confirmed it, rather than backing out with Cancel.
bool FileChooserConfirmed();
// The chooser's name field as the last dialog left it.
const char* ChosenFileName();

// The busy state of the long byte loops (Cancel shown in place of Mirelock,
// the main window refusing to close).
void EnterBusyState();
void LeaveBusyState();
// Per-loop progress: begin with the byte count, then call ProgressStep once
// per byte (index order); it pumps one message and returns true when the
// loop is to be cancelled.
struct ProgressLoop {
    PercentCounter counter;
    int lastShown;
};
void ProgressBegin(ProgressLoop* loop, uint64_t count);
bool ProgressStep(ProgressLoop* loop);
// A loop that stopped for a cancel request has taken it.
void TakeCancelRequest();
// Sets the label to its idle text and the bar to 0.
void ProgressReset(const char* idleLabel);

// One command at a time. Every entry point into encrypt, decrypt, embed or
// extract asks RefuseWhileCommandRuns first: while another command runs it
// beeps, changes nothing and returns true. Otherwise the entry point
// brackets its run with CommandBegin (naming the window the command runs
// in: the main window, a key window or the extract window) and CommandEnd,
// after its last message box; CommandEnd also drops a cancel request that no
// byte loop of the command took.
bool RefuseWhileCommandRuns();
void CommandBegin(HWND window);
void CommandEnd();
// True for the window whose command is running: it ignores its own Cancel
// button and close box until the run ends; the run closes it itself.
bool IsRunningCommandWindow(HWND window);

#endif
