// The file loop shared by the encrypt and decrypt commands: one turn per
// file of the selection, with the output name and status lines of each.
#include "cipher/fileloop_win.h"

#include <cstring>

#include "base/modal_win.h"
#include "cipher/cipherfile.h"
#include "cipher/messages.h"

char g_outputName[PATH_BUFFER_SIZE];
// The selection as the chooser left it; later choosers cannot change it.
static char s_selection[PATH_BUFFER_SIZE];

void RunFileLoop(const char* operationText, HWND owner, TurnFunction turn)
{
    SetStatusLine(STATUS_OPERATION, operationText);
    SetStatusLine(STATUS_DIRECTION, kDirectionText);
    if (RunSourceChooser()) {
        memcpy(s_selection, SourceSelection(), sizeof s_selection);
        SelectionCursor cursor;
        SelectionBegin(&cursor, s_selection, SourceSelectionIsWholePath());
        do {
            char currentPath[PATH_BUFFER_SIZE];
            if (SelectionNext(&cursor, currentPath, sizeof currentPath) != SELECTION_OK ||
                MakeOutputName(currentPath, g_outputName, sizeof g_outputName) != OUTPUT_NAME_OK) {
                ShowFileError(owner, kErrorNameTooLong);
                break;
            }
            SetStatusLine(STATUS_SOURCE, currentPath);
            SetStatusLine(STATUS_TARGET, g_outputName);
            if (turn(currentPath, g_outputName, owner) == TURN_END)
                break;
        } while (!cursor.last);
    }
    ClearStatusLines();
}
