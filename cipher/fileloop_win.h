// What the encrypt and decrypt commands share: the file loop with one turn
// per file of the source chooser's selection and the output name of each,
// how a turn's passes end, the staging file names, the one pair of buffered
// streams and the whitening pass from one open file into another.
#ifndef ZORVANE_CIPHER_FILELOOP_WIN_H
#define ZORVANE_CIPHER_FILELOOP_WIN_H

#include <windows.h>

#include "base/fileio_win.h"
#include "base/signatureform.h"
#include "cipher/whitening.h"
#include "shell/services_win.h"

enum TurnResult {
    TURN_NEXT, // go on with the next file of the list
    TURN_END   // end the command (a failure was reported)
};
// One turn: the current path and the output name derived from it; messages
// are owned by `owner`. `context` is what the command handed RunFileLoop:
// its keys.
typedef TurnResult (*TurnFunction)(const char* currentPath, const char* outputName, HWND owner,
                                   const void* context);

// Output name of the running turn (defined in cipher/state_win.cpp): written
// by the file loop before each turn, read by the turn it is handed to, whose
// cancel path deletes the file it names.
extern char g_outputName[PATH_BUFFER_SIZE];

// Sets the operation and direction lines, runs the source chooser and then
// one turn per file of the selection; clears the status lines at the end.
// A path whose output name would not fit is refused before its turn.
void RunFileLoop(const char* operationText, HWND owner, TurnFunction turn, const void* context);

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

// One reader and one writer serve every pass (defined in
// cipher/state_win.cpp): each pass of encrypt and decrypt sets them up on its
// files; the loop never runs twice at once.
extern FileReader g_cipherReader;
extern FileWriter g_cipherWriter;
// Their buffers hold plain images and payloads: wiped when a command ends.
void WipeCipherStreams();

// The whitening pass from one open file into another through the shared
// buffers, writes flushed to the file; *bytes counts what was passed on.
// A failed read is told first: what was written of it is of no use.
enum WhitenOutcome { WHITEN_DONE, WHITEN_READ_FAILED, WHITEN_WRITE_FAILED };
WhitenOutcome WhitenBetweenFiles(HANDLE input, HANDLE output, const char seed[SIGNATURE_FORM_SIZE],
                                 WhiteningDirection direction, uint64_t* bytes);

#endif
