// The carrier subsystem's Win32 side: the embed command, the extract window
// ("Key to extract ...") and the state the two commands share.
#ifndef ZORVANE_CARRIER_CARRIER_WIN_H
#define ZORVANE_CARRIER_CARRIER_WIN_H

#include <windows.h>

#include "base/signatureform.h"
#include "shell/shell_win.h"

// Command ids of the extract window.
enum ExtractCommand { IDC_EXTRACT_CANCEL = 18, IDC_EXTRACT_OK = 19 };

// Index of each extract window control in its table (creation order).
enum ExtractControl { EXTRACT_KEY_FIELD, EXTRACT_OK, EXTRACT_CANCEL, EXTRACT_LABEL,
                      EXTRACT_CONTROL_COUNT };
extern const ControlSpec g_extractControlTable[EXTRACT_CONTROL_COUNT];

// Source path: the file to hide (embed), the carrier (extract). Target path:
// the carrier (embed); the stored name, then the output file, then
// "tmpEFile" (extract). Both keep their values from one command to the next.
extern char g_sourcePath[PATH_BUFFER_SIZE];
extern char g_targetPath[PATH_BUFFER_SIZE];
// The key typed into the extract window, in signature form.
extern char g_typedKey[SIGNATURE_FORM_SIZE];
// The key field of the open extract window (null when none is open).
extern HWND g_extractKeyField;

BOOL RegisterExtractWindowClass();
// Opens the extract window, or brings the open one forward: the key field is
// one global, so there is only ever one.
HWND OpenExtractWindow();
void RunEmbedCommand();

// Texts and captions of the carrier commands' messages.
extern const char kTextCarrierRefused[];    // "Carrier file CANNOT be a text file!"
extern const char kTextCarrierCaption[];    // "Invalid Carrier File Type"
extern const char kHiddenTooLarge[];
extern const char kHiddenTooLargeCaption[];
extern const char kKeyFileFailed[];
extern const char kAppendFailedRestored[];
extern const char kAppendFailedNotRestored[];
extern const char kHiddenWriteFailed[];
extern const char kTrailerNotRemoved[];

#endif
