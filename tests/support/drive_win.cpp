// Starting the four file commands from code: the buttons and windows a user
// would press, dialogs answered through the seam.
#include "tests/support/drive_win.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "carrier/carrier_win.h"
#include "cipher/cipher_win.h"
#include "credentials/credentials_win.h"
#include "base/fileio_win.h"
#include "shell/shell_win.h"
#include "tests/support/testing_win.h"

std::function<void(const std::string& title)> g_inEachDialog;
HWND g_drivenWindow = nullptr;

void StartCommandsWindow()
{
    CreateTestMainWindow();
    SetTestSignatures("Sig one", "Sig 2");
    g_transformMode = 3;
    g_cancel = false;
    g_busy = false;
    g_sourcePath[0] = '\0';
    g_targetPath[0] = '\0';
    g_chooserName[0] = '\0';
}

void EndCommandsWindow()
{
    FileFaultDisarm();
    CloseCommandWindows();
    DestroyTestMainWindow();
}

void CloseCommandWindows()
{
    DestroyThreadWindows("ExtractWindow");
    DestroyThreadWindows("keyWindow");
}

std::vector<std::string> StatusLines()
{
    std::vector<std::string> lines;
    for (MainControl line : {CTL_OPERATION_LINE, CTL_DIRECTION_LINE, CTL_SOURCE_LINE, CTL_TARGET_LINE})
        lines.push_back(WindowText(g_mainControls[line]));
    return lines;
}

HWND KeyField(HWND keys, int control)
{
    const ControlSpec& row = g_keyControlTable[control];
    POINT at = {row.x + 2, row.y + 2};
    return ChildWindowFromPoint(keys, at);
}

HWND OpenKeyWindow(const char* key1, const char* key2)
{
    std::vector<HWND> before = ThreadWindows("keyWindow");
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_UNVEIL, 0);
    HWND keys = nullptr;
    for (HWND w : ThreadWindows("keyWindow")) {
        if (std::find(before.begin(), before.end(), w) == before.end())
            keys = w;
    }
    EXPECT_TRUE(keys != nullptr);
    if (keys == nullptr)
        return nullptr;
    EXPECT_EQ("Key to unlock ...", WindowText(keys));
    SetWindowTextA(KeyField(keys, KEYCTL_KEY1), key1);
    SetWindowTextA(KeyField(keys, KEYCTL_KEY2), key2);
    return keys;
}

HWND FindExtractWindow()
{
    return FindThreadWindow("ExtractWindow", "Key to extract ...");
}

HWND OpenExtractWindowWithKey(const char* key)
{
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EXTRACT, 0);
    HWND window = FindExtractWindow();
    EXPECT_TRUE(window != nullptr);
    if (window != nullptr)
        SetWindowTextA(g_extractKeyField, key);
    return window;
}

// Presses `id` of `window` with the dialogs answered by `names` in turn;
// `askAll`: a run that starts asks every one of them before anything else.
static DrivenRun Press(HWND window, int id, std::initializer_list<const char*> names, bool askAll)
{
    DrivenRun run{window, {}, {}, 0};
    if (window == nullptr)
        return run;
    DialogAnswers answers;
    answers.onShow = g_inEachDialog;
    for (const char* name : names)
        answers.Queue(name);
    g_drivenWindow = window;
    SendMessageA(window, WM_COMMAND, id, 0);
    run.titles = answers.titles;
    run.initialNames = answers.initialNames;
    run.unanswered = answers.Pending();
    if (askAll) {
        EXPECT_EQ(0u, run.unanswered) << "an answer no dialog asked for";
    }
    return run;
}

DrivenRun RunEncrypt(const char* selection)
{
    return Press(g_mainWindow, IDC_MAIN_MIRELOCK, {selection}, true);
}

DrivenRun RunDecrypt(const char* key1, const char* key2, const char* selection)
{
    return Press(OpenKeyWindow(key1, key2), IDC_KEY_OK, {selection}, true);
}

DrivenRun RunEmbed(const char* hidden, const char* carrier)
{
    return Press(g_mainWindow, IDC_MAIN_EMBED, {hidden, carrier}, true);
}

DrivenRun RunExtract(const char* key, const char* carrier, const char* output)
{
    // A failed run keeps its window open; the Extract button brings it forward.
    DrivenRun run =
        Press(OpenExtractWindowWithKey(key), IDC_EXTRACT_OK, {carrier, output}, false);
    PumpPending();
    return run;
}
