// The hidden temporary key file "tmpKeyOut.txt" in the current directory,
// through which every writer of cipher files and carriers stages Signature 1
// and every reader stages the decoded block it checks.
#ifndef ZORVANE_BASE_KEYFILE_WIN_H
#define ZORVANE_BASE_KEYFILE_WIN_H

#include <windows.h>

#include "base/signatureblock.h"

extern const char kKeyFileName[]; // "tmpKeyOut.txt"

// The signature block of a signature-form buffer, made the one way every
// writer makes it: "tmpKeyOut.txt" is created empty, receives the 8 bytes,
// is read back from its start and deleted. FALSE on any failure
// (GetLastError set); no key file is left either way.
BOOL MakeSignatureBlockThroughKeyFile(const char signature[SIGNATURE_FORM_SIZE],
                        unsigned char block[SIGNATURE_BLOCK_SIZE]);

// The reading side: the 31 decoded bytes go through "tmpKeyOut.txt" (created
// empty, deleted afterwards) and the first 8 read back are checked against
// the key. FALSE on a file failure; otherwise *matches holds the result.
BOOL CheckKeyThroughKeyFile(const unsigned char decoded[SIGNATURE_BLOCK_SIZE],
                            const char key[SIGNATURE_FORM_SIZE], bool* matches);

// The one guard of every command's picks against the temporary files it is
// about to make in the current directory: true when `path` names one of
// `names` there (full paths, without regard to case). Such a pick would be
// emptied or deleted by the command itself, so the command refuses it
// before it opens anything.
bool PicksStagingFile(const char* path, const char* const* names, size_t count);

#endif
