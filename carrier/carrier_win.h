// The carrier subsystem's Win32 side as the main window sees it: the embed
// command, the extract window ("Key to extract ...") with the extract command
// its OK button runs, and the state the two commands share.
#ifndef ZORVANE_CARRIER_CARRIER_WIN_H
#define ZORVANE_CARRIER_CARRIER_WIN_H

#include <windows.h>

#include "base/messages.h"
#include "base/signatureform.h"
#include "carrier/messages.h"
#include "shell/services_win.h"

// Command ids of the extract window.
enum ExtractCommand { IDC_EXTRACT_CANCEL = 18, IDC_EXTRACT_OK = 19 };

// Index of each extract window control in its table (creation order).
enum ExtractControl { EXTRACT_KEY_FIELD, EXTRACT_OK, EXTRACT_CANCEL, EXTRACT_LABEL,
                      EXTRACT_CONTROL_COUNT };
extern const ControlSpec g_extractControlTable[EXTRACT_CONTROL_COUNT];

// Source path: the file to hide (embed), the carrier (extract). Target path:
// the carrier (embed); the stored name, then the output file, then
// "tmpEFile" (extract). Both keep their values from one command to the next.
// All four are defined in carrier/state_win.cpp; only the embed and extract
// commands write and read the paths.
extern char g_sourcePath[PATH_BUFFER_SIZE];
extern char g_targetPath[PATH_BUFFER_SIZE];
// The key typed into the extract window, in signature form: written by its
// OK, read by the extract command's key check, wiped when the command ends.
extern char g_typedKey[SIGNATURE_FORM_SIZE];
// The key field of the open extract window (null when none is open): written
// when the window is made and destroyed, read by its OK.
extern HWND g_extractKeyField;

BOOL RegisterExtractWindowClass();
// Opens the extract window, or brings the open one forward: the key field is
// one global, so there is only ever one.
HWND OpenExtractWindow();
// The embed command, with Signature 1 of the program's signatures.
void RunEmbedCommand(const char signature1[SIGNATURE_FORM_SIZE]);
// The extract command of the extract window, with the text of its key field.
void RunExtractCommand(HWND extractWindow, const char* keyText);

#endif
