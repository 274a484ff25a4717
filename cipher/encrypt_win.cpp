// The encrypt command ("Mirelock"): each chosen file becomes a cipher file
// beside it, through the hidden staging file "tmpFile.txt" (plain image,
// under the busy state) and a whitening pass into the output name.
#include "cipher/cipher_win.h"

#include <cstring>

#include "base/keyfile_win.h"
#include "base/modal_win.h"
#include "base/wipe.h"
#include "cipher/cipherfile.h"
#include "cipher/fileloop_win.h"
#include "cipher/whitening.h"


// The program's signatures, as the encrypt command hands them to its turns.
struct ProgramSignatures {
    const char* signature1;
    const char* signature2;
};

// The signatures and mode of one turn: copied at its start, so a signature
// window used while the turn pumps messages cannot split a file between two
// signature pairs.
struct TurnKeys {
    char signature1[SIGNATURE_FORM_SIZE];
    char signature2[SIGNATURE_FORM_SIZE];
    int mode;
};

// First pass: the plain image of the source into the staging file. The
// progress step runs once per payload byte.
static PassOutcome WritePlainImage(const char* currentPath, const TurnKeys* keys,
                                   bool* stagingCreated)
{
    // Both files close on every way out; no message is shown here.
    ScopedHandle source(FileOpen(currentPath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL));
    if (!source.IsOpen())
        return PASS_INPUT_UNOPENED;
    ScopedHandle staging(FileCreateHiddenEmpty(kStagingFileName, GENERIC_WRITE, FILE_SHARE_WRITE));
    if (!staging.IsOpen())
        return PASS_OUTPUT_UNOPENED;
    *stagingCreated = true;
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    unsigned char header[IMAGE_HEADER_SIZE];
    int64_t size = 0;
    if (!MakeSignatureBlockThroughKeyFile(keys->signature1, block))
        return PASS_TEMPORARY_FAILED;
    if (!FileSize(source.Get(), &size))
        return PASS_INPUT_UNREADABLE;
    BuildImageHeader(block, keys->mode, header);
    WriterInit(&g_cipherWriter, staging.Get());
    ReaderInit(&g_cipherReader, source.Get());
    PassOutcome result = PASS_DONE;
    if (!WriterPutBlock(&g_cipherWriter, header, IMAGE_HEADER_SIZE)) {
        result = PASS_TEMPORARY_FAILED;
    }

    EnterBusyState();
    ProgressLoop progress;
    ProgressBegin(&progress, (uint64_t)size);
    for (uint64_t i = 0; result == PASS_DONE && i < (uint64_t)size; i++) {
        unsigned char byte;
        if (!ReaderGet(&g_cipherReader, &byte)) {
            // A read error, or a source that shrank while we read it.
            result = PASS_INPUT_UNREADABLE;
        } else if (ProgressStep(&progress)) {
            result = PASS_CANCELLED;
        } else if (!WriterPut(&g_cipherWriter, Transform(keys->mode, byte))) {
            result = PASS_TEMPORARY_FAILED;
        }
    }
    if (result == PASS_DONE && !WriterFlush(&g_cipherWriter)) {
        result = PASS_TEMPORARY_FAILED;
    }
    source.Close();
    if (!staging.Close() && result == PASS_DONE) {
        result = PASS_TEMPORARY_FAILED;
    }
    if (result == PASS_CANCELLED)
        TakeCancelRequest();
    ProgressReset(kLabelIdleAfterEncrypt);
    LeaveBusyState();
    return result;
}

// Second pass: the staging file whitened into the output file, which is
// written from its first byte and cut where the new content ends. No
// messages are handled here. On failure no output is left behind.
static PassOutcome WhitenIntoCipherFile(const char* outputName, const TurnKeys* keys)
{
    HANDLE staging = FileOpen(kStagingFileName, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                              FILE_ATTRIBUTE_HIDDEN);
    if (staging == INVALID_HANDLE_VALUE) {
        return PASS_TEMPORARY_FAILED;
    }
    // An output that cannot be opened was not touched, so it is not deleted.
    HANDLE output = FileOpen(outputName, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL);
    if (output == INVALID_HANDLE_VALUE) {
        FileClose(staging);
        return PASS_OUTPUT_UNOPENED;
    }
    uint64_t bytes = 0;
    WhitenOutcome whitened =
        WhitenBetweenFiles(staging, output, keys->signature2, WHITEN_ENCRYPT, &bytes);
    bool written = whitened != WHITEN_WRITE_FAILED && FileTruncate(output);
    written = FileClose(output) && written;
    FileClose(staging);
    if (whitened == WHITEN_DONE && written)
        return PASS_DONE;
    FileDelete(outputName);
    return whitened == WHITEN_READ_FAILED ? PASS_TEMPORARY_FAILED : PASS_WRITE_FAILED;
}

static TurnResult EncryptWithKeys(const char* currentPath, const char* outputName, HWND owner,
                                  const TurnKeys* keys)
{
    bool stagingCreated = false;
    PassOutcome outcome = WritePlainImage(currentPath, keys, &stagingCreated);
    if (outcome == PASS_CANCELLED) {
        // No cipher file for this source, nor an older one of its name,
        // unless the user made that one read-only: it stays, as it would
        // have without the cancel.
        FileRemove(outputName);
    } else if (outcome == PASS_DONE) {
        outcome = WhitenIntoCipherFile(outputName, keys);
    }
    // Only a staging file this turn made is deleted: a source that is a
    // user's file of that name, open while the staging file was refused,
    // stays. The key file deletes itself.
    if (stagingCreated)
        FileDelete(kStagingFileName);
    return ReportPassOutcome(outcome, owner);
}

static TurnResult EncryptTurn(const char* currentPath, const char* outputName, HWND owner,
                              const void* context)
{
    const ProgramSignatures* program = (const ProgramSignatures*)context;
    if (PicksTurnStagingFile(currentPath, kStagingFileName))
        return ReportPassOutcome(PASS_INPUT_UNOPENED, owner);
    TurnKeys keys;
    memcpy(keys.signature1, program->signature1, SIGNATURE_FORM_SIZE);
    memcpy(keys.signature2, program->signature2, SIGNATURE_FORM_SIZE);
    keys.mode = g_transformMode;
    TurnResult result = EncryptWithKeys(currentPath, outputName, owner, &keys);
    Wipe(&keys, sizeof keys);
    return result;
}

void RunEncryptCommand(const char signature1[SIGNATURE_FORM_SIZE],
                       const char signature2[SIGNATURE_FORM_SIZE])
{
    const ProgramSignatures program = {signature1, signature2};
    RunFileLoop(kEncryptingText, g_mainWindow, EncryptTurn, &program);
    WipeCipherStreams();
}
