// While a command waits (in one of its open-file dialogs, in a message box,
// or in the byte loop's pump), every other window of the program keeps
// working. Each row is a command, one of its wait points and one thing a
// user could press there; it checks that the press was refused or had only
// its designed effect, and that the command still ends with its exact result.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "carrier/carrier_win.h"
#include "cipher/cipher_win.h"
#include "credentials/credentials_win.h"
#include "shell/fileio_win.h"
#include "shell/shell_win.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/cipher/vectors.h"
#include "tests/credentials/registry_sandbox_win.h"
#include "tests/faults/drive_win.h"
#include "tests/support/testing_win.h"

enum Command { ENCRYPT, DECRYPT, EMBED, EXTRACT };
enum Wait { AT_DIALOG, AT_MESSAGE, IN_LOOP };

struct WaitPoint {
    const char* name;
    Command command;
    Wait wait;
    // AT_DIALOG and IN_LOOP: the dialog (0, 1) that is, or comes right before,
    // the wait. AT_MESSAGE: which failing run shows the box.
    int variant;
    // The busy state is on there, so its Cancel button shows.
    bool busy;
};

static const WaitPoint kWaitPoints[] = {
    {"EncryptSourceDialog", ENCRYPT, AT_DIALOG, 0, false},
    {"EncryptByteLoop", ENCRYPT, IN_LOOP, 0, true},
    {"EncryptInputErrorBox", ENCRYPT, AT_MESSAGE, 0, false},
    {"DecryptSourceDialog", DECRYPT, AT_DIALOG, 0, false},
    {"DecryptByteLoop", DECRYPT, IN_LOOP, 0, true},
    {"DecryptWrongKeyBox", DECRYPT, AT_MESSAGE, 0, true},
    {"DecryptOutputErrorBox", DECRYPT, AT_MESSAGE, 1, false},
    {"EmbedHiddenFileDialog", EMBED, AT_DIALOG, 0, false},
    {"EmbedCarrierDialog", EMBED, AT_DIALOG, 1, false},
    {"EmbedTextCarrierBox", EMBED, AT_MESSAGE, 0, false},
    {"ExtractCarrierDialog", EXTRACT, AT_DIALOG, 0, false},
    {"ExtractOutputDialog", EXTRACT, AT_DIALOG, 1, false},
    {"ExtractWrongKeyBox", EXTRACT, AT_MESSAGE, 0, false},
    {"ExtractOutputErrorBox", EXTRACT, AT_MESSAGE, 1, false},
};

enum Press {
    PRESS_MIRELOCK,      // the main window's "Mirelock"
    PRESS_EMBED,  // the main window's "Embed"
    PRESS_OTHER_KEY_OK,  // "OK" of a key window opened before the command
    PRESS_OWN_KEY_OK,    // "OK" of the key window whose decryption runs
    PRESS_EXTRACT_OK,    // "OK" of the extract window (the running one for extract)
    PRESS_OWN_CANCEL,    // "Cancel" of the running key or extract window
    PRESS_OWN_CLOSE_BOX, // the close box of the running key or extract window
    PRESS_BUSY_CANCEL,   // the busy state's "Cancel"
    PRESS_OPTIONS_OK     // "OK" of an "Options" window with new signatures typed
};

struct Intrusion {
    const char* name;
    Press press;
    bool refused; // a way into another command: a beep, nothing else
};

static const Intrusion kIntrusions[] = {
    {"Mirelock", PRESS_MIRELOCK, true},         {"Embed", PRESS_EMBED, true},
    {"OtherKeyOk", PRESS_OTHER_KEY_OK, true},   {"OwnKeyOk", PRESS_OWN_KEY_OK, true},
    {"ExtractOk", PRESS_EXTRACT_OK, true},      {"OwnCancel", PRESS_OWN_CANCEL, false},
    {"OwnCloseBox", PRESS_OWN_CLOSE_BOX, false}, {"BusyCancel", PRESS_BUSY_CANCEL, false},
    {"OptionsOk", PRESS_OPTIONS_OK, false},
};

struct Row {
    WaitPoint at;
    Intrusion intrusion;
};

static void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.at.name << " / " << row.intrusion.name;
}

// The presses a user has at a wait point: a window of its own only for the
// key and extract windows, the busy Cancel only while it shows.
static bool Applies(const WaitPoint& at, Press press)
{
    bool ownWindow = at.command == DECRYPT || at.command == EXTRACT;
    switch (press) {
    case PRESS_OWN_KEY_OK:
        return at.command == DECRYPT;
    case PRESS_OWN_CANCEL:
    case PRESS_OWN_CLOSE_BOX:
        return ownWindow;
    case PRESS_BUSY_CANCEL:
        return at.busy;
    default:
        return true;
    }
}

static std::vector<Row> AllRows()
{
    std::vector<Row> rows;
    for (const WaitPoint& at : kWaitPoints) {
        for (const Intrusion& intrusion : kIntrusions) {
            if (Applies(at, intrusion.press))
                rows.push_back(Row{at, intrusion});
        }
    }
    return rows;
}

static const char kNewSignature1[] = "New one";
static const char kNewSignature2[] = "New 2";
static const MainControl kLines[] = {CTL_OPERATION_LINE, CTL_DIRECTION_LINE, CTL_SOURCE_LINE,
                                     CTL_TARGET_LINE};

static std::vector<std::string> StatusLines()
{
    std::vector<std::string> lines;
    for (MainControl line : kLines)
        lines.push_back(WindowText(g_mainControls[line]));
    return lines;
}

// A message box as a row expects it; the owner is the running command's
// window, the main window or none.
enum Owner { OWNER_NONE, OWNER_MAIN, OWNER_RUNNING };
struct ExpectedMessage {
    std::string text;
    std::string caption;
    Owner owner;
};

class Intrusions : public testing::TestWithParam<Row> {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Path(const char* name) const { return scratch.Path(name); }
    std::string Bytes(const char* name) const { return ReadFileBytes(scratch.Path(name)); }
    bool There(const char* name) const { return FileIsThere(scratch.Path(name)); }
    void Write(const char* name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(scratch.Path(name), bytes)) << name;
    }
    // Holds a file open with share mode 0, as another program might.
    void Hold(const char* name)
    {
        held = CreateFileA(Path(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held) << name;
    }

    void Intrude();
    static void CALLBACK IntrudeFromTheLoop(HWND, UINT, UINT_PTR timer, DWORD);
    void RunTheCommand();
    void ExpectTheResult();
    void ExpectTheWindows();

    const WaitPoint& At() const { return GetParam().at; }
    Press ThePress() const { return GetParam().intrusion.press; }
    bool Cancelled() const { return ThePress() == PRESS_BUSY_CANCEL; }
    bool NewSignatures() const { return ThePress() == PRESS_OPTIONS_OK; }

    ScratchDir scratch;
    std::unique_ptr<RegistrySandbox> registry;
    std::unique_ptr<MessageRecorder> messages;
    HANDLE held = INVALID_HANDLE_VALUE;
    HWND otherKeyWindow = nullptr;
    HWND otherExtractWindow = nullptr;
    HWND optionWindow = nullptr;
    HWND running = nullptr; // the running command's window, as the drivers press it
    std::vector<std::string> titles;
    long refusedAtStart = 0;

    // What the intrusion saw.
    int intrusions = 0;
    long refusedByIt = 0;
    bool busyThen = false;
    bool cancelShownThen = false;
    bool runningAliveAfter = false;
    std::vector<std::string> linesBefore, linesAfter;
    std::string sourceLineThen;

    // Payloads of the runs.
    std::string a, b, own, hidden;
};

static Intrusions* s_row = nullptr;

void Intrusions::SetUp()
{
    StartCommandsWindow();
    // The signatures "Options" saves go to a registry of this test's own.
    registry.reset(new RegistrySandbox());
    messages.reset(new MessageRecorder());
    s_row = this;
    refusedAtStart = g_commandsRefused;

    // The other windows a user may have open while the command runs.
    ASSERT_TRUE(ThreadWindows("keyWindow").empty());
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_UNVEIL, 0);
    otherKeyWindow = FindThreadWindow("keyWindow", "Key to unlock ...");
    ASSERT_TRUE(otherKeyWindow != nullptr);
    HWND field = GetWindow(otherKeyWindow, GW_CHILD);
    SetWindowTextA(field, "Sig one");
    SetWindowTextA(GetWindow(field, GW_HWNDNEXT), "Sig 2");
    if (At().command != EXTRACT) {
        SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EXTRACT, 0);
        otherExtractWindow = FindThreadWindow("ExtractWindow", "Key to extract ...");
        ASSERT_TRUE(otherExtractWindow != nullptr);
        SetWindowTextA(g_extractKeyField, "Sig one");
    }
    optionWindow = OpenOptionWindow(TRUE);
    ASSERT_TRUE(optionWindow != nullptr);
    SetWindowTextA(SignatureBox(optionWindow, 1), kNewSignature1);
    SetWindowTextA(SignatureBox(optionWindow, 2), kNewSignature2);

    a = PseudoRandomBytes(6000, 1);
    b = PseudoRandomBytes(200, 2);
    own = PseudoRandomBytes(700, 3);
    hidden = PseudoRandomBytes(500, 4);
}

void Intrusions::TearDown()
{
    g_inEachDialog = nullptr;
    s_row = nullptr;
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    messages.reset();
    for (HWND w : ThreadWindows("optionWindow"))
        DestroyWindow(w);
    registry.reset();
    EndCommandsWindow();
}

void Intrusions::Intrude()
{
    if (intrusions++ > 0)
        return;
    busyThen = g_busy;
    cancelShownThen = IsWindowVisible(g_mainControls[CTL_CANCEL]) != FALSE;
    sourceLineThen = WindowText(g_mainControls[CTL_SOURCE_LINE]);
    linesBefore = StatusLines();
    long refused = g_commandsRefused;
    HWND extract = At().command == EXTRACT ? running : otherExtractWindow;
    switch (ThePress()) {
    case PRESS_MIRELOCK:
        SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_MIRELOCK, 0);
        break;
    case PRESS_EMBED:
        SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EMBED, 0);
        break;
    case PRESS_OTHER_KEY_OK:
        SendMessageA(otherKeyWindow, WM_COMMAND, IDC_KEY_OK, 0);
        break;
    case PRESS_OWN_KEY_OK:
        SendMessageA(running, WM_COMMAND, IDC_KEY_OK, 0);
        break;
    case PRESS_EXTRACT_OK:
        SendMessageA(extract, WM_COMMAND, IDC_EXTRACT_OK, 0);
        break;
    case PRESS_OWN_CANCEL:
        SendMessageA(running, WM_COMMAND,
                     At().command == DECRYPT ? (int)IDC_KEY_CANCEL : (int)IDC_EXTRACT_CANCEL, 0);
        break;
    case PRESS_OWN_CLOSE_BOX:
        SendMessageA(running, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case PRESS_BUSY_CANCEL:
        SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_CANCEL, 0);
        break;
    case PRESS_OPTIONS_OK:
        SendMessageA(optionWindow, WM_COMMAND, IDC_OPTION_OK, 0);
        break;
    }
    refusedByIt = g_commandsRefused - refused;
    linesAfter = StatusLines();
    runningAliveAfter = IsWindow(running) != FALSE;
}

void CALLBACK Intrusions::IntrudeFromTheLoop(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (s_row)
        s_row->Intrude();
}

// Lays out the files of the row's run, arms the intrusion at its wait point
// and runs the command through the drivers.
void Intrusions::RunTheCommand()
{
    const WaitPoint& at = At();
    int dialogs = 0;
    g_inEachDialog = [this, &dialogs, at](const std::string& title) {
        titles.push_back(title);
        running = g_drivenWindow;
        if (dialogs++ != at.variant)
            return;
        if (at.wait == AT_DIALOG)
            Intrude();
        else if (at.wait == IN_LOOP)
            SetTimer(nullptr, 0, 10, IntrudeFromTheLoop);
    };
    messages->onShow = [this, at](const RecordedMessage&) {
        if (at.wait == AT_MESSAGE)
            Intrude();
    };
    bool failing = at.wait == AT_MESSAGE;
    switch (at.command) {
    case ENCRYPT:
        Write("A.TXT", a);
        Write("B.TXT", b);
        if (failing)
            Hold("B.TXT");
        RunEncrypt(scratch.Root() + " A.TXT B.TXT");
        break;
    case DECRYPT:
        if (failing && at.variant == 0)
            Write("Azel.TXT", EncryptWithLibrary("Other 1", "Other 2", 3, a));
        else
            Write("Azel.TXT", EncryptWithLibrary("Sig one", "Sig 2", 3, a));
        Write("Bzel.TXT", EncryptWithLibrary("Sig one", "Sig 2", 3, b));
        if (failing && at.variant == 1) {
            Write("Azelzel.TXT", "in use");
            Hold("Azelzel.TXT");
        }
        RunDecrypt("Sig one", "Sig 2", scratch.Root() + " Azel.TXT Bzel.TXT");
        break;
    case EMBED:
        Write("h.bin", hidden);
        Write(failing ? "c.txt" : "c.png", own);
        RunEmbed(Path("h.bin").c_str(), Path(failing ? "c.txt" : "c.png").c_str());
        break;
    case EXTRACT:
        Write("c.png", AppendTrailer(own, "Sig one", hidden, "C:\\h.bin"));
        RunExtract(failing && at.variant == 0 ? "Wrong" : "Sig one", Path("c.png").c_str(),
                   Path(failing && at.variant == 1 ? "gone\\out.bin" : "out.bin").c_str());
        break;
    }
    g_inEachDialog = nullptr;
    if (held != INVALID_HANDLE_VALUE) {
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    }
}

// The command's own result, with the designed effect of the press: the busy
// Cancel drops the file whose loop it reaches; new signatures count for the
// turns that start after them.
void Intrusions::ExpectTheResult()
{
    const WaitPoint& at = At();
    bool failing = at.wait == AT_MESSAGE;
    std::vector<ExpectedMessage> expected;
    std::vector<std::string> expectedTitles;
    std::vector<std::string> endLines(4, "");
    switch (at.command) {
    case ENCRYPT: {
        bool newForA = NewSignatures() && at.wait == AT_DIALOG;
        bool newForB = NewSignatures() && !failing;
        if (Cancelled()) {
            EXPECT_FALSE(There("Azel.TXT"));
        } else {
            EXPECT_TRUE(Bytes("Azel.TXT") ==
                        EncryptWithLibrary(newForA ? kNewSignature1 : "Sig one",
                                           newForA ? kNewSignature2 : "Sig 2", 3, a));
        }
        if (failing) {
            EXPECT_FALSE(There("Bzel.TXT"));
            expected.push_back({"Error Opening Input File", "File Access Error", OWNER_MAIN});
        } else {
            EXPECT_TRUE(Bytes("Bzel.TXT") ==
                        EncryptWithLibrary(newForB ? kNewSignature1 : "Sig one",
                                           newForB ? kNewSignature2 : "Sig 2", 3, b));
        }
        EXPECT_TRUE(Bytes("A.TXT") == a && Bytes("B.TXT") == b);
        EXPECT_EQ(" 0 % complete", WindowText(g_mainControls[CTL_PERCENT]));
        expectedTitles = {"Select File(s)"};
        break;
    }
    case DECRYPT:
        if (failing && at.variant == 1) {
            EXPECT_EQ("in use", Bytes("Azelzel.TXT"));
            EXPECT_FALSE(There("Bzelzel.TXT"));
            expected.push_back({"Error Opening Output File", "File Access Error", OWNER_RUNNING});
        } else if (failing) {
            EXPECT_TRUE(There("Azelzel.TXT"));
            EXPECT_EQ("", Bytes("Azelzel.TXT"));
            expected.push_back({"Wrong Key !!", "Signature Error..", OWNER_RUNNING});
        } else if (Cancelled()) {
            EXPECT_FALSE(There("Azelzel.TXT"));
        } else {
            EXPECT_TRUE(Bytes("Azelzel.TXT") == a);
        }
        if (!(failing && at.variant == 1)) {
            // A cancel in the wrong-key box reaches the next file's loop.
            if (Cancelled() && failing) {
                EXPECT_FALSE(There("Bzelzel.TXT"));
            } else {
                EXPECT_TRUE(Bytes("Bzelzel.TXT") == b);
            }
        }
        EXPECT_EQ("0 % complete", WindowText(g_mainControls[CTL_PERCENT]));
        expectedTitles = {"Select File(s)"};
        break;
    case EMBED:
        EXPECT_TRUE(Bytes("h.bin") == hidden);
        if (failing) {
            EXPECT_TRUE(Bytes("c.txt") == own);
            expected.push_back(
                {"Carrier file CANNOT be a text file!", "Invalid Carrier File Type", OWNER_NONE});
        } else {
            EXPECT_TRUE(Bytes("c.png") == AppendTrailer(own, NewSignatures() ? kNewSignature1
                                                                             : "Sig one",
                                                        hidden, Path("h.bin")));
        }
        expectedTitles = {"Get file to be embedded", "Get carrier file"};
        break;
    case EXTRACT: {
        std::string trailered = AppendTrailer(own, "Sig one", hidden, "C:\\h.bin");
        if (failing && at.variant == 1) {
            EXPECT_TRUE(Bytes("c.png") == trailered);
            endLines = {"Extracting file ...", "to ...", "", ""};
            expected.push_back({"Error Opening Output File", "File Access Error", OWNER_RUNNING});
        } else if (failing) {
            EXPECT_TRUE(Bytes("c.png") == trailered);
            EXPECT_TRUE(There("out.bin"));
            EXPECT_EQ("", Bytes("out.bin"));
            expected.push_back({"Wrong Key !!", "Signature Error..", OWNER_RUNNING});
        } else {
            EXPECT_TRUE(Bytes("c.png") == own);
            EXPECT_TRUE(Bytes("out.bin") == hidden);
        }
        expectedTitles = {"Get carrier file", "Output file name"};
        break;
    }
    }
    EXPECT_EQ(expectedTitles, titles);
    ASSERT_EQ(expected.size(), messages->messages.size());
    for (size_t k = 0; k < expected.size(); k++) {
        const RecordedMessage& m = messages->messages[k];
        EXPECT_EQ(expected[k].text, m.text);
        EXPECT_EQ(expected[k].caption, m.caption);
        HWND owner = expected[k].owner == OWNER_MAIN      ? g_mainWindow
                     : expected[k].owner == OWNER_RUNNING ? running
                                                          : nullptr;
        EXPECT_EQ(owner, m.owner);
    }
    EXPECT_EQ(endLines, StatusLines());
    for (const char* name : kTemporaryFiles)
        EXPECT_FALSE(There(name)) << name << " left behind";
    EXPECT_FALSE(g_busy);
    EXPECT_FALSE(g_cancel);
    EXPECT_FALSE(IsWindowVisible(g_mainControls[CTL_CANCEL]));
    EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_MIRELOCK]));
}

// The running window closes at its run's end as designed (an extraction
// that stops on a file failure keeps it open); the other windows are as the
// press left them.
void Intrusions::ExpectTheWindows()
{
    const WaitPoint& at = At();
    if (at.command == DECRYPT) {
        EXPECT_FALSE(IsWindow(running));
    }
    if (at.command == EXTRACT) {
        bool staysOpen = at.wait == AT_MESSAGE && at.variant == 1;
        EXPECT_EQ(staysOpen, IsWindow(running) != FALSE);
        if (staysOpen) {
            EXPECT_EQ("Sig one", WindowText(g_extractKeyField));
        }
    }
    EXPECT_TRUE(IsWindow(otherKeyWindow));
    if (otherExtractWindow) {
        EXPECT_TRUE(IsWindow(otherExtractWindow));
        EXPECT_EQ("Sig one", WindowText(g_extractKeyField));
    }
    EXPECT_EQ(!NewSignatures(), IsWindow(optionWindow) != FALSE);
    char expected[SIGNATURE_SIZE];
    ToSignatureForm(NewSignatures() ? kNewSignature1 : "Sig one", expected);
    EXPECT_EQ(0, memcmp(expected, g_signature1, SIGNATURE_SIZE));
}

TEST_P(Intrusions, RefusedOrDesignedEffectOnly)
{
    RunTheCommand();
    ASSERT_EQ(1, intrusions) << "the press never came at its wait point";
    const Row& row = GetParam();
    if (row.at.wait == IN_LOOP) {
        EXPECT_TRUE(busyThen);
        EXPECT_EQ(row.at.command == ENCRYPT ? Path("A.TXT") : Path("Azel.TXT"), sourceLineThen);
    }
    if (row.intrusion.press == PRESS_BUSY_CANCEL) {
        EXPECT_TRUE(cancelShownThen);
    }
    EXPECT_EQ(row.intrusion.refused ? 1 : 0, refusedByIt);
    EXPECT_EQ(refusedByIt, g_commandsRefused - refusedAtStart);
    EXPECT_EQ(linesBefore, linesAfter);
    if (row.at.command == DECRYPT || row.at.command == EXTRACT) {
        EXPECT_TRUE(runningAliveAfter);
    }
    ExpectTheResult();
    ExpectTheWindows();
}

static std::string RowName(const testing::TestParamInfo<Row>& info)
{
    return std::string(info.param.at.name) + "_" + info.param.intrusion.name;
}

INSTANTIATE_TEST_SUITE_P(Table, Intrusions, testing::ValuesIn(AllRows()), RowName);
