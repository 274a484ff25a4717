// The credentials subsystem's Win32 side: the two signatures, their load at
// start-up, and the password, change-password and signature windows.
#ifndef ZORVANE_CREDENTIALS_CREDENTIALS_WIN_H
#define ZORVANE_CREDENTIALS_CREDENTIALS_WIN_H

#include <windows.h>

enum { SIGNATURE_SIZE = 8 };

// Signature form: seven characters, space-padded, NUL at index 7.
extern char g_signature1[SIGNATURE_SIZE];
extern char g_signature2[SIGNATURE_SIZE];

BOOL RegisterOptionWindowClass();
BOOL RegisterPassWindowClass();
BOOL RegisterChgpassWindowClass();
void SignatureStoreLoad();
// changePassword 0: "Signature" (leads to the signature window),
// 1: "Password" (leads to the change-password window).
HWND OpenPasswordWindow(int changePassword);

#endif
