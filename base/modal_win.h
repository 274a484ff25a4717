// The one seam for the program's modal calls. Every message box and every
// open-file dialog goes through these pointers, so a test can answer them
// from code (a thread timer that answers the real dialog, or a swapped
// function).
#ifndef ZORVANE_BASE_MODAL_WIN_H
#define ZORVANE_BASE_MODAL_WIN_H

#include <windows.h>
#include <commdlg.h>

#include "base/messages.h"

typedef int (WINAPI* MessageBoxFn)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
typedef BOOL (WINAPI* OpenFileNameFn)(LPOPENFILENAMEA record);

extern MessageBoxFn g_messageBox;      // MessageBoxA unless a test swapped it
extern OpenFileNameFn g_getOpenFileName; // GetOpenFileNameA unless a test swapped it

// A message box with the owner, text, caption and flags exactly as given;
// an owner that no longer exists is replaced by the main window.
int ShowMessage(HWND owner, const char* text, const char* caption, UINT type);
// The file access failures: error icon, system-modal, OK button.
int ShowFileError(HWND owner, const char* text);
BOOL RunOpenFileDialog(OPENFILENAMEA* record);

#endif
