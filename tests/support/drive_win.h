// The one in-process command driver: starts the four file commands the way
// a user does (the button pressed by its command id, the keys typed into the
// key or extract window), with the open-file dialogs answered through the
// modal seam, and reports what those dialogs were asked.
#ifndef ZORVANE_TESTS_SUPPORT_DRIVE_WIN_H
#define ZORVANE_TESTS_SUPPORT_DRIVE_WIN_H

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/files_win.h"

// A main window with the signatures "Sig one" / "Sig 2", mode 3, no command
// running, and the carrier commands' shared paths empty.
void StartCommandsWindow();
// Disarms the file fault switch, closes the command windows, destroys the
// main window.
void EndCommandsWindow();
// Destroys every key window and extract window of the thread.
void CloseCommandWindows();
// The main window's four status lines: operation, direction, source, target.
std::vector<std::string> StatusLines();

// The fixture of the command tests: the window of StartCommandsWindow around
// each test, and a scratch folder (the current directory) whose files the
// helpers name.
class CommandTest : public testing::Test {
protected:
    void SetUp() override { StartCommandsWindow(); }
    void TearDown() override { EndCommandsWindow(); }

    std::string Path(const std::string& name) const { return scratch.Path(name); }
    std::string Bytes(const std::string& name) const { return ReadFileBytes(Path(name)); }
    bool There(const std::string& name) const { return FileIsThere(Path(name)); }
    // Writes the file (failing the test when it cannot) and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string path = Path(name);
        EXPECT_TRUE(WriteFileBytes(path, bytes)) << name;
        return path;
    }
    void Remove(const std::string& name) const { DeleteFileA(Path(name).c_str()); }
    void ExpectNoTemporaryFiles() const { ::ExpectNoTemporaryFiles(scratch.Root()); }

    ScratchDir scratch;
};

// Runs inside every open-file dialog the drivers below answer, before the
// answer, with the dialog's title: a test acts there while a command waits.
extern std::function<void(const std::string& title)> g_inEachDialog;
// The window whose button the last driver pressed to start its command: the
// main window, the key window or the extract window. Set before the press.
extern HWND g_drivenWindow;

// One driven run: the window whose button started it, the titles of the
// open-file dialogs it showed and the names they opened with, in order, and
// the queued answers no dialog asked for.
struct DrivenRun {
    HWND window;
    std::vector<std::string> titles;
    std::vector<std::string> initialNames;
    size_t unanswered;
};

// "Unveil", and the two keys typed into the key window it opens; returns
// that window.
HWND OpenKeyWindow(const char* key1, const char* key2);
// The child of a key window at the place its control table gives a row.
HWND KeyField(HWND keys, int control);
// "Extract", and the key typed into the extract window; returns it (a second
// press brings the open one forward).
HWND OpenExtractWindowWithKey(const char* key);
// The extract window of this thread, if one is open.
HWND FindExtractWindow();

// Every name below is a dialog's answer; nullptr cancels that dialog. The
// first three expect each answer to be asked for (their dialogs come before
// any file is opened); an extraction asks for its output only once it has
// read the carrier.
// "Mirelock" with `selection` chosen.
DrivenRun RunEncrypt(const char* selection);
// A new key window with the keys typed, its "OK", `selection` chosen; every
// run destroys that window.
DrivenRun RunDecrypt(const char* key1, const char* key2, const char* selection);
// "Embed" with the hidden file and the carrier chosen.
DrivenRun RunEmbed(const char* hidden, const char* carrier);
// "Extract", the key typed, "OK", the carrier and the output chosen; the
// messages it posts are handled before it returns.
DrivenRun RunExtract(const char* key, const char* carrier, const char* output);

#endif
