// The password transform and the stored password form: what is kept under
// the machine's "MirelockPass" key instead of the password itself.
#ifndef ZORVANE_CREDENTIALS_PASSWORD_H
#define ZORVANE_CREDENTIALS_PASSWORD_H

#include <cstddef>

enum {
    // The stored-form buffer and the transformed text.
    PASSWORD_BUFFER_SIZE = 100,
    // Size limit for reading a password box: 98 characters and a NUL.
    PASSWORD_ENTRY_SIZE = 99
};

// One character: bits 1, 0 and 7 survive; the result is always one of
// 0x1F, 0x20, 0x5F, 0x60, 0x9F, 0xA0, 0xDF, 0xE0, never 0.
unsigned char PasswordTransform(unsigned char c);

// The stored form of a NUL-terminated entry (at most its first 98
// characters): the transform of each character and of the terminator, then
// a NUL. Returns n + 1, the number of characters before that NUL.
size_t BuildStoredPasswordForm(const char* entry, char out[PASSWORD_BUFFER_SIZE]);

// True when the entry's stored form equals `storedForm` (NUL-terminated).
// An empty stored form never matches.
bool PasswordMatches(const char* entry, const char* storedForm);

#endif
