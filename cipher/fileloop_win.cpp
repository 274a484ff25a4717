// The file loop shared by the encrypt and decrypt commands: one turn per
// file of the selection, with the output name and status lines of each.
#include "cipher/fileloop_win.h"

#include "base/wipe.h"
#include "cipher/cipher_win.h"

#include <cstring>

#include "cipher/cipherfile.h"
#include "base/modal_win.h"
#include "shell/selection.h"

char g_outputName[PATH_BUFFER_SIZE];
const char kStagingFileName[] = "tmpFile.txt";
const char kPlainStagingFileName[] = "tmpFile1.txt";
FileReader g_cipherReader;
FileWriter g_cipherWriter;

const char kWrongKey[] = "Wrong Key !!";
const char kSignatureErrorCaption[] = "Signature Error..";
const char kErrorNameTooLong[] = "File Name Too Long";
const char kErrorReadingInput[] = "Error Reading Input File";
const char kErrorTemporaryFile[] = "Error Using Temporary File";
const char kErrorOutputDeleted[] = "Error Writing Output File (the incomplete file was deleted)";

static const char kDirectionText[] = "to ...";
// The selection as the chooser left it; later choosers cannot change it.
static char s_selection[PATH_BUFFER_SIZE];

void DeleteIfPresent(const char* path)
{
    if (FileExists(path))
        FileDelete(path);
}

void RunFileLoop(const char* operationText, HWND owner, TurnFunction turn)
{
    SetStatusLine(CTL_OPERATION_LINE, operationText);
    SetStatusLine(CTL_DIRECTION_LINE, kDirectionText);
    if (RunSourceChooser()) {
        memcpy(s_selection, g_selection, sizeof s_selection);
        SelectionCursor cursor;
        SelectionBegin(&cursor, s_selection, g_selectionIsWholePath);
        do {
            char currentPath[PATH_BUFFER_SIZE];
            if (SelectionNext(&cursor, currentPath, sizeof currentPath) != SELECTION_OK ||
                MakeOutputName(currentPath, g_outputName, sizeof g_outputName) != OUTPUT_NAME_OK) {
                ShowFileError(owner, kErrorNameTooLong);
                break;
            }
            SetStatusLine(CTL_SOURCE_LINE, currentPath);
            SetStatusLine(CTL_TARGET_LINE, g_outputName);
            if (turn(currentPath, g_outputName, owner) == TURN_END)
                break;
        } while (!cursor.last);
    }
    ClearStatusLines();
}

void WhitenBetweenFiles(HANDLE input, HANDLE output, const char seed[SIGNATURE_FORM_SIZE],
                        WhiteningDirection direction, uint64_t* bytes, bool* readOk,
                        bool* writeOk)
{
    WhiteningState state;
    WhiteningBegin(&state, seed, direction);
    ReaderInit(&g_cipherReader, input);
    WriterInit(&g_cipherWriter, output);
    unsigned char chunk[4096];
    bool written = true;
    DWORD got;
    *bytes = 0;
    while (written && (got = ReaderGetBlock(&g_cipherReader, chunk, sizeof chunk)) > 0) {
        WhiteningFeed(&state, chunk, got, chunk);
        written = WriterPutBlock(&g_cipherWriter, chunk, got);
        *bytes += got;
    }
    *readOk = !g_cipherReader.failed;
    *writeOk = written && WriterFlush(&g_cipherWriter);
    Wipe(&state, sizeof state);
    Wipe(chunk, sizeof chunk);
}
