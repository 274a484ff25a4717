// What the encrypt and decrypt commands share: the file loop, one turn per
// file of the selection with the output name and status lines of each; the
// end of a turn's passes, the staging names, the shared streams and the
// whitening pass between files.
#include "cipher/fileloop_win.h"

#include <cstring>

#include "base/keyfile_win.h"
#include "base/modal_win.h"
#include "base/wipe.h"
#include "cipher/cipherfile.h"
#include "cipher/messages.h"


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

const char kStagingFileName[] = "tmpFile.txt";
const char kPlainStagingFileName[] = "tmpFile1.txt";

TurnResult ReportPassOutcome(PassOutcome outcome, HWND owner)
{
    static const char* const kFailureTexts[] = {
        kErrorOpeningInput, kErrorOpeningOutput, kErrorReadingInput, kErrorTemporaryFile,
        kErrorOutputDeleted};
    if (outcome == PASS_DONE || outcome == PASS_CANCELLED)
        return TURN_NEXT;
    ShowFileError(owner, kFailureTexts[outcome - PASS_INPUT_UNOPENED]);
    return TURN_END;
}

bool PicksTurnStagingFile(const char* path, const char* stagingFile)
{
    const char* const names[] = {stagingFile, kKeyFileName};
    return PicksStagingFile(path, names, COUNTOF(names));
}

void WipeCipherStreams()
{
    Wipe(&g_cipherReader, sizeof g_cipherReader);
    Wipe(&g_cipherWriter, sizeof g_cipherWriter);
}

WhitenOutcome WhitenBetweenFiles(HANDLE input, HANDLE output, const char seed[SIGNATURE_FORM_SIZE],
                                 WhiteningDirection direction, uint64_t* bytes)
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
    written = written && WriterFlush(&g_cipherWriter);
    Wipe(&state, sizeof state);
    Wipe(chunk, sizeof chunk);
    if (g_cipherReader.failed)
        return WHITEN_READ_FAILED;
    return written ? WHITEN_DONE : WHITEN_WRITE_FAILED;
}
