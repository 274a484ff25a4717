// Shared support for the tests that run under Wine.
#include "tests/support/testing_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <deque>

#include "cipher/transform.h"
#include "credentials/credentials_win.h"
#include "base/modal_win.h"
#include "shell/shell_win.h"

static MessageRecorder* s_recorder = nullptr;
static MessageBoxFn s_realMessageBox = nullptr;
static OpenFileNameFn s_realOpenFileName = nullptr;

void InitTestProgram()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    g_instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    InitChoosers();
}

HWND CreateTestMainWindow()
{
    InitTestProgram();
    static bool registered = false;
    if (!registered)
        registered = RegisterMainWindowClass() != FALSE;
    // Start-up loads the signatures and, in a prefix without them, shows the
    // first-use messages and window. A test that does not watch for them gets
    // them answered and closed here, so nothing waits for a person.
    bool answerStartup = (s_recorder == nullptr);
    MessageRecorder* startupAnswers = answerStartup ? new MessageRecorder() : nullptr;
    HWND window = CreateMainWindow();
    delete startupAnswers;
    if (answerStartup) {
        HWND firstUse;
        while ((firstUse = FindThreadWindow("chgpassWindow", nullptr)) != nullptr)
            DestroyWindow(firstUse);
    }
    g_mainWindow = window;
    g_sourceChooser.hwndOwner = window;
    g_fileChooser.hwndOwner = window;
    return window;
}

void DestroyTestMainWindow()
{
    if (g_mainWindow && IsWindow(g_mainWindow))
        DestroyWindow(g_mainWindow);
    g_mainWindow = nullptr;
    PumpPending();
}

void PumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

static int WINAPI RecordMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    RecordedMessage m{owner, text ? text : "", caption ? caption : "", type};
    s_recorder->messages.push_back(m);
    if (s_recorder->onShow)
        s_recorder->onShow(m);
    return s_recorder->answer;
}

MessageRecorder::MessageRecorder(int answerValue) : answer(answerValue)
{
    // Remember the real function as the seam holds it (its address may differ
    // from a fresh reference to MessageBoxA: an import thunk versus the DLL).
    if (s_realMessageBox == nullptr)
        s_realMessageBox = g_messageBox;
    s_recorder = this;
    g_messageBox = RecordMessage;
}

MessageRecorder::~MessageRecorder()
{
    g_messageBox = s_realMessageBox;
    s_recorder = nullptr;
}

static DialogAnswers* s_answers = nullptr;
static std::deque<std::pair<bool, std::string>> s_queue;

static BOOL WINAPI AnswerDialog(LPOPENFILENAMEA record)
{
    s_answers->titles.push_back(record->lpstrTitle ? record->lpstrTitle : "");
    s_answers->initialNames.push_back(record->lpstrFile ? record->lpstrFile : "");
    if (s_answers->onShow)
        s_answers->onShow(s_answers->titles.back());
    if (s_queue.empty()) {
        ADD_FAILURE() << "an open-file dialog nobody answered: "
                      << (record->lpstrTitle ? record->lpstrTitle : "");
        return FALSE;
    }
    std::pair<bool, std::string> answer = s_queue.front();
    s_queue.pop_front();
    if (!answer.first)
        return FALSE;
    snprintf(record->lpstrFile, record->nMaxFile, "%s", answer.second.c_str());
    return TRUE;
}

DialogAnswers::DialogAnswers()
{
    if (s_realOpenFileName == nullptr)
        s_realOpenFileName = g_getOpenFileName;
    s_answers = this;
    s_queue.clear();
    g_getOpenFileName = AnswerDialog;
}

DialogAnswers::~DialogAnswers()
{
    g_getOpenFileName = s_realOpenFileName;
    s_queue.clear();
    s_answers = nullptr;
}

void DialogAnswers::Queue(const char* name)
{
    s_queue.emplace_back(name != nullptr, name ? name : "");
}

size_t DialogAnswers::Pending() const
{
    return s_queue.size();
}

static void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

ScratchDir::ScratchDir()
{
    static unsigned counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    previous_ = current;
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%szvt%lu_%u", temp, GetCurrentProcessId(), ++counter);
    root_ = name;
    RemoveTree(root_);
    CreateDirectoryA(root_.c_str(), nullptr);
    SetCurrentDirectoryA(root_.c_str());
}

ScratchDir::~ScratchDir()
{
    SetCurrentDirectoryA(previous_.c_str());
    RemoveTree(root_);
}

std::string ScratchDir::Path(const std::string& name) const
{
    return root_ + "\\" + name;
}

bool FileIsThere(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PseudoRandomBytes(size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (size_t k = 0; k < count; k++) {
        state = state * 1103515245u + 12345u;
        bytes[k] = (char)(state >> 16);
    }
    return bytes;
}

void SetTestSignatures(const char* signature1, const char* signature2)
{
    ToSignatureForm(signature1, g_signature1);
    ToSignatureForm(signature2, g_signature2);
    g_signatureState = SIGNATURES_COMPLETE;
}

std::string WindowText(HWND window)
{
    char text[1024];
    text[0] = '\0';
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct FindData {
    const char* className;
    const char* title;
    HWND found;
    std::vector<HWND>* all;
};

static BOOL CALLBACK FindProc(HWND window, LPARAM param)
{
    FindData* data = (FindData*)param;
    char className[256];
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, data->className) == 0 &&
        (data->title == nullptr || WindowText(window) == data->title)) {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadWindow(const char* className, const char* title)
{
    FindData data{className, title, nullptr, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindProc, (LPARAM)&data);
    return data.found;
}

static BOOL CALLBACK CollectProc(HWND window, LPARAM param)
{
    FindData* data = (FindData*)param;
    char className[256];
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, data->className) == 0)
        data->all->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows(const char* className)
{
    std::vector<HWND> all;
    FindData data{className, nullptr, nullptr, &all};
    EnumThreadWindows(GetCurrentThreadId(), CollectProc, (LPARAM)&data);
    return all;
}
