// Shared support for the in-process tests under Wine.
#include "tests/support/testing_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "cipher/transform.h"
#include "credentials/credentials_win.h"
#include "base/modal_win.h"
#include "shell/shell_win.h"

static MessageRecorder* s_recorder = nullptr;
static MessageBoxFn s_realMessageBox = nullptr;

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
    if (answerStartup)
        DestroyThreadWindows("chgpassWindow");
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

const HWND kAnyOwner = (HWND)(INT_PTR)-1;

void ExpectOnlyMessage(const MessageRecorder& recorder, const std::string& text,
                       const char* caption, HWND owner, UINT type)
{
    ExpectSameMessages(recorder, 1, text, caption, owner, type);
}

void ExpectSameMessages(const MessageRecorder& recorder, size_t count, const std::string& text,
                        const char* caption, HWND owner, UINT type)
{
    ASSERT_EQ(count, recorder.messages.size()) << text;
    for (const RecordedMessage& m : recorder.messages) {
        EXPECT_EQ(text, m.text);
        EXPECT_EQ(caption ? caption : m.caption, m.caption) << text;
        EXPECT_EQ(owner != kAnyOwner ? owner : m.owner, m.owner) << text;
        EXPECT_EQ(type != 0 ? type : m.type, m.type) << text;
    }
}

static DialogAnswers* s_answers = nullptr;

static BOOL WINAPI AnswerDialog(LPOPENFILENAMEA record)
{
    return s_answers->Answer(record);
}

BOOL DialogAnswers::Answer(LPOPENFILENAMEA record)
{
    titles.push_back(record->lpstrTitle ? record->lpstrTitle : "");
    initialNames.push_back(record->lpstrFile ? record->lpstrFile : "");
    if (onShow)
        onShow(titles.back());
    if (queue_.empty()) {
        ADD_FAILURE() << "an open-file dialog nobody answered: "
                      << (record->lpstrTitle ? record->lpstrTitle : "");
        return FALSE;
    }
    std::pair<bool, std::string> answer = queue_.front();
    queue_.pop_front();
    if (!answer.first)
        return FALSE;
    snprintf(record->lpstrFile, record->nMaxFile, "%s", answer.second.c_str());
    return TRUE;
}

DialogAnswers::DialogAnswers() : outer_(s_answers), outerFunction_(g_getOpenFileName)
{
    s_answers = this;
    g_getOpenFileName = AnswerDialog;
}

DialogAnswers::~DialogAnswers()
{
    s_answers = outer_;
    g_getOpenFileName = outerFunction_;
}

void DialogAnswers::Queue(const char* name)
{
    queue_.emplace_back(name != nullptr, name ? name : "");
}

size_t DialogAnswers::Pending() const
{
    return queue_.size();
}

long SweepFaults(const FaultSwitch& faults, void (*disarm)(), const std::function<void(long)>& run,
                 const std::function<void(const FaultHit&)>& judge)
{
    for (long call = 1;; call++) {
        run(call);
        FaultHit hit{call, faults.hits, faults.operation ? faults.operation : "", faults.subject};
        disarm();
        judge(hit);
        if (hit.hits == 0)
            return call;
        if (call == 1000) {
            ADD_FAILURE() << "the sweep does not end";
            return call;
        }
    }
}

void SetTestSignatures(const char* signature1, const char* signature2)
{
    ToSignatureForm(signature1, g_signature1);
    ToSignatureForm(signature2, g_signature2);
    g_signatureState = SIGNATURES_COMPLETE;
}
