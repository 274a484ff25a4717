// What the passes of the encrypt and decrypt commands share: the names of
// their staging files, the one pair of buffered streams, and the whitening
// pass from one open file into another.
#ifndef ZORVANE_CIPHER_PASSES_WIN_H
#define ZORVANE_CIPHER_PASSES_WIN_H

#include <windows.h>

#include "base/fileio_win.h"
#include "base/signatureform.h"
#include "cipher/whitening.h"

// Temporary files in the current directory (the key file is in
// base/keyfile_win.h).
extern const char kStagingFileName[];      // "tmpFile.txt", hidden, encrypt
extern const char kPlainStagingFileName[]; // "tmpFile1.txt", normal, decrypt

// One reader and one writer serve every pass; the loop never runs twice at once.
extern FileReader g_cipherReader;
extern FileWriter g_cipherWriter;

// The whitening pass from one open file into another through the shared
// buffers, writes flushed to the file; *bytes counts what was passed on.
// *readOk and *writeOk tell which side failed, if any.
void WhitenBetweenFiles(HANDLE input, HANDLE output, const char seed[SIGNATURE_FORM_SIZE],
                        WhiteningDirection direction, uint64_t* bytes, bool* readOk,
                        bool* writeOk);

// Deletes a file of ours if it is there.
void DeleteIfPresent(const char* path);

#endif
