// Starting the four file commands from code: the buttons and windows a user
// would press, dialogs answered through the seam.
#include "tests/faults/drive_win.h"

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
    while (HWND w = FindThreadWindow("ExtractWindow", nullptr))
        DestroyWindow(w);
    while (HWND w = FindThreadWindow("keyWindow", nullptr))
        DestroyWindow(w);
}

void RunEncrypt(const std::string& path)
{
    DialogAnswers answers;
    answers.onShow = g_inEachDialog;
    answers.Queue(path.c_str());
    g_drivenWindow = g_mainWindow;
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_MIRELOCK, 0);
}

HWND RunDecrypt(const char* key1, const char* key2, const std::string& path)
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
    // The two key fields are the first two controls.
    HWND key1Field = GetWindow(keys, GW_CHILD);
    SetWindowTextA(key1Field, key1);
    SetWindowTextA(GetWindow(key1Field, GW_HWNDNEXT), key2);
    DialogAnswers answers;
    answers.onShow = g_inEachDialog;
    answers.Queue(path.c_str());
    g_drivenWindow = keys;
    SendMessageA(keys, WM_COMMAND, IDC_KEY_OK, 0);
    return keys;
}

void RunEmbed(const char* hidden, const char* carrier)
{
    DialogAnswers answers;
    answers.onShow = g_inEachDialog;
    answers.Queue(hidden);
    answers.Queue(carrier);
    g_drivenWindow = g_mainWindow;
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EMBED, 0);
}

HWND RunExtract(const char* key, const char* carrier, const char* output)
{
    // A failed run keeps its window open; the Extract button brings it forward.
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EXTRACT, 0);
    HWND window = FindThreadWindow("ExtractWindow", "Key to extract ...");
    EXPECT_TRUE(window != nullptr);
    if (window == nullptr)
        return nullptr;
    SetWindowTextA(g_extractKeyField, key);
    DialogAnswers answers;
    answers.onShow = g_inEachDialog;
    answers.Queue(carrier);
    answers.Queue(output);
    g_drivenWindow = window;
    SendMessageA(window, WM_COMMAND, IDC_EXTRACT_OK, 0);
    PumpPending();
    return window;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
