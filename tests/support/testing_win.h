// Shared support for the in-process tests under Wine: a main window made the
// way start-up makes it, and answers for message boxes and open-file dialogs
// swapped in through the modal seam (no real dialog opens).
#ifndef ZORVANE_TESTS_SUPPORT_TESTING_WIN_H
#define ZORVANE_TESTS_SUPPORT_TESTING_WIN_H

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/faultswitch.h"
#include "base/modal_win.h"
#include "tests/support/files_win.h"
#include "tests/support/windows_win.h"

// Instance, common controls and chooser records, as start-up sets them; once.
void InitTestProgram();
// Registers "clsWindow" (once) and creates a main window; records it in
// g_mainWindow and the chooser owners. Destroy it with DestroyTestMainWindow.
HWND CreateTestMainWindow();
void DestroyTestMainWindow();
// Dispatches every queued message of this thread (WM_QUIT is dropped).
void PumpPending();

// A message box as the program asked for it.
struct RecordedMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// While alive, every message box of the program is recorded and answered
// with `answer` instead of being shown; `onShow` runs inside the call.
class MessageRecorder {
public:
    explicit MessageRecorder(int answer = IDOK);
    ~MessageRecorder();
    std::vector<RecordedMessage> messages;
    std::function<void(const RecordedMessage&)> onShow;
    int answer;
};

// Any owner: ExpectOnlyMessage does not check it.
extern const HWND kAnyOwner;
// Exactly one message box was recorded, with this text and, where given,
// this caption, owner and type (nullptr, kAnyOwner and 0 are not checked).
void ExpectOnlyMessage(const MessageRecorder& recorder, const std::string& text,
                       const char* caption = nullptr, HWND owner = kAnyOwner, UINT type = 0);
// The same for exactly `count` message boxes, each of them this one.
void ExpectSameMessages(const MessageRecorder& recorder, size_t count, const std::string& text,
                        const char* caption = nullptr, HWND owner = kAnyOwner, UINT type = 0);

// While alive, each open-file dialog of the program takes the next queued
// answer instead of being shown: a name copied into the record's file buffer
// (nullptr: the user cancelled, the buffer is left as it is). The titles the
// program asked with are recorded. An unanswered dialog fails the test.
// They nest: the newest one answers, and the one before it answers again
// once it is gone (a test-wide guard around the driver's answers per run).
class DialogAnswers {
public:
    DialogAnswers();
    ~DialogAnswers();
    void Queue(const char* name);
    std::vector<std::string> titles;
    std::vector<std::string> initialNames; // the name buffer as the dialog opened
    // Runs inside each dialog, before it is answered, with its title.
    std::function<void(const std::string& title)> onShow;
    size_t Pending() const;
    // Answers the dialog of `record` from the queue (the seam's function).
    BOOL Answer(LPOPENFILENAMEA record);
private:
    std::deque<std::pair<bool, std::string>> queue_;
    DialogAnswers* outer_;
    OpenFileNameFn outerFunction_;
};

// What one run of a fault sweep hit: nothing (hits 0, the run went past call
// N), or the layer call named by operation and subject.
struct FaultHit {
    long call;
    long hits;
    std::string operation;
    std::string subject;
};
// A sweep over the calls of a layer through its fault switch (the file or the
// registry layer): for N = 1, 2, ... `run(N)` arms the switch at call N and
// runs the code under test; the switch is read, `disarm` called, and `judge`
// told what the fault hit. Ends after the first run the fault did not reach
// (judged too) and returns its N; a sweep past call 1000 fails the test.
long SweepFaults(const FaultSwitch& faults, void (*disarm)(), const std::function<void(long)>& run,
                 const std::function<void(const FaultHit&)>& judge);

// Sets both signatures in memory as the signature window's "OK" would
// (signature form, in force at once), without saving them.
void SetTestSignatures(const char* signature1, const char* signature2);

#endif
