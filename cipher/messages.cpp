// The cipher subsystem's texts.
#include "cipher/messages.h"

const char kEncryptingText[] = "Encrypting file ...";
const char kDecryptingText[] = "Decrypting file ...";
const char kKeyTitle[] = "Key to unlock ...";
const char kErrorNameTooLong[] = "File Name Too Long";
const char kErrorReadingInput[] = "Error Reading Input File";
const char kErrorTemporaryFile[] = "Error Using Temporary File";
const char kErrorOutputDeleted[] = "Error Writing Output File (the incomplete file was deleted)";
