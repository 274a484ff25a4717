// The cipher subsystem's own texts: its status lines, its window title and
// its file failures (shown with the "File Access Error" caption).
#ifndef ZORVANE_CIPHER_MESSAGES_H
#define ZORVANE_CIPHER_MESSAGES_H

extern const char kEncryptingText[];     // "Encrypting file ..."
extern const char kDecryptingText[];     // "Decrypting file ..."
extern const char kKeyTitle[];           // "Key to unlock ..."
extern const char kErrorNameTooLong[];   // "File Name Too Long"
extern const char kErrorReadingInput[];  // "Error Reading Input File"
extern const char kErrorTemporaryFile[]; // "Error Using Temporary File"
extern const char kErrorOutputDeleted[]; // "Error Writing Output File (the incomplete ...)"

#endif
