// The embed command ("Embed" button): hides a chosen file at the end of a
// carrier by appending one trailer, after asking when the carrier is a PDF
// or ZIP file; a failed append is cut back off.
#include "carrier/carrier_win.h"

#include <cstdio>

#include "base/fileio_win.h"
#include "base/keyfile_win.h"
#include "base/modal_win.h"
#include "base/wipe.h"
#include "carrier/carrierfiles_win.h"
#include "carrier/carrierkind.h"
#include "carrier/trailer.h"


enum TrailerParts { TRAILER_PARTS_MADE, TRAILER_PARTS_TOO_LARGE, TRAILER_PARTS_NO_KEY_FILE };

// The trailer's head and tail. The size is checked before anything is made;
// the signature block is then staged through the temporary key file exactly
// as the cipher's writer stages it: without that file there is no true
// block, so the caller refuses to embed.
static TrailerParts MakeTrailerParts(const char signature1[SIGNATURE_FORM_SIZE],
                                     int64_t hiddenSize, const char* name,
                                     unsigned char head[TRAILER_HEAD_SIZE],
                                     unsigned char tail[TRAILER_TAIL_SIZE])
{
    if (!TrailerCanHide(hiddenSize))
        return TRAILER_PARTS_TOO_LARGE;
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    if (!MakeSignatureBlockThroughKeyFile(signature1, block))
        return TRAILER_PARTS_NO_KEY_FILE;
    TrailerError built = TrailerBuild(block, hiddenSize, name, head, tail);
    Wipe(block, sizeof block);
    return built == TRAILER_OK ? TRAILER_PARTS_MADE : TRAILER_PARTS_TOO_LARGE;
}

// Appends head, hidden bytes and tail at the carrier's end, and closes both
// files. On any failure the carrier is cut back to the length it had; a
// carrier this command created is removed again.
static void AppendTrailer(ScopedHandle& source, ScopedHandle& carrier, bool carrierIsNew,
                          int64_t hiddenSize, const unsigned char head[TRAILER_HEAD_SIZE],
                          const unsigned char tail[TRAILER_TAIL_SIZE])
{
    int64_t originalLength = 0;
    if (!FileSeek(carrier.Get(), 0, FILE_END, &originalLength)) {
        source.Close();
        carrier.Close();
        if (carrierIsNew)
            FileDelete(g_targetPath);
        ShowFileError(g_mainWindow, kErrorOpeningOutput);
        return;
    }
    bool ok = FileSeek(source.Get(), 0, FILE_BEGIN, nullptr) &&
              FileWrite(carrier.Get(), head, TRAILER_HEAD_SIZE) &&
              CopyExact(source.Get(), carrier.Get(), hiddenSize) &&
              FileWrite(carrier.Get(), tail, TRAILER_TAIL_SIZE);
    source.Close();
    if (ok) {
        carrier.Close();
        return;
    }
    bool restored = FileSeek(carrier.Get(), originalLength, FILE_BEGIN, nullptr) &&
                    FileTruncate(carrier.Get());
    carrier.Close();
    if (restored && carrierIsNew)
        FileDelete(g_targetPath);
    ShowFileError(g_mainWindow, restored ? kAppendFailedRestored : kAppendFailedNotRestored);
}

// The carrier's kind, from its first bytes, read and closed again at once.
// A carrier that cannot be opened here has no kind: a new one is created and
// an unusable one refused by the open of the embedding itself. One that opens
// but cannot be read fails, for its kind is unknown.
static BOOL ReadCarrierKind(const char* path, CarrierKind* kind)
{
    *kind = CARRIER_KIND_OTHER;
    HANDLE file = FileOpen(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return TRUE;
    unsigned char head[CARRIER_KIND_HEAD_SIZE];
    DWORD have = 0, got = 0;
    BOOL ok = TRUE;
    while (ok && have < sizeof head) {
        ok = FileRead(file, head + have, sizeof head - have, &got);
        if (got == 0)
            break;
        have += got;
    }
    FileClose(file);
    if (ok)
        *kind = CarrierKindOf(head, have);
    return ok;
}

// Asks before embedding into a carrier its own programs would call damaged;
// true for "Yes".
static bool EmbedAnywayConfirmed(CarrierKind kind)
{
    char text[512];
    snprintf(text, sizeof text, kCarrierKindQuestion, CarrierKindName(kind));
    return ShowMessage(g_mainWindow, text, kCarrierKindCaption,
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void RunEmbedCommand(const char signature1[SIGNATURE_FORM_SIZE])
{
    g_sourcePath[0] = '\0';
    if (RunFileChooserLeavesName(kHiddenChooserTitle, ""))
        CopyPath(g_sourcePath, ChosenFileName());
    // The name just chosen stays in the dialog's name field.
    if (RunFileChooserLeavesName(kCarrierChooserTitle, kKeepLastName))
        CopyPath(g_targetPath, ChosenFileName());

    // Neither pick may be the key file the command is about to make.
    const char* const stagingNames[] = {kKeyFileName};
    if (PicksStagingFile(g_sourcePath, stagingNames, COUNTOF(stagingNames))) {
        ShowFileError(g_mainWindow, kErrorOpeningInput);
        return;
    }
    if (PicksStagingFile(g_targetPath, stagingNames, COUNTOF(stagingNames))) {
        ShowFileError(g_mainWindow, kErrorOpeningOutput);
        return;
    }
    if (IsTextCarrierName(g_targetPath)) {
        ShowMessage(nullptr, kTextCarrierRefused, kTextCarrierCaption, MB_ICONINFORMATION);
        return;
    }
    CarrierKind kind;
    if (!ReadCarrierKind(g_targetPath, &kind)) {
        ShowFileError(g_mainWindow, kErrorOpeningOutput);
        return;
    }
    if (kind != CARRIER_KIND_OTHER && !EmbedAnywayConfirmed(kind))
        return;
    // Every file is closed before the message box that reports on it.
    ScopedHandle source(FileOpen(g_sourcePath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL));
    if (!source.IsOpen()) {
        ShowFileError(g_mainWindow, kErrorOpeningInput);
        return;
    }
    int64_t hiddenSize = 0;
    if (!FileSize(source.Get(), &hiddenSize)) {
        source.Close();
        ShowFileError(g_mainWindow, kErrorOpeningInput);
        return;
    }
    unsigned char head[TRAILER_HEAD_SIZE];
    unsigned char tail[TRAILER_TAIL_SIZE];
    TrailerParts parts = MakeTrailerParts(signature1, hiddenSize, g_sourcePath, head, tail);
    if (parts != TRAILER_PARTS_MADE) {
        source.Close();
        if (parts == TRAILER_PARTS_TOO_LARGE)
            ShowMessage(g_mainWindow, kHiddenTooLarge, kHiddenTooLargeCaption,
                        MB_ICONERROR | MB_SYSTEMMODAL);
        else
            ShowFileError(g_mainWindow, kKeyFileFailed);
        return;
    }
    ScopedHandle carrier(FileOpen(g_targetPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL));
    bool carrierIsNew = GetLastError() != ERROR_ALREADY_EXISTS;
    if (!carrier.IsOpen()) {
        source.Close();
        ShowFileError(g_mainWindow, kErrorOpeningOutput);
        return;
    }
    AppendTrailer(source, carrier, carrierIsNew, hiddenSize, head, tail);
}
