// The extract command an extract window's "OK" runs: the hidden file is
// written out and flushed before the carrier is cut back to its own bytes in
// place, so no failure can lose the carrier.
#include "carrier/carrier_win.h"

#include <cstdio>

#include "base/fileio_win.h"
#include "base/keyfile_win.h"
#include "base/modal_win.h"
#include "base/wipe.h"
#include "carrier/carrierfiles_win.h"
#include "carrier/trailer.h"


// Reads the last trailer's stored name into `name` and places its fields. A
// file too short for a trailer has no stored name. False when the carrier
// cannot be read at all.
static BOOL ReadLastTrailer(HANDLE carrier, int64_t* fileLength, TrailerLayout* layout,
                            TrailerError* placed, char name[TRAILER_NAME_FIELD_SIZE])
{
    name[0] = '\0';
    *placed = TRAILER_FILE_TOO_SHORT;
    if (!FileSize(carrier, fileLength))
        return FALSE;
    if (!TrailerFits(*fileLength))
        return TRUE;
    unsigned char tail[TRAILER_TAIL_SIZE];
    if (!ReadExactAt(carrier, *fileLength - TRAILER_TAIL_SIZE, tail, sizeof tail))
        return FALSE;
    *placed = TrailerParseTail(*fileLength, tail, layout, name);
    return TRUE;
}

// The key check: the stored block is decoded, staged through the temporary
// key file and its first 8 bytes read back are compared with the typed key.
// Where the key file cannot be made, the decoded bytes are compared as they
// are: a file failure is not a wrong key.
static bool StoredKeyMatches(HANDLE carrier, const TrailerLayout& layout)
{
    unsigned char head[TRAILER_HEAD_SIZE];
    if (!ReadExactAt(carrier, layout.signatureOffset, head, sizeof head))
        return false;
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    TrailerDecodeBlock(head, decoded);
    bool matches = false;
    if (!CheckKeyThroughKeyFile(decoded, g_typedKey, &matches))
        matches = DecodedKeyMatches(decoded, g_typedKey);
    Wipe(decoded, sizeof decoded);
    return matches;
}

// An output that exists already is replaced only when the user says so, as
// a save dialog would ask: the open-file dialog asks nothing.
static bool MayReplaceOutput(HWND window, const char* path)
{
    if (!FileExists(path))
        return true;
    char question[PATH_BUFFER_SIZE + 64];
    snprintf(question, sizeof question, kReplaceOutputQuestion, path);
    return ShowMessage(window, question, kOutputChooserTitle,
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
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

// The temporary file the extraction makes in the current directory.
static const char* const kExtractStagingNames[] = {kKeyFileName};

// Picks the carrier and reads its last trailer: the carrier stays open for
// reading when its trailer is placed inside it. Otherwise it shows what went
// wrong and returns INVALID_HANDLE_VALUE; *wrongKey tells a file that cannot
// hold its trailer (refused like a wrong key) from a file failure.
static HANDLE OpenCarrier(HWND window, int64_t* fileLength, TrailerLayout* layout, bool* wrongKey)
{
    *wrongKey = false;
    // The carrier dialog opens with whatever name the last dialog left.
    if (RunFileChooser(kCarrierChooserTitle, kKeepLastName))
        CopyPath(g_sourcePath, ChosenFileName());
    HANDLE carrier = INVALID_HANDLE_VALUE;
    if (!PicksStagingFile(g_sourcePath, kExtractStagingNames, COUNTOF(kExtractStagingNames)))
        carrier = FileOpen(g_sourcePath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL);
    if (carrier == INVALID_HANDLE_VALUE) {
        ShowFileError(window, kErrorOpeningInput);
        return INVALID_HANDLE_VALUE;
    }
    TrailerError placed = TRAILER_FILE_TOO_SHORT;
    // The target path holds the stored name until the output is chosen.
    if (!ReadLastTrailer(carrier, fileLength, layout, &placed, g_targetPath)) {
        FileClose(carrier);
        ShowFileError(window, kErrorOpeningInput);
        return INVALID_HANDLE_VALUE;
    }
    // A file that cannot hold the trailer it claims is refused like a wrong
    // key before the output is asked for: no name read from it is offered.
    if (placed != TRAILER_OK) {
        FileClose(carrier);
        ShowMessage(window, kWrongKey, kSignatureErrorCaption, MB_ICONERROR | MB_SYSTEMMODAL);
        *wrongKey = true;
        return INVALID_HANDLE_VALUE;
    }
    return carrier;
}

// Asks for the output, which opens with the stored path. Only a name the
// user confirmed is used: Cancel ends the extraction with nothing written,
// since the stored path comes from the file, not from the user.
static bool ChooseOutput(HWND window)
{
    bool named = RunFileChooser(kOutputChooserTitle, g_targetPath);
    if (!named || !FileChooserConfirmed())
        return false;
    CopyPath(g_targetPath, ChosenFileName());
    if (PicksStagingFile(g_targetPath, kExtractStagingNames, COUNTOF(kExtractStagingNames))) {
        ShowFileError(window, kErrorOpeningOutput);
        return false;
    }
    return MayReplaceOutput(window, g_targetPath);
}

static void ExtractFromCarrier(HWND window)
{
    int64_t fileLength = 0;
    TrailerLayout layout = {};
    bool wrongKey = false;
    HANDLE carrier = OpenCarrier(window, &fileLength, &layout, &wrongKey);
    if (carrier == INVALID_HANDLE_VALUE) {
        if (wrongKey)
            EndExtraction(window);
        return;
    }
    if (!ChooseOutput(window)) {
        FileClose(carrier);
        return;
    }
    HANDLE output = FileOpen(g_targetPath, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL);
    bool outputIsNew = GetLastError() != ERROR_ALREADY_EXISTS;
    if (output == INVALID_HANDLE_VALUE) {
        FileClose(carrier);
        ShowFileError(window, kErrorOpeningOutput);
        return;
    }
    if (!StoredKeyMatches(carrier, layout)) {
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

void RunExtractCommand(HWND window, const char* keyText)
{
    ToSignatureForm(keyText, g_typedKey);
    SetStatusLine(STATUS_OPERATION, kExtractingText);
    SetStatusLine(STATUS_DIRECTION, kDirectionText);
    ExtractFromCarrier(window);
    // The typed key has done its work.
    Wipe(g_typedKey, sizeof g_typedKey);
}
