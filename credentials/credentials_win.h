// The credentials subsystem's Win32 side: the two signatures and their store
// in the registry, the stored password form, and the password,
// change-password and signature windows.
#ifndef ZORVANE_CREDENTIALS_CREDENTIALS_WIN_H
#define ZORVANE_CREDENTIALS_CREDENTIALS_WIN_H

#include <windows.h>

#include "base/signatureform.h"
#include "credentials/messages.h"
#include "credentials/password.h"
#include "shell/services_win.h"

// The credentials' program-wide state (defined in credentials/state_win.cpp).
// The program's signatures in signature form: seven characters,
// space-padded, NUL at index 7. Written by the store's load at start and by
// the signature window's OK; read by the main window, which hands them to
// Mirelock and Embed, and by the signature window.
extern char g_signature1[SIGNATURE_FORM_SIZE];
extern char g_signature2[SIGNATURE_FORM_SIZE];

// 1 from a start without location 1 (the store's load writes it) until the
// next "Accept" of a change-password window, which reads it, clears it and
// opens the signature window.
extern int g_firstUse;
// Where the right password leads: the values are the change-password flag's.
enum PasswordLeadsTo {
    PASSWORD_TO_SIGNATURES = 0, // "Signature": the signature window
    PASSWORD_TO_NEW_PASSWORD = 1 // "Password": the change-password window
};
// Which window follows an accepted password (the change-password flag):
// written by OpenPasswordWindow, read by its "Confirm".
extern PasswordLeadsTo g_changePassword;
// Result of the last "Confirm": written by the password window; tests read it.
extern int g_passwordAccepted;
// The stored password form as the last password window read it (it writes
// it when it opens and compares it on "Confirm"); empty until a password
// window reads one.
extern char g_storedPasswordForm[PASSWORD_BUFFER_SIZE];

// Whether the signatures in memory are the ones the user set. Load marks
// them when it cannot fill all fourteen characters from stored fragments
// (not yet set: the first start, location 1 missing); the signature window's
// "OK" makes them complete.
enum SignatureState { SIGNATURES_COMPLETE, SIGNATURES_INCOMPLETE, SIGNATURES_NOT_YET_SET };
extern SignatureState g_signatureState;

// Mirelock and Embed ask this before anything else: while the signatures are
// not complete it says why and returns true, and the command does nothing.
bool RefuseWhileSignaturesIncomplete();

enum { STORE_LOCATION_COUNT = 3 };
// The locations as the user reads them, "HKEY_CURRENT_USER\Control Panel".
extern const char* const kStoreLocationNames[STORE_LOCATION_COUNT];

// How a save ended. It writes all six values or none: when a value or a
// flush fails after others were written, it puts the previous values back
// (removing those that did not exist), and when even that fails it removes
// all six, so that the next start finds the signatures incomplete instead of
// rebuilding characters nobody typed. Only when that fails too are old and
// new fragments left mixed.
enum StoreSaveOutcome {
    SAVE_WRITTEN,         // all six values are the new ones
    SAVE_NOTHING_WRITTEN, // a key or a previous value could not be had
    SAVE_PUT_BACK,        // the values written were put back as they were
    SAVE_REMOVED,         // they could not be put back: all six were removed
    SAVE_MIXED            // not even that: old and new fragments mixed
};

// What a save did: the locations that failed (bit k for location k + 1),
// the first error of each, and how it ended.
struct StoreSaveResult {
    unsigned failed;
    LONG errors[STORE_LOCATION_COUNT];
    StoreSaveOutcome outcome;
};

// The signature store (registry_win.cpp). Load runs once, from the main
// window's creation; save after the signature window's "OK".
void SignatureStoreLoad();
StoreSaveResult SignatureStoreSave();

// The password store: HKEY_LOCAL_MACHINE "Software\MirelockPass" "PassName".
// Read opens the key for reading and, on success, copies the stored text
// into `out` (NUL-terminated); `out` is left alone when the value cannot be
// read. FALSE when the key cannot be opened (GetLastError has the code).
BOOL ReadStoredPasswordForm(char out[PASSWORD_BUFFER_SIZE]);
// Writes `length` bytes of `form` as "PassName"; failures are silent.
void WriteStoredPasswordForm(const char* form, size_t length);
// True when a stored password form can be read.
bool PasswordIsStored();

BOOL RegisterOptionWindowClass();
BOOL RegisterPassWindowClass();
BOOL RegisterChgpassWindowClass();

HWND OpenPasswordWindow(PasswordLeadsTo leadsTo);
HWND OpenChgpassWindow(const char* title, HWND owner);
// What the signature window's boxes show when it opens.
enum OptionBoxes {
    OPTION_BOXES_EMPTY,     // the first-use path
    OPTION_BOXES_SIGNATURES // the signatures in force
};
HWND OpenOptionWindow(OptionBoxes boxes);

// Command ids.
enum PassCommand { IDC_PASS_CANCEL = 11, IDC_PASS_CONFIRM = 12 };
enum ChgpassCommand { IDC_CHGPASS_CANCEL = 14, IDC_CHGPASS_ACCEPT = 15 };
enum OptionCommand { IDC_OPTION_CANCEL = 7, IDC_OPTION_OK = 8 };

// Control tables, in creation order (tests walk them against live windows).
enum { PASS_CONTROL_COUNT = 4, CHGPASS_CONTROL_COUNT = 7, OPTION_CONTROL_COUNT = 7 };
extern const ControlSpec g_passControlTable[PASS_CONTROL_COUNT];
extern const ControlSpec g_chgpassControlTable[CHGPASS_CONTROL_COUNT];
extern const ControlSpec g_optionControlTable[OPTION_CONTROL_COUNT];

// The edit boxes of a live window (their command id is 0, so they are kept
// as window properties). `which` is 1 or 2.
HWND PasswordBox(HWND passWindow);
HWND NewPasswordBox(HWND chgpassWindow, int which);
HWND SignatureBox(HWND optionWindow, int which);

// Every credential message: no owner, information icon, OK only.
int ShowCredentialMessage(const char* text, const char* caption);
// The system's text for an error code, without its line end; FALSE (and an
// empty text) when the system has none.
BOOL SystemErrorText(LONG code, char* text, size_t size);
// After a save that failed somewhere: which locations, why, whether anything
// was written, and what to do about it.
void ShowSaveFailure(const StoreSaveResult& result);

#endif
