// The window kit every window of the program is built with: the control
// table and the loop that walks it, class registration, the paint handler,
// and the instance and main window that every window belongs to.
//
// One error convention for all _win code: a function that can fail returns
// BOOL (FALSE, or an invalid handle, on failure) and the caller reads
// GetLastError() at once, before any other system call. A step whose caller
// must tell its outcomes apart (done, cancelled, which message to show)
// returns an enum of them, as pure code does. A bool answers a question (is
// this the running command's window?) and never reports a failure, and no
// failure comes back through an out-parameter. The buffered streams of the
// file layer are the one exception: they keep a sticky `failed` flag, read
// after the loop.
#ifndef ZORVANE_BASE_WINDOW_WIN_H
#define ZORVANE_BASE_WINDOW_WIN_H

#include <windows.h>

#define COUNTOF(a) (sizeof(a) / sizeof((a)[0]))

// One row of a window's control table; windows create their controls from
// such a table with CreateControls, and tests walk the same table.
struct ControlSpec {
    const char* className;
    const char* text;
    int id;
    int x, y, width, height;
    DWORD style;
    DWORD exStyle;
};

extern HINSTANCE g_instance;
// The main window, once created; modal calls whose owner is gone fall back
// to it.
extern HWND g_mainWindow;

// Registers a window class with the program's common attributes.
BOOL RegisterProgramClass(const char* className, WNDPROC proc, int iconId);
// WM_PAINT of every window: the class background is all there is to draw.
LRESULT PaintNothing(HWND window);
// Creates the controls of a table as children of `parent`, in table order.
void CreateControls(HWND parent, const ControlSpec* table, size_t count, HWND* handles);

#endif
