// The staging file names, the shared streams and the whitening pass between
// files of the encrypt and decrypt commands.
#include "cipher/passes_win.h"

#include "base/keyfile_win.h"
#include "base/modal_win.h"
#include "base/wipe.h"
#include "cipher/messages.h"

const char kStagingFileName[] = "tmpFile.txt";
const char kPlainStagingFileName[] = "tmpFile1.txt";
FileReader g_cipherReader;
FileWriter g_cipherWriter;

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
