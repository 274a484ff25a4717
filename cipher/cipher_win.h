// The cipher subsystem's Win32 side: the encrypt command, the key window
// ("Key to unlock ...") and the transform mode the encrypt command writes,
// and the signature block made through the temporary key file.
#ifndef ZORVANE_CIPHER_CIPHER_WIN_H
#define ZORVANE_CIPHER_CIPHER_WIN_H

#include <windows.h>

#include "cipher/transform.h"
#include "shell/shell_win.h"

// 0 at start; the main window's creation sets it to 3.
extern int g_transformMode;

BOOL RegisterKeyWindowClass();
HWND OpenKeyWindow();
void RunEncryptCommand();

// Key window command ids and its controls, in creation order.
enum KeyCommand { IDC_KEY_CANCEL = 9, IDC_KEY_OK = 10 };
enum KeyControl {
    KEYCTL_KEY1, KEYCTL_KEY2, KEYCTL_OK, KEYCTL_CANCEL, KEYCTL_KEY2_LABEL, KEYCTL_KEY1_LABEL,
    KEY_CONTROL_COUNT
};
extern const ControlSpec g_keyControlTable[KEY_CONTROL_COUNT];

// A failed key check, for cipher files and carriers alike.
extern const char kWrongKey[];              // "Wrong Key !!"
extern const char kSignatureErrorCaption[]; // "Signature Error.."

// The temporary key file in the current directory, hidden.
extern const char kKeyFileName[]; // "tmpKeyOut.txt"

// The signature block of a signature-form buffer, made the one way every
// writer of cipher files and carriers makes it: "tmpKeyOut.txt" is created
// empty, receives the 8 bytes, is read back from its start and deleted.
// FALSE on any failure (GetLastError set); no key file is left either way.
BOOL MakeSignatureBlock(const char signature[SIGNATURE_FORM_SIZE],
                        unsigned char block[SIGNATURE_BLOCK_SIZE]);

// The reading side: the 31 decoded bytes go through "tmpKeyOut.txt" (created
// empty, deleted afterwards) and the first 8 read back are checked against
// the key. FALSE on a file failure; otherwise *matches holds the result.
BOOL CheckKeyThroughKeyFile(const unsigned char decoded[SIGNATURE_BLOCK_SIZE],
                            const char key[SIGNATURE_FORM_SIZE], bool* matches);
// The same round trip as a stage of the carrier key check (TrailerKeyMatches):
// `count` bytes in, up to `backSize` read back into `back`.
bool StageThroughKeyFile(const unsigned char* bytes, size_t count, unsigned char* back,
                         size_t backSize, size_t* got);

#endif
