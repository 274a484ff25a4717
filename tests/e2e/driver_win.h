// The end-to-end driver: works the real programs from a second process, only
// from outside, the way a person would: finds windows by class and title,
// clicks buttons, types into boxes, answers message boxes and dialogs.
#ifndef ZORVANE_TESTS_E2E_DRIVER_WIN_H
#define ZORVANE_TESTS_E2E_DRIVER_WIN_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/files_win.h"
#include "tests/support/paths.h"
#include "tests/support/registry_win.h"
#include "tests/support/windows_win.h"

// The programs under test; set from the command line (--dist DIR).
extern std::string g_distDir;
// Set by --shots: every Shot() prints the window's rectangle on stdout and
// waits for a line on stdin, while the screenshot script takes its picture.
extern bool g_shots;
// Set by --wow64: the run is in a 64-bit prefix, where this driver and the
// programs run under WoW64.
extern bool g_wow64;

class App {
public:
    // Starts DIST\<exe> in `workDir` (its current directory).
    bool Start(const std::string& exe, const std::string& workDir);
    // Starts zorvane.exe in `workDir` and waits for its main window; nullptr
    // (and the test failed) when either does not happen.
    HWND StartMain(const std::string& workDir);
    // Waits for the process to end; false on time-out. exitCode receives its code.
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode);
    // Presses "Exit" of the main window; the process must end with code 0.
    void ExitFrom(HWND mainWindow);
    void Kill();
    ~App();
    DWORD pid = 0;
    HANDLE process = nullptr;
};

// Asks `done` every stepMs until it holds (true) or timeoutMs have passed (false).
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs = 20);
// A top-level window of process `pid` (0: any) with this class and title
// (nullptr: any); waits up to timeoutMs.
HWND WaitWindow(DWORD pid, const char* className, const char* title, DWORD timeoutMs = 10000);
// Waits until the window is gone.
bool WaitGone(HWND window, DWORD timeoutMs = 10000);

// Waits until a command of the main window has ended: the operation line
// cleared, the "Mirelock" button back, no dialog open.
bool WaitIdle(DWORD pid, HWND mainWindow, DWORD timeoutMs = 30000);

// Clicks the child with this command id (BM_CLICK, posted).
bool Click(HWND window, int id);
// The same, sent: returns once the click has been handled (false after 3 s),
// so a test can look at its effect at once.
bool ClickNow(HWND window, int id);
// The n-th child (0-based) of a class, in creation order.
HWND NthChild(HWND window, const char* className, int n);
// The child of a class at this client position (controls without an id).
HWND ChildAt(HWND window, const char* className, int x, int y);
bool TypeInto(HWND edit, const std::string& text);

// A message box of the process: its caption, its text (static 0xFFFF).
struct Box {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};
// Waits for a message box, reads it and presses `button` (IDOK, IDYES, ...);
// `shot` names its screenshot.
Box AnswerBox(DWORD pid, int button = IDOK, DWORD timeoutMs = 10000, const char* shot = nullptr);
// Any visible message box or file dialog of the process, right now.
HWND OpenDialog(DWORD pid);

// With --shots: prints "SHOT name x y width height" and waits for a line.
void Shot(HWND window, const char* name);

// An open-file dialog of the process: waits for it, types `name` in its
// name field (old-style 0x480, Explorer-style 0x47c) and presses Open,
// or cancels when name is nullptr. Returns the dialog's title ("" when none
// came or the name could not be typed).
std::string AnswerFileDialog(DWORD pid, const char* name, DWORD timeoutMs = 10000);

// Writes the signatures (seven characters each, space-padded) into the
// registry in the stored six-fragment layout, as a saved signature window
// would, and the password's stored form when `password` is not null.
void StoreCredentials(const char* signature1, const char* signature2, const char* password);

// Runs a command line (such as "reg query ...") to its end, capturing its
// output; returns its exit code, (DWORD)-1 when it cannot run or hangs.
DWORD RunAndWait(const std::string& commandLine, std::string* output);
// The data of a REG_SZ value as "reg query" prints it; "<missing>" when
// "reg query" does not find it.
std::string RegQueryData(const char* key, const char* name);

#endif
