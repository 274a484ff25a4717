// The extract command an extract window's "OK" runs: the hidden file is
// written out and flushed before the carrier is cut back to its own bytes in
// place, so no failure can lose the carrier.
#include "carrier/carrier_win.h"

#include "base/fileio_win.h"
#include "base/keyfile_win.h"
#include "base/modal_win.h"
#include "carrier/carrierfiles_win.h"
#include "carrier/trailer.h"

char g_typedKey[SIGNATURE_FORM_SIZE];

// Reads the last trailer's name into the target path and places its fields.
// A file too short for a trailer has no stored name. False when the carrier
// cannot be read at all.
static BOOL ReadLastTrailer(HANDLE carrier, int64_t* fileLength, TrailerLayout* layout,
                            TrailerError* placed)
{
    g_targetPath[0] = '\0';
    *placed = TRAILER_FILE_TOO_SHORT;
    if (!FileSize(carrier, fileLength))
        return false;
    if (!TrailerFits(*fileLength))
        return true;
    unsigned char tail[TRAILER_TAIL_SIZE];
    if (!ReadExactAt(carrier, *fileLength - TRAILER_TAIL_SIZE, tail, sizeof tail))
        return false;
    *placed = TrailerParseTail(*fileLength, tail, layout, g_targetPath);
    return true;
}

// The key check: the stored block is decoded, staged through the temporary
// key file and its first 8 bytes read back are compared with the typed key.
// Anything that stops the check counts as a mismatch.
static bool StoredKeyMatches(HANDLE carrier, const TrailerLayout& layout)
{
    unsigned char head[TRAILER_HEAD_SIZE];
    return ReadExactAt(carrier, layout.signatureOffset, head, sizeof head) &&
           TrailerKeyMatches(head, g_typedKey, StageThroughKeyFile);
}

// Writes the S hidden bytes from the output's start, cuts off whatever an
// earlier longer file held after them, flushes and closes the output.
// *touched tells whether the output's bytes may have been changed: from the
// first write into it, or the cut of an empty hidden file.
static BOOL WriteHiddenFile(HANDLE carrier, HANDLE output, const TrailerLayout& layout,
                            bool* touched)
{
    *touched = false;
    bool ok = FileSeek(carrier, layout.hiddenOffset, FILE_BEGIN, nullptr) &&
              FileSeek(output, 0, FILE_BEGIN, nullptr) &&
              CopyExact(carrier, output, layout.hiddenSize, touched) && FileTruncate(output);
    *touched = *touched || ok;
    ok = ok && FileFlush(output);
    return FileClose(output) && ok;
}

// Removes the last trailer by cutting the carrier at the end of its own
// bytes: one step that leaves either the whole old file or its own bytes.
static BOOL CutTrailer(HANDLE carrier, int64_t fileLength, const TrailerLayout& layout)
{
    int64_t lengthNow = 0;
    return FileSize(carrier, &lengthNow) && lengthNow == fileLength &&
           FileSeek(carrier, layout.ownLength, FILE_BEGIN, nullptr) && FileTruncate(carrier);
}

static void EndExtraction(HWND window)
{
    ClearStatusLines();
    DestroyWindow(window);
}

void RunExtractCommand(HWND window, const char* keyText)
{
    ToSignatureForm(keyText, g_typedKey);
    SetStatusLine(STATUS_OPERATION, kExtractingText);
    SetStatusLine(STATUS_DIRECTION, kDirectionText);
    // The carrier dialog opens with whatever name the last dialog left.
    if (RunFileChooser(kCarrierChooserTitle, kKeepLastName))
        CopyPath(g_sourcePath, ChosenFileName());

    HANDLE carrier = FileOpen(g_sourcePath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL);
    if (carrier == INVALID_HANDLE_VALUE) {
        ShowFileError(window, kErrorOpeningInput);
        return;
    }
    int64_t fileLength = 0;
    TrailerLayout layout = {};
    TrailerError placed = TRAILER_FILE_TOO_SHORT;
    if (!ReadLastTrailer(carrier, &fileLength, &layout, &placed)) {
        FileClose(carrier);
        ShowFileError(window, kErrorOpeningInput);
        return;
    }
    // The output dialog opens with the stored path; cancelling it keeps it.
    if (RunFileChooser(kOutputChooserTitle, g_targetPath))
        CopyPath(g_targetPath, ChosenFileName());

    HANDLE output = FileOpen(g_targetPath, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL);
    bool outputIsNew = GetLastError() != ERROR_ALREADY_EXISTS;
    if (output == INVALID_HANDLE_VALUE) {
        FileClose(carrier);
        ShowFileError(window, kErrorOpeningOutput);
        return;
    }
    // A file that cannot hold the trailer it claims is refused like a wrong
    // key, before any of its bytes are used.
    if (placed != TRAILER_OK || !StoredKeyMatches(carrier, layout)) {
        ShowMessage(window, kWrongKey, kSignatureErrorCaption, MB_ICONERROR | MB_SYSTEMMODAL);
        FileClose(carrier);
        FileClose(output);
        EndExtraction(window);
        return;
    }
    bool touched = false;
    bool written = WriteHiddenFile(carrier, output, layout, &touched);
    FileClose(carrier);
    if (!written) {
        // No partial output stays: a new one goes, and so does an older file
        // once writing began, being then neither itself nor the hidden file.
        if (outputIsNew || touched)
            FileDelete(g_targetPath);
        ShowFileError(window, kHiddenWriteFailed);
        return;
    }
    // Only now, with the hidden bytes safely out, is the carrier touched.
    carrier = FileOpen(g_sourcePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL);
    if (carrier == INVALID_HANDLE_VALUE) {
        ShowFileError(window, kErrorOpeningInput);
        return;
    }
    // The output path is no longer needed; the next command may start from it.
    CopyPath(g_targetPath, "tmpEFile");
    bool cut = CutTrailer(carrier, fileLength, layout);
    FileClose(carrier);
    if (!cut) {
        ShowFileError(window, kTrailerNotRemoved);
        return;
    }
    EndExtraction(window);
}
