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


static bool ReadCarrierAt(void* carrier, int64_t offset, unsigned char* buffer, size_t count)
{
    return ReadExactAt((HANDLE)carrier, offset, buffer, (DWORD)count) != FALSE;
}

// The open carrier as the trailer walk reads it.
static TrailerSource CarrierSource(HANDLE carrier, int64_t fileLength)
{
    return TrailerSource{carrier, fileLength, ReadCarrierAt};
}

// The walk's first step: reads the last trailer's stored name into `name`
// and places its fields; a file too short for a trailer has no stored name.
// FALSE when the carrier cannot be read at all.
static BOOL ReadLastTrailer(HANDLE carrier, int64_t* fileLength, TrailerLayout* layout,
                            TrailerError* placed, char name[TRAILER_NAME_FIELD_SIZE])
{
    name[0] = '\0';
    if (!FileSize(carrier, fileLength))
        return FALSE;
    *placed = TrailerFindLast(CarrierSource(carrier, *fileLength), layout, name);
    return *placed != TRAILER_READ_FAILED;
}

// The key check: the stored block is decoded, staged through the temporary
// key file and its first 8 bytes read back are compared with the typed key.
// Where the key file cannot be made, the decoded bytes are compared as they
// are: a file failure is not a wrong key.
static bool StoredKeyMatches(HANDLE carrier, int64_t fileLength, const TrailerLayout& layout,
                             const char key[SIGNATURE_FORM_SIZE])
{
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    if (TrailerDecodeStoredBlock(CarrierSource(carrier, fileLength), layout, decoded) != TRAILER_OK)
        return false;
    bool matches = false;
    if (!CheckKeyThroughKeyFile(decoded, key, &matches))
        matches = DecodedKeyMatches(decoded, key);
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

enum CarrierOpened { CARRIER_OPENED, CARRIER_NOT_OPENED, CARRIER_REFUSED };

// Picks the carrier and reads its last trailer. With CARRIER_OPENED the
// carrier stays open for reading in *carrier, its trailer placed inside it.
// Otherwise the carrier is closed and a box has said what went wrong: a file
// that cannot hold its trailer is refused like a wrong key
// (CARRIER_REFUSED), a file failure is CARRIER_NOT_OPENED.
static CarrierOpened OpenCarrier(HWND window, ScopedHandle* carrier, int64_t* fileLength,
                                 TrailerLayout* layout)
{
    // The carrier dialog opens with whatever name the last dialog left.
    if (RunFileChooserLeavesName(kCarrierChooserTitle, kKeepLastName))
        CopyPath(g_sourcePath, ChosenFileName());
    if (!PicksStagingFile(g_sourcePath, kExtractStagingNames, COUNTOF(kExtractStagingNames)))
        carrier->Reset(FileOpen(g_sourcePath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL));
    if (!carrier->IsOpen()) {
        ShowFileError(window, kErrorOpeningInput);
        return CARRIER_NOT_OPENED;
    }
    TrailerError placed = TRAILER_FILE_TOO_SHORT;
    // The target path holds the stored name until the output is chosen.
    if (!ReadLastTrailer(carrier->Get(), fileLength, layout, &placed, g_targetPath)) {
        carrier->Close();
        ShowFileError(window, kErrorOpeningInput);
        return CARRIER_NOT_OPENED;
    }
    // A file that cannot hold the trailer it claims is refused like a wrong
    // key before the output is asked for: no name read from it is offered.
    if (placed != TRAILER_OK) {
        carrier->Close();
        ShowMessage(window, kWrongKey, kSignatureErrorCaption, MB_ICONERROR | MB_SYSTEMMODAL);
        return CARRIER_REFUSED;
    }
    return CARRIER_OPENED;
}

// Asks for the output, which opens with the stored path. Only a name the
// user confirmed is used: Cancel ends the extraction with nothing written,
// since the stored path comes from the file, not from the user.
static bool ChooseOutput(HWND window)
{
    bool named = RunFileChooserLeavesName(kOutputChooserTitle, g_targetPath);
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
    ScopedHandle carrier(INVALID_HANDLE_VALUE);
    CarrierOpened opened = OpenCarrier(window, &carrier, &fileLength, &layout);
    if (opened != CARRIER_OPENED) {
        if (opened == CARRIER_REFUSED)
            EndExtraction(window);
        return;
    }
    if (!ChooseOutput(window))
        return;
    HANDLE output = FileOpen(g_targetPath, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL);
    bool outputIsNew = GetLastError() != ERROR_ALREADY_EXISTS;
    if (output == INVALID_HANDLE_VALUE) {
        carrier.Close();
        ShowFileError(window, kErrorOpeningOutput);
        return;
    }
    if (!StoredKeyMatches(carrier.Get(), fileLength, layout, g_typedKey)) {
        // The box comes before the closes: both files stay as they are until
        // the user has read it.
        ShowMessage(window, kWrongKey, kSignatureErrorCaption, MB_ICONERROR | MB_SYSTEMMODAL);
        carrier.Close();
        FileClose(output);
        EndExtraction(window);
        return;
    }
    bool touched = false;
    bool written = WriteHiddenFile(carrier.Get(), output, layout, &touched);
    carrier.Close();
    if (!written) {
        // No partial output stays: a new one goes, and so does an older file
        // once writing began, being then neither itself nor the hidden file.
        if (outputIsNew || touched)
            FileDelete(g_targetPath);
        ShowFileError(window, kHiddenWriteFailed);
        return;
    }
    // Only now, with the hidden bytes safely out, is the carrier touched.
    carrier.Reset(FileOpen(g_sourcePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!carrier.IsOpen()) {
        ShowFileError(window, kErrorOpeningInput);
        return;
    }
    // The output path is no longer needed; the next command may start from it.
    CopyPath(g_targetPath, "tmpEFile");
    bool cut = CutTrailer(carrier.Get(), fileLength, layout);
    carrier.Close();
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
