// What the passes of the encrypt and decrypt commands share: the names of
// their staging files, the one pair of buffered streams, and the whitening
// pass from one open file into another.
#ifndef ZORVANE_CIPHER_PASSES_WIN_H
#define ZORVANE_CIPHER_PASSES_WIN_H

#include <windows.h>

#include "base/fileio_win.h"
#include "base/signatureform.h"
#include "cipher/fileloop_win.h"
#include "cipher/whitening.h"

// How a pass of a turn ends. Each failure is reported with its own message:
// "Error Opening Input File", "Error Opening Output File", "Error Reading
// Input File", "Error Using Temporary File", "Error Writing Output File (the
// incomplete file was deleted)".
enum PassOutcome {
    PASS_DONE,
    PASS_CANCELLED, // ends this file only
    PASS_INPUT_UNOPENED,
    PASS_OUTPUT_UNOPENED,
    PASS_INPUT_UNREADABLE,
    PASS_TEMPORARY_FAILED,
    PASS_WRITE_FAILED
};
// The end of a turn: a failure is shown (owned by `owner`) and ends the
// command; done and cancelled go on with the next file.
TurnResult ReportPassOutcome(PassOutcome outcome, HWND owner);

// Temporary files in the current directory (the key file is in
// base/keyfile_win.h).
extern const char kStagingFileName[];      // "tmpFile.txt", hidden, encrypt
extern const char kPlainStagingFileName[]; // "tmpFile1.txt", normal, decrypt
// True when a pick is one of the turn's temporary files, its staging file or
// the key file: the turn itself would empty and delete it, so it is refused
// as an input that cannot be opened.
bool PicksTurnStagingFile(const char* path, const char* stagingFile);

// One reader and one writer serve every pass; the loop never runs twice at once.
extern FileReader g_cipherReader;
extern FileWriter g_cipherWriter;
// Their buffers hold plain images and payloads: wiped when a command ends.
void WipeCipherStreams();

// The whitening pass from one open file into another through the shared
// buffers, writes flushed to the file; *bytes counts what was passed on.
// *readOk and *writeOk tell which side failed, if any.
void WhitenBetweenFiles(HANDLE input, HANDLE output, const char seed[SIGNATURE_FORM_SIZE],
                        WhiteningDirection direction, uint64_t* bytes, bool* readOk,
                        bool* writeOk);

#endif
