// The decrypt command a key window's "OK" runs: each chosen cipher file is
// un-whitened into "tmpFile1.txt", checked against Key 1 and its payload
// turned back into the bytes that were encrypted, beside it.
#include <cstring>

#include "base/keyfile_win.h"
#include "base/modal_win.h"
#include "base/wipe.h"
#include "cipher/cipher_win.h"
#include "cipher/cipherfile.h"
#include "cipher/fileloop_win.h"
#include "cipher/whitening.h"

// The typed keys, in signature form: Key 1 is checked against the stored
// block, Key 2 seeds the un-whitening.
struct TypedKeys {
    char key1[SIGNATURE_FORM_SIZE];
    char key2[SIGNATURE_FORM_SIZE];
};

// Un-whitens the open cipher file into the open staging file; *imageSize is
// the count written. A cipher file that could not be opened gives an empty
// image, which the key check then refuses like any other wrong key.
static PassOutcome UnwhitenIntoStaging(HANDLE source, HANDLE staging,
                                       const char key2[SIGNATURE_FORM_SIZE], uint64_t* imageSize)
{
    *imageSize = 0;
    if (source == INVALID_HANDLE_VALUE)
        return PASS_DONE;
    switch (WhitenBetweenFiles(source, staging, key2, WHITEN_DECRYPT, imageSize)) {
    case WHITEN_READ_FAILED:
        return PASS_INPUT_UNREADABLE;
    case WHITEN_WRITE_FAILED:
        return PASS_TEMPORARY_FAILED;
    default:
        return PASS_DONE;
    }
}

// The payload loop: the reader stands at the first payload byte. A read
// failure is the staging file's.
static PassOutcome WritePayload(HANDLE output, uint64_t payloadLength, int mode)
{
    WriterInit(&g_cipherWriter, output);
    ProgressLoop progress;
    ProgressBegin(&progress, payloadLength);
    for (uint64_t i = 0; i < payloadLength; i++) {
        unsigned char byte;
        if (!ReaderGet(&g_cipherReader, &byte))
            return PASS_TEMPORARY_FAILED;
        if (ProgressStep(&progress))
            return PASS_CANCELLED;
        if (!WriterPut(&g_cipherWriter, Inverse(mode, byte)))
            return PASS_WRITE_FAILED;
    }
    // Written from the first byte: an older, longer file keeps nothing after it.
    if (!WriterFlush(&g_cipherWriter) || !FileTruncate(output))
        return PASS_WRITE_FAILED;
    return PASS_DONE;
}

// Key check, then (busy) either the wrong-key message or the payload.
static PassOutcome CheckAndWrite(HANDLE staging, uint64_t imageSize,
                                 const char key1[SIGNATURE_FORM_SIZE], const char* outputName,
                                 HANDLE* output, bool outputExisted, HWND owner)
{
    unsigned char header[IMAGE_HEADER_SIZE];
    ReaderInit(&g_cipherReader, staging);
    DWORD got = ReaderGetBlock(&g_cipherReader, header, sizeof header);
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    DecodedBlockFromImage(header, got, decoded);
    bool matches = false;
    BOOL checked = !g_cipherReader.failed && CheckKeyThroughKeyFile(decoded, key1, &matches);
    Wipe(decoded, sizeof decoded);
    if (!checked) {
        FileClose(*output);
        *output = INVALID_HANDLE_VALUE;
        if (!outputExisted)
            FileDelete(outputName);
        return PASS_TEMPORARY_FAILED;
    }
    unsigned char mode = got > IMAGE_MODE_OFFSET ? header[IMAGE_MODE_OFFSET] : 0;
    ImageVerdict verdict = JudgeImage(matches, imageSize, mode);

    EnterBusyState();
    PassOutcome result = PASS_DONE;
    if (verdict != IMAGE_DECRYPTABLE) {
        // The output opened for this file stays as it was: a new one empty.
        ShowMessage(owner, kWrongKey, kSignatureErrorCaption,
                    MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
    } else {
        result = WritePayload(*output, imageSize - IMAGE_HEADER_SIZE, mode);
    }
    bool closed = FileClose(*output) != FALSE;
    *output = INVALID_HANDLE_VALUE;
    if (result == PASS_DONE && !closed)
        result = PASS_WRITE_FAILED;
    if (result == PASS_CANCELLED)
        TakeCancelRequest();
    ProgressReset(kLabelIdleAfterDecrypt);
    LeaveBusyState();

    // Cancelled or failed: no partial output remains. A cancel ends only this
    // file; a failure ends the command.
    if (result != PASS_DONE)
        FileDelete(outputName);
    return result;
}

static TurnResult DecryptTurn(const char* currentPath, const char* outputName, HWND owner,
                              const void* context)
{
    const TypedKeys* keys = (const TypedKeys*)context;
    if (PicksTurnStagingFile(currentPath, kPlainStagingFileName))
        return ReportPassOutcome(PASS_INPUT_UNOPENED, owner);
    // Others may go on reading and writing the cipher file, as with the C
    // runtime's open; it stays open until the turn ends.
    HANDLE source = FileOpen(currentPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    HANDLE staging = FileOpen(kPlainStagingFileName, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (staging == INVALID_HANDLE_VALUE) {
        FileClose(source);
        return ReportPassOutcome(PASS_INPUT_UNOPENED, owner);
    }
    uint64_t imageSize = 0;
    PassOutcome outcome = FileTruncate(staging)
                              ? UnwhitenIntoStaging(source, staging, keys->key2, &imageSize)
                              : PASS_TEMPORARY_FAILED;
    if (outcome == PASS_DONE && !FileSeek(staging, 0, FILE_BEGIN, nullptr))
        outcome = PASS_TEMPORARY_FAILED;
    if (outcome == PASS_DONE) {
        bool outputExisted = FileExists(outputName) != FALSE;
        HANDLE output = FileOpen(outputName, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL);
        outcome = output == INVALID_HANDLE_VALUE
                      ? PASS_OUTPUT_UNOPENED
                      : CheckAndWrite(staging, imageSize, keys->key1, outputName, &output,
                                      outputExisted, owner);
    }
    // The staging file holds the user's data in light disguise: it goes on
    // every path, failures included.
    FileClose(source);
    FileClose(staging);
    FileDelete(kPlainStagingFileName);
    return ReportPassOutcome(outcome, owner);
}

void RunDecryptCommand(HWND keyWindow, const char* key1Text, const char* key2Text)
{
    TypedKeys keys;
    ToSignatureForm(key1Text, keys.key1);
    ToSignatureForm(key2Text, keys.key2);
    RunFileLoop(kDecryptingText, keyWindow, DecryptTurn, &keys);
    WipeCipherStreams();
    Wipe(&keys, sizeof keys);
}
