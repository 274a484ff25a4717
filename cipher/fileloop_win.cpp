// The file loop shared by the encrypt and decrypt commands: one turn per
// file of the selection, with the output name and status lines of each.
#include "cipher/fileloop_win.h"

#include <cstring>

#include "base/modal_win.h"
#include "cipher/cipherfile.h"
#include "cipher/messages.h"

char g_outputName[PATH_BUFFER_SIZE];

void RunFileLoop(const char* operationText, HWND owner, TurnFunction turn, const void* context)
{
    SetStatusLine(STATUS_OPERATION, operationText);
    SetStatusLine(STATUS_DIRECTION, kDirectionText);
    if (RunSourceChooser()) {
        // The selection as the chooser left it: choosers opened while a turn
        // pumps messages cannot change it.
        char selection[PATH_BUFFER_SIZE];
        memcpy(selection, SourceSelection(), sizeof selection);
        SelectionCursor cursor;
        SelectionBegin(&cursor, selection, SourceSelectionIsWholePath());
        do {
            char currentPath[PATH_BUFFER_SIZE];
            if (SelectionNext(&cursor, currentPath, sizeof currentPath) != SELECTION_OK ||
                MakeOutputName(currentPath, g_outputName, sizeof g_outputName) != OUTPUT_NAME_OK) {
                ShowFileError(owner, kErrorNameTooLong);
                break;
            }
            SetStatusLine(STATUS_SOURCE, currentPath);
            SetStatusLine(STATUS_TARGET, g_outputName);
            if (turn(currentPath, g_outputName, owner, context) == TURN_END)
                break;
        } while (!cursor.last);
    }
    ClearStatusLines();
}
