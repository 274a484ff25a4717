// The extract window ("Key to extract ...") and the extraction its OK button
// runs: the hidden file is written out and flushed before the carrier is cut
// back to its own bytes in place, so no failure can lose the carrier.
#include "carrier/carrier_win.h"

#include "base/wipe.h"
#include "carrier/carrierfiles_win.h"
#include "cipher/cipher_win.h"
#include "carrier/trailer.h"
#include "base/fileio_win.h"
#include "base/modal_win.h"

char g_typedKey[SIGNATURE_FORM_SIZE];
HWND g_extractKeyField = nullptr;

static const char kExtractClass[] = "ExtractWindow";
static HWND s_extractWindow = nullptr;

const ControlSpec g_extractControlTable[EXTRACT_CONTROL_COUNT] = {
    {"Edit", nullptr, 0, 5, 50, 200, 20, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD,
     WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
    {"Button", "OK", IDC_EXTRACT_OK, 45, 150, 100, 20, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0},
    {"Button", "Cancel", IDC_EXTRACT_CANCEL, 155, 150, 100, 20,
     WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0},
    {"Static", "Key :", 0, 5, 30, 200, 20, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
};

static void ReadTypedKey()
{
    char text[SIGNATURE_FORM_SIZE];
    text[0] = '\0';
    GetWindowTextA(g_extractKeyField, text, sizeof text);
    ToSignatureForm(text, g_typedKey);
    Wipe(text, sizeof text);
}

// Reads the last trailer's name into the target path and places its fields.
// A file too short for a trailer has no stored name. False when the carrier
// cannot be read at all.
static bool ReadLastTrailer(HANDLE carrier, int64_t* fileLength, TrailerLayout* layout,
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
static bool WriteHiddenFile(HANDLE carrier, HANDLE output, const TrailerLayout& layout,
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
static bool CutTrailer(HANDLE carrier, int64_t fileLength, const TrailerLayout& layout)
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

static void RunExtraction(HWND window)
{
    ReadTypedKey();
    SetStatusLine(CTL_OPERATION_LINE, "Extracting file ...");
    SetStatusLine(CTL_DIRECTION_LINE, "to ...");
    SetChooserTitle("Get carrier file");
    if (RunFileChooser())
        CopyPath(g_sourcePath, g_chooserName);

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
    CopyPath(g_chooserName, g_targetPath);
    SetChooserTitle("Output file name");
    if (RunFileChooser())
        CopyPath(g_targetPath, g_chooserName);

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

static LRESULT OnExtractCreate(HWND window)
{
    HWND controls[EXTRACT_CONTROL_COUNT];
    CreateControls(window, g_extractControlTable, EXTRACT_CONTROL_COUNT, controls);
    g_extractKeyField = controls[EXTRACT_KEY_FIELD];
    s_extractWindow = window;
    return 0;
}

static LRESULT OnExtractDestroy(HWND window)
{
    if (s_extractWindow == window) {
        s_extractWindow = nullptr;
        g_extractKeyField = nullptr;
    }
    return 1;
}

static void OnExtractOk(HWND window)
{
    if (RefuseWhileCommandRuns())
        return;
    CommandBegin(window);
    RunExtraction(window);
    CommandEnd();
}

// Cancel button and close box. While this window's run goes on they are
// ignored; the run itself closes the window once it reached the key check
// (one that stops on a file failure keeps it open for another try).
static void OnExtractClose(HWND window)
{
    if (!IsRunningCommandWindow(window))
        DestroyWindow(window);
}

static LRESULT OnExtractCommand(HWND window, int id)
{
    if (id == IDC_EXTRACT_CANCEL)
        OnExtractClose(window);
    else if (id == IDC_EXTRACT_OK)
        OnExtractOk(window);
    return 0;
}

static LRESULT CALLBACK ExtractWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnExtractCreate(window);
    case WM_PAINT:
        return PaintNothing(window);
    case WM_DESTROY:
        return OnExtractDestroy(window);
    case WM_COMMAND:
        return OnExtractCommand(window, LOWORD(wParam));
    case WM_CLOSE:
        OnExtractClose(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL RegisterExtractWindowClass()
{
    return RegisterProgramClass(kExtractClass, ExtractWindowProc, IDI_KEY_ICON);
}

HWND OpenExtractWindow()
{
    if (s_extractWindow != nullptr && IsWindow(s_extractWindow)) {
        if (IsIconic(s_extractWindow))
            ShowWindow(s_extractWindow, SW_RESTORE);
        SetForegroundWindow(s_extractWindow);
        BringWindowToTop(s_extractWindow);
        return s_extractWindow;
    }
    return CreateWindowExA(0, kExtractClass, "Key to extract ...",
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 500, 250, 300,
                           200, g_mainWindow, nullptr, g_instance, nullptr);
}
