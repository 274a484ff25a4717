// The cipher subsystem's Win32 side as the main window sees it: the encrypt
// command, the key window ("Key to unlock ...") with the decrypt command its
// OK button runs, and the transform mode the encrypt command writes.
#ifndef ZORVANE_CIPHER_CIPHER_WIN_H
#define ZORVANE_CIPHER_CIPHER_WIN_H

#include <windows.h>

#include "base/messages.h"
#include "cipher/messages.h"
#include "cipher/transform.h"
#include "shell/services_win.h"

// Defined in cipher/state_win.cpp. 0 at start; the main window's creation
// sets it to 3; each encrypt turn reads it into the image header.
extern int g_transformMode;

BOOL RegisterKeyWindowClass();
HWND OpenKeyWindow();
// The encrypt command, with the program's signatures: each turn copies them
// at its start, so they may change between the files of one run.
void RunEncryptCommand(const char signature1[SIGNATURE_FORM_SIZE],
                       const char signature2[SIGNATURE_FORM_SIZE]);
// The decrypt command of a key window, with the texts of its two fields.
void RunDecryptCommand(HWND keyWindow, const char* key1Text, const char* key2Text);

// Key window command ids and its controls, in creation order.
enum KeyCommand { IDC_KEY_CANCEL = 9, IDC_KEY_OK = 10 };
enum KeyControl {
    KEYCTL_KEY1, KEYCTL_KEY2, KEYCTL_OK, KEYCTL_CANCEL, KEYCTL_KEY2_LABEL, KEYCTL_KEY1_LABEL,
    KEY_CONTROL_COUNT
};
extern const ControlSpec g_keyControlTable[KEY_CONTROL_COUNT];

#endif
