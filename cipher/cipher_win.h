// The cipher subsystem's Win32 side: the encrypt command, the key window
// ("Key to unlock ...") and the transform mode the encrypt command writes.
#ifndef ZORVANE_CIPHER_CIPHER_WIN_H
#define ZORVANE_CIPHER_CIPHER_WIN_H

#include <windows.h>

// 0 at start; the main window's creation sets it to 3.
extern int g_transformMode;

BOOL RegisterKeyWindowClass();
HWND OpenKeyWindow();
void RunEncryptCommand();

#endif
