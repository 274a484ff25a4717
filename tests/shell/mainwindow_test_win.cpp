// The main window as start-up makes it: its controls, the busy state, the
// progress step, the command table and the choosers.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cipher/cipher_win.h"
#include "base/modal_win.h"
#include "shell/messages.h"
#include "shell/shell_win.h"
#include "tests/support/controls_win.h"
#include "tests/support/testing_win.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Start-up may show message boxes (first use): answer them.
        recorder_ = new MessageRecorder();
        window_ = CreateTestMainWindow();
        ASSERT_NE(window_, nullptr);
        PumpPending();
    }
    void TearDown() override
    {
        LeaveBusyState();
        g_cancel = false;
        DestroyTestMainWindow();
        delete recorder_;
    }
    MessageRecorder* recorder_ = nullptr;
    HWND window_ = nullptr;
};

// The windows' controls as designed, in creation order: the test's own rows,
// so that a wrong row in the program's table shows.
enum {
    DESIGN_BUTTON = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER,
    DESIGN_LINE = WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_AUTOHSCROLL,
    DESIGN_BOXED = DESIGN_LINE | ES_MULTILINE
};
static const ControlSpec kMainDesign[] = {
    {"Button", "Mirelock", 1, 410, 10, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "Unveil", 2, 410, 60, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "Signature", 6, 520, 10, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "Password", 13, 520, 60, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "Exit", 1000, 520, 110, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "Embed", 16, 410, 110, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "Extract", 17, 410, 160, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "About...", 20, 520, 160, 100, 40, DESIGN_BUTTON, 0},
    {"Button", "Cancel", 4, 410, 10, 100, 40, WS_CHILD | BS_PUSHBUTTON, 0},
    {"msctls_progress32", "", 0, 5, 120, 200, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "0 % complete", 0, 5, 140, 200, 20, WS_CHILD | WS_VISIBLE | SS_CENTER, 0},
    {"Edit", "", 0, 5, 70, 400, 20, DESIGN_LINE, 0},
    {"Edit", "", 0, 5, 30, 400, 20, DESIGN_LINE, 0},
    {"Edit", "", 0, 5, 50, 400, 20, DESIGN_BOXED, WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
    {"Edit", "", 0, 5, 90, 400, 20, DESIGN_BOXED, WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
};
static const ControlSpec kAboutDesign[] = {
    {"Button", "Done", 21, 5, 180, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", kAboutText, 0, 5, 25, 400, 150, WS_CHILD | WS_VISIBLE, 0},
};

TEST_F(MainWindowTest, EveryControlMatchesTheTable)
{
    std::vector<HWND> matched =
        ExpectControlsMatch(window_, kMainDesign, COUNTOF(kMainDesign), CONTROLS_IN_ORDER);
    // The handles the program keeps are those of the rows' controls.
    for (int k = 0; k < MAIN_CONTROL_COUNT; k++) {
        ASSERT_TRUE(IsWindow(g_mainControls[k])) << k;
        EXPECT_EQ(matched[k], g_mainControls[k]) << k;
    }
    // The exact rows that matter most, written out once more.
    EXPECT_EQ(WindowText(g_mainControls[CTL_PERCENT]), "0 % complete");
    EXPECT_FALSE(IsWindowVisible(g_mainControls[CTL_CANCEL]));
    EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_MIRELOCK]));
    EXPECT_EQ(SendMessageA(g_mainControls[CTL_PROGRESS], PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_FALSE(IsWindowEnabled(g_mainControls[CTL_SOURCE_LINE]));
}

// Every class of the program as designed: its icon, large and small alike,
// the arrow cursor, the menu colour and a redraw on resizing.
TEST_F(MainWindowTest, WindowClassesAsDesigned)
{
    const struct { const char* name; int icon; } classes[] = {
        {"clsWindow", 101}, {"optionWindow", 101}, {"keyWindow", 103}, {"passWindow", 101},
        {"chgpassWindow", 101}, {"ExtractWindow", 103}, {"AboutWindow", 101}};
    for (const auto& c : classes) {
        WNDCLASSEXA info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetClassInfoExA(g_instance, c.name, &info)) << c.name;
        EXPECT_EQ((UINT)(CS_HREDRAW | CS_VREDRAW), info.style) << c.name;
        EXPECT_EQ(LoadIconA(g_instance, MAKEINTRESOURCEA(c.icon)), info.hIcon) << c.name;
        EXPECT_EQ(info.hIcon, info.hIconSm) << c.name;
        EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), info.hCursor) << c.name;
        EXPECT_EQ((HBRUSH)(COLOR_MENU + 1), info.hbrBackground) << c.name;
    }
}

TEST_F(MainWindowTest, FrameTitleStyleAndSize)
{
    EXPECT_EQ(WindowText(window_), "Zorvane V1.30");
    RECT r;
    GetWindowRect(window_, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 630);
    EXPECT_EQ(r.bottom - r.top, 345);
    DWORD style = (DWORD)GetWindowLongA(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(g_transformMode, 3);
}

TEST_F(MainWindowTest, BusyStateSwapsButtonsAndRefusesClose)
{
    EnterBusyState();
    EXPECT_TRUE(g_busy);
    EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_CANCEL]));
    EXPECT_FALSE(IsWindowVisible(g_mainControls[CTL_MIRELOCK]));
    EXPECT_FALSE(IsWindowVisible(g_mainControls[CTL_UNVEIL]));
    EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_EMBED]));

    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window_));

    LeaveBusyState();
    EXPECT_FALSE(g_busy);
    EXPECT_FALSE(IsWindowVisible(g_mainControls[CTL_CANCEL]));
    EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_MIRELOCK]));
    EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_UNVEIL]));

    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowTest, ProgressLabelOverTwoHundredBytes)
{
    EnterBusyState();
    ProgressLoop loop;
    ProgressBegin(&loop, 200);
    for (int i = 0; i < 200; i++) {
        ASSERT_FALSE(ProgressStep(&loop));
        std::string label = WindowText(g_mainControls[CTL_PERCENT]);
        int pos = (int)SendMessageA(g_mainControls[CTL_PROGRESS], PBM_GETPOS, 0, 0);
        if (i < 2) {
            EXPECT_EQ(label, "0 % complete") << i;
        } else if (i == 2) {
            EXPECT_EQ(label, "1  %complete");
            EXPECT_EQ(pos, 1);
        } else if (i == 20) {
            EXPECT_EQ(label, "10 % complete");
            EXPECT_EQ(pos, 10);
        } else if (i >= 198) {
            EXPECT_EQ(label, "99 % complete");
            EXPECT_EQ(pos, 99);
        }
    }
    ProgressReset(kLabelIdleAfterEncrypt);
    LeaveBusyState();
    EXPECT_EQ(WindowText(g_mainControls[CTL_PERCENT]), " 0 % complete");
    EXPECT_EQ(SendMessageA(g_mainControls[CTL_PROGRESS], PBM_GETPOS, 0, 0), 0);
}

TEST_F(MainWindowTest, CancelButtonSetsTheFlagTheNextStepReports)
{
    EnterBusyState();
    ProgressLoop loop;
    ProgressBegin(&loop, 10);
    PostMessageA(window_, WM_COMMAND, IDC_MAIN_CANCEL, (LPARAM)g_mainControls[CTL_CANCEL]);
    EXPECT_TRUE(ProgressStep(&loop));
    EXPECT_TRUE(g_cancel);
}

TEST_F(MainWindowTest, ExitWhileBusyIsConsumedByThePump)
{
    EnterBusyState();
    ProgressLoop loop;
    ProgressBegin(&loop, 50);
    SendMessageA(window_, WM_COMMAND, IDC_MAIN_EXIT, 0);
    for (int i = 0; i < 50; i++)
        ProgressStep(&loop);
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(MainWindowTest, ExitEndsTheMainLoopWithCodeZero)
{
    PostMessageA(window_, WM_COMMAND, IDC_MAIN_EXIT, 0);
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_TRUE(IsWindow(window_)); // Exit does not destroy the window first
}

TEST_F(MainWindowTest, EmbedIsRefusedWhileACommandRuns)
{
    CommandBegin(window_);
    EnterBusyState();
    DialogAnswers answers;
    long refusedBefore = g_commandsRefused;
    SendMessageA(window_, WM_COMMAND, IDC_MAIN_EMBED, 0);
    SendMessageA(window_, WM_COMMAND, IDC_MAIN_MIRELOCK, 0);
    CommandEnd();
    EXPECT_TRUE(answers.titles.empty()); // no dialog was opened
    EXPECT_EQ(refusedBefore + 2, g_commandsRefused);
    EXPECT_FALSE(RefuseWhileCommandRuns());
    EXPECT_EQ(refusedBefore + 2, g_commandsRefused);
}

TEST_F(MainWindowTest, MessagesWhoseOwnerIsGoneAreOwnedByTheMainWindow)
{
    HWND about = OpenAboutWindow();
    ASSERT_NE(about, nullptr);
    recorder_->messages.clear();
    ShowMessage(about, "live", "c", MB_OK);
    ShowMessage(nullptr, "none", "c", MB_OK);
    DestroyWindow(about);
    ShowMessage(about, "gone", "c", MB_OK);
    ASSERT_EQ(recorder_->messages.size(), 3u);
    EXPECT_EQ(recorder_->messages[0].owner, about);
    EXPECT_EQ(recorder_->messages[1].owner, nullptr);
    EXPECT_EQ(recorder_->messages[2].owner, window_);
    EXPECT_EQ(recorder_->messages[2].text, "gone");
}

TEST_F(MainWindowTest, TwoAboutClicksOpenTwoAboutWindows)
{
    SendMessageA(window_, WM_COMMAND, IDC_MAIN_ABOUT, 0);
    SendMessageA(window_, WM_COMMAND, IDC_MAIN_ABOUT, 0);
    // This thread's own: other test programs on the same desktop open theirs.
    std::vector<HWND> abouts = ThreadWindows("AboutWindow");
    EXPECT_EQ(abouts.size(), 2u);
    for (HWND about : abouts) {
        ExpectWindowPlacement(about, "About Zorvane V1.30 ...", 500, 250, 450, 250, window_);
        ExpectControlsMatch(about, kAboutDesign, COUNTOF(kAboutDesign), CONTROLS_IN_ORDER);
    }
    HWND first = FindThreadWindow("AboutWindow", nullptr);
    SendMessageA(first, WM_COMMAND, 21, 0); // Done
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(window_));
    HWND second = FindThreadWindow("AboutWindow", nullptr);
    ASSERT_NE(second, nullptr);
    SendMessageA(second, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(MainWindowTest, UnknownCommandsAndStatusNotificationsAreIgnored)
{
    DialogAnswers answers;
    const WPARAM ids[] = {0, 3, 999, 1001, 0xFFFF, MAKEWPARAM(0, EN_CHANGE)};
    for (WPARAM id : ids)
        EXPECT_EQ(SendMessageA(window_, WM_COMMAND, id, 0), 0);
    EXPECT_TRUE(answers.titles.empty());
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowTest, TabEnterAndEscapeDoNothing)
{
    SendMessageA(window_, WM_COMMAND, IDC_MAIN_ABOUT, 0);
    // This thread's own: other test programs on the same desktop open theirs.
    HWND about = FindThreadWindow("AboutWindow", nullptr);
    ASSERT_NE(about, nullptr);
    HWND windows[] = {window_, about};
    for (HWND w : windows) {
        HWND button = GetWindow(w, GW_CHILD);
        SetFocus(button);
        const WPARAM keys[] = {VK_TAB, VK_RETURN, VK_ESCAPE};
        const WPARAM characters[] = {'\t', '\r', 0x1B};
        for (int k = 0; k < 3; k++) {
            PostMessageA(button, WM_KEYDOWN, keys[k], 0);
            PostMessageA(button, WM_CHAR, characters[k], 0);
            PostMessageA(button, WM_KEYUP, keys[k], 0xC0000000);
            PumpPending();
            // The focus never moves to another control. (It can be lost
            // altogether when another program on the same wineserver takes
            // the activation, and come back to the window itself; that is
            // not navigation.)
            HWND focus = GetFocus();
            EXPECT_TRUE(focus == button || focus == nullptr || focus == w)
                << keys[k] << ": focus on \"" << WindowText(focus) << "\" of \""
                << WindowText(GetParent(focus)) << "\"";
            EXPECT_TRUE(IsWindow(w));
        }
    }
    // Nothing was pressed: no second About window, no quit.
    EXPECT_EQ(1u, ThreadWindows("AboutWindow").size());
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DestroyWindow(about);
}

// The choosers, with the seam answering for the user.
TEST_F(MainWindowTest, SourceChooserCancelKeepsTheSelection)
{
    strcpy(g_selection, "C:\\KEEP.TXT");
    DialogAnswers answers;
    answers.Queue(nullptr);
    EXPECT_FALSE(RunSourceChooser());
    EXPECT_STREQ(g_selection, "C:\\KEEP.TXT");
    ASSERT_EQ(answers.titles.size(), 1u);
    EXPECT_EQ(answers.titles[0], "Select File(s)");
    EXPECT_EQ(answers.initialNames[0], "");
}

TEST_F(MainWindowTest, SourceChooserTakesAWholeNameWithSpacesOrAListOrRefuses)
{
    ScratchDir dir;
    std::string spaced = dir.Path("long name with spaces.txt");
    ASSERT_TRUE(WriteFileBytes(spaced, "x"));
    ASSERT_TRUE(WriteFileBytes(dir.Path("A.TXT"), "a"));
    ASSERT_TRUE(WriteFileBytes(dir.Path("B.TXT"), "b"));
    DialogAnswers answers;

    answers.Queue(spaced.c_str());
    ASSERT_TRUE(RunSourceChooser());
    EXPECT_EQ(std::string(g_selection), spaced);
    EXPECT_TRUE(g_selectionIsWholePath);

    std::string list = dir.Root() + " A.TXT B.TXT";
    answers.Queue(list.c_str());
    ASSERT_TRUE(RunSourceChooser());
    EXPECT_EQ(std::string(g_selection), list);
    EXPECT_FALSE(g_selectionIsWholePath);

    // "long name" would split into names that do not exist: refused.
    std::string missing = dir.Root() + " long name.txt";
    answers.Queue(missing.c_str());
    size_t before = recorder_->messages.size();
    EXPECT_FALSE(RunSourceChooser());
    EXPECT_EQ(std::string(g_selection), list);
    ASSERT_EQ(recorder_->messages.size(), before + 1);
    EXPECT_EQ(recorder_->messages.back().caption, "File Access Error");
    EXPECT_EQ(recorder_->messages.back().type, (UINT)(MB_OK | MB_ICONERROR | MB_SYSTEMMODAL));
}

TEST_F(MainWindowTest, ChooserRecordsAreFilledAsDesigned)
{
    EXPECT_EQ(g_sourceChooser.lStructSize, 76u);
    EXPECT_EQ(g_sourceChooser.Flags,
              (DWORD)(OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOLONGNAMES));
    EXPECT_EQ(g_fileChooser.Flags,
              (DWORD)(OFN_EXPLORER | OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(g_sourceChooser.nMaxFile, 260u);
    EXPECT_EQ(g_fileChooser.nMaxFileTitle, 512u);
    EXPECT_EQ(memcmp(g_fileChooser.lpstrFilter, "All Files (*.*)\0*.*\0\0", 22), 0);
    EXPECT_EQ(g_fileChooser.lpstrFile, g_chooserName);
    EXPECT_EQ(g_fileChooser.lpstrTitle, g_chooserTitle);
}

// The real dialogs, answered the way a person would: a thread timer, which
// the dialog's own modal loop dispatches, finds the dialog and presses Cancel.
// (Activation hooks are not dependable while other programs share the
// wineserver.)
static int s_dialogsSeen;
static char s_dialogTitle[128];

static void CALLBACK CancelDialogs(HWND, UINT, UINT_PTR, DWORD)
{
    for (HWND window : ThreadWindows("#32770")) {
        if (IsWindowVisible(window)) {
            s_dialogsSeen++;
            GetWindowTextA(window, s_dialogTitle, sizeof s_dialogTitle);
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            return;
        }
    }
}

TEST_F(MainWindowTest, RealDialogsCancelled)
{
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelDialogs);
    ASSERT_NE(timer, 0u);

    strcpy(g_selection, "C:\\KEEP.TXT");
    s_dialogsSeen = 0;
    EXPECT_FALSE(RunSourceChooser());
    EXPECT_EQ(s_dialogsSeen, 1);
    EXPECT_STREQ(s_dialogTitle, "Select File(s)");
    EXPECT_STREQ(g_selection, "C:\\KEEP.TXT");

    // A starting name survives a cancel, so the file chooser reports it; so
    // does the name kept from the last dialog.
    s_dialogsSeen = 0;
    EXPECT_TRUE(RunFileChooserLeavesName("Output file name", "C:\\windows\\win.ini"));
    EXPECT_EQ(s_dialogsSeen, 1);
    EXPECT_STREQ(s_dialogTitle, "Output file name");
    EXPECT_STREQ(ChosenFileName(), "C:\\windows\\win.ini");
    s_dialogsSeen = 0;
    EXPECT_TRUE(RunFileChooserLeavesName("Get carrier file", kKeepLastName));
    EXPECT_EQ(s_dialogsSeen, 1);
    EXPECT_STREQ(s_dialogTitle, "Get carrier file");
    EXPECT_STREQ(ChosenFileName(), "C:\\windows\\win.ini");

    s_dialogsSeen = 0;
    EXPECT_FALSE(RunFileChooserLeavesName("Get file to be embedded", ""));
    EXPECT_EQ(s_dialogsSeen, 1);
    EXPECT_STREQ(ChosenFileName(), "");
    KillTimer(nullptr, timer);
}
