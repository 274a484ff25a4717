// The file loop shared by the encrypt and decrypt commands: one turn per
// file of the source chooser's selection, with the output name of each.
#ifndef ZORVANE_CIPHER_FILELOOP_WIN_H
#define ZORVANE_CIPHER_FILELOOP_WIN_H

#include <windows.h>

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

// Output name of the running turn; the cancel paths delete the file it names.
extern char g_outputName[PATH_BUFFER_SIZE];

// Sets the operation and direction lines, runs the source chooser and then
// one turn per file of the selection; clears the status lines at the end.
// A path whose output name would not fit is refused before its turn.
void RunFileLoop(const char* operationText, HWND owner, TurnFunction turn, const void* context);

#endif
