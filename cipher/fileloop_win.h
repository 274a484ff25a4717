// What the encrypt command and the decrypt command share: the file loop over
// the source chooser's selection, the output name buffer, the temporary file
// names, the buffered streams and the messages of the cipher subsystem.
#ifndef ZORVANE_CIPHER_FILELOOP_WIN_H
#define ZORVANE_CIPHER_FILELOOP_WIN_H

#include <windows.h>

#include "cipher/transform.h"
#include "cipher/whitening.h"

#include "base/fileio_win.h"
#include "shell/shell_win.h"

enum TurnResult {
    TURN_NEXT, // go on with the next file of the list
    TURN_END   // end the command (a failure was reported)
};
// One turn: the current path and the output name derived from it; messages
// are owned by `owner`.
typedef TurnResult (*TurnFunction)(const char* currentPath, const char* outputName, HWND owner);

// Output name of the running turn; the cancel paths delete the file it names.
extern char g_outputName[PATH_BUFFER_SIZE];

// Temporary files in the current directory (the key file is in cipher_win.h).
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

// Messages of the cipher subsystem. File failures use the shell's
// "File Access Error" caption; a failed key check has its own.
extern const char kErrorNameTooLong[];
extern const char kErrorReadingInput[];
extern const char kErrorTemporaryFile[];
extern const char kErrorOutputDeleted[];

// Sets the operation and direction lines, runs the source chooser and then
// one turn per file of the selection; clears the status lines at the end.
// A path whose output name would not fit is refused before its turn.
void RunFileLoop(const char* operationText, HWND owner, TurnFunction turn);

// Deletes a file of ours if it is there.
void DeleteIfPresent(const char* path);

// The decrypt command of a key window, with the texts of its two fields.
void RunDecryptCommand(HWND keyWindow, const char* key1Text, const char* key2Text);

#endif
