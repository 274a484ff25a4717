// While a command waits (in an open-file dialog, a message box or its byte
// loop), every other window keeps working. Each row is a command, one of its
// wait points and one press of another control; it checks that the press was
// refused or had only its designed effect, and that the command still ends
// with its exact result: files, message boxes, dialogs, status lines.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "carrier/carrier_win.h"
#include "cipher/cipher_win.h"
#include "credentials/credentials_win.h"
#include "shell/shell_win.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/cipher/vectors.h"
#include "tests/support/drive_win.h"
#include "tests/support/registry_win.h"
#include "tests/support/testing_win.h"

enum Command { ENCRYPT, DECRYPT, EMBED, EXTRACT };
enum Wait { AT_DIALOG, IN_LOOP, AT_MESSAGE };

struct WaitPoint {
    const char* name;
    Command command;
    Wait wait;
    // The dialog (0, 1) that is the wait or comes right before the loop; for
    // a message box, which failing run shows it (extract 2: the question
    // before an existing output is replaced, answered Yes).
    int variant;
    bool busy; // the busy state is on there: its Cancel button shows
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
    {"EmbedCarrierKindBoxNo", EMBED, AT_MESSAGE, 1, false},
    {"EmbedCarrierKindBoxYes", EMBED, AT_MESSAGE, 2, false},
    {"ExtractCarrierDialog", EXTRACT, AT_DIALOG, 0, false},
    {"ExtractOutputDialog", EXTRACT, AT_DIALOG, 1, false},
    {"ExtractWrongKeyBox", EXTRACT, AT_MESSAGE, 0, false},
    {"ExtractOutputErrorBox", EXTRACT, AT_MESSAGE, 1, false},
    {"ExtractReplaceQuestion", EXTRACT, AT_MESSAGE, 2, false},
};

// The first five are ways into another command and must be refused.
enum Press {
    PRESS_MIRELOCK, PRESS_EMBED, PRESS_OTHER_KEY_OK, PRESS_OWN_KEY_OK, PRESS_EXTRACT_OK,
    PRESS_OWN_CANCEL, PRESS_OWN_CLOSE_BOX, PRESS_BUSY_CANCEL, PRESS_OPTIONS_OK, PRESS_COUNT
};
static const char* const kPressNames[PRESS_COUNT] = {
    "Mirelock", "Embed", "OtherKeyOk", "OwnKeyOk", "ExtractOk",
    "OwnCancel", "OwnCloseBox", "BusyCancel", "OptionsOk",
};

struct Row {
    WaitPoint at;
    Press press;
};

static void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.at.name << " / " << kPressNames[row.press];
}

// Every press a user has at each wait point: the key and extract windows
// have an OK, Cancel and close box of their own; the busy Cancel shows only
// in the busy state. "ExtractOk" is the running window's own for extract.
static std::vector<Row> AllRows()
{
    std::vector<Row> rows;
    for (const WaitPoint& at : kWaitPoints) {
        bool ownWindow = at.command == DECRYPT || at.command == EXTRACT;
        for (int p = 0; p < PRESS_COUNT; p++) {
            if ((p == PRESS_OWN_KEY_OK && at.command != DECRYPT) ||
                ((p == PRESS_OWN_CANCEL || p == PRESS_OWN_CLOSE_BOX) && !ownWindow) ||
                (p == PRESS_BUSY_CANCEL && !at.busy))
                continue;
            rows.push_back(Row{at, (Press)p});
        }
    }
    return rows;
}

static const char kPdfQuestion[] = "This carrier is a PDF document. While a file is hidden in it, "
    "programs that open it may call it damaged, and repairing it there loses the hidden "
    "file.\n\nEmbed anyway? / Carrier File Type / main";
static const char kNew1[] = "New one";
static const char kNew2[] = "New 2";

// What a run must leave behind. Message boxes read "text / caption / owner".
struct FileState {
    const char* name;
    bool there;
    std::string bytes;
};
struct Outcome {
    std::vector<FileState> files;
    std::vector<std::string> messages;
    std::vector<std::string> titles;
    std::vector<std::string> lines{"", "", "", ""};
    bool runningOpen = false;
};

class Intrusions : public CommandTest, public testing::WithParamInterface<Row> {
protected:
    void SetUp() override;
    void TearDown() override;
    void Intrude();
    static void CALLBACK IntrudeFromTheLoop(HWND, UINT, UINT_PTR timer, DWORD);
    Outcome Run();

    // Another program holds the file open, sharing nothing.
    void Hold(const char* name)
    {
        held = CreateFileA(Path(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held) << name;
    }
    std::string Owner(HWND owner) const
    {
        return owner == nullptr ? "none" : owner == g_mainWindow ? "main"
                                         : owner == running      ? "running"
                                                                 : "other";
    }

    const WaitPoint& At() const { return GetParam().at; }
    Press ThePress() const { return GetParam().press; }

    std::unique_ptr<RegistrySandbox> registry;
    std::unique_ptr<MessageRecorder> messages;
    HANDLE held = INVALID_HANDLE_VALUE;
    HWND otherKeyWindow = nullptr, otherExtractWindow = nullptr, optionWindow = nullptr;
    HWND running = nullptr; // the window whose button started the command
    std::vector<std::string> titles;
    long refusedAtStart = 0;
    const std::string a = PseudoRandomBytes(6000, 1), b = PseudoRandomBytes(200, 2),
                      own = PseudoRandomBytes(700, 3), hidden = PseudoRandomBytes(500, 4);

    // What the press saw.
    int presses = 0;
    long refusedByIt = 0;
    bool busyThen = false, cancelShownThen = false, runningAliveAfter = false;
    std::vector<std::string> linesBefore, linesAfter;
};

static Intrusions* s_row = nullptr;

void Intrusions::SetUp()
{
    CommandTest::SetUp();
    registry.reset(new RegistrySandbox()); // for what "Options" saves
    messages.reset(new MessageRecorder());
    s_row = this;
    refusedAtStart = g_commandsRefused;
    // The other windows a user may have open meanwhile.
    otherKeyWindow = OpenKeyWindow("Sig one", "Sig 2");
    ASSERT_TRUE(otherKeyWindow != nullptr);
    if (At().command != EXTRACT)
        otherExtractWindow = OpenExtractWindowWithKey("Sig one");
    optionWindow = OpenOptionWindow(OPTION_BOXES_SIGNATURES);
    SetWindowTextA(SignatureBox(optionWindow, 1), kNew1);
    SetWindowTextA(SignatureBox(optionWindow, 2), kNew2);
}

void Intrusions::TearDown()
{
    g_inEachDialog = nullptr;
    s_row = nullptr;
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    messages.reset();
    registry.reset();
    CommandTest::TearDown();
}

void Intrusions::Intrude()
{
    if (presses++ > 0)
        return;
    busyThen = g_busy;
    cancelShownThen = IsWindowVisible(g_mainControls[CTL_CANCEL]) != FALSE;
    linesBefore = StatusLines();
    long refused = g_commandsRefused;
    bool key = At().command == DECRYPT;
    struct {
        HWND window;
        UINT message;
        WPARAM wParam;
    } const targets[PRESS_COUNT] = {
        {g_mainWindow, WM_COMMAND, IDC_MAIN_MIRELOCK},
        {g_mainWindow, WM_COMMAND, IDC_MAIN_EMBED},
        {otherKeyWindow, WM_COMMAND, IDC_KEY_OK},
        {running, WM_COMMAND, IDC_KEY_OK},
        {otherExtractWindow ? otherExtractWindow : running, WM_COMMAND, IDC_EXTRACT_OK},
        {running, WM_COMMAND, key ? (WPARAM)IDC_KEY_CANCEL : (WPARAM)IDC_EXTRACT_CANCEL},
        {running, WM_SYSCOMMAND, SC_CLOSE},
        {g_mainWindow, WM_COMMAND, IDC_MAIN_CANCEL},
        {optionWindow, WM_COMMAND, IDC_OPTION_OK},
    };
    SendMessageA(targets[ThePress()].window, targets[ThePress()].message,
                 targets[ThePress()].wParam, 0);
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

// Lays out the row's files, arms the press at its wait point, runs the
// command and returns what it must leave, with the press's designed effect:
// the busy Cancel drops the file whose loop it reaches, and new signatures
// count from the next turn that starts.
Outcome Intrusions::Run()
{
    const WaitPoint& at = At();
    g_inEachDialog = [this, at](const std::string& title) {
        titles.push_back(title);
        running = g_drivenWindow;
        if ((int)titles.size() - 1 != at.variant)
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
    bool cancelled = ThePress() == PRESS_BUSY_CANCEL, renewed = ThePress() == PRESS_OPTIONS_OK;
    bool asks = at.command == EXTRACT && at.wait == AT_MESSAGE && at.variant == 2;
    bool failing = at.wait == AT_MESSAGE && !asks;
    bool first = failing && at.variant == 0, second = failing && at.variant == 1;
    auto cipher = [](bool renewedSignatures, const std::string& plain) {
        return EncryptWithLibrary(renewedSignatures ? kNew1 : "Sig one",
                                  renewedSignatures ? kNew2 : "Sig 2", 3, plain);
    };
    Outcome o;
    switch (at.command) {
    case ENCRYPT:
        Write("A.TXT", a);
        Write("B.TXT", b);
        if (failing)
            Hold("B.TXT");
        RunEncrypt((scratch.Root() + " A.TXT B.TXT").c_str());
        o.files = {{"Azel.TXT", !cancelled, cipher(renewed && at.wait == AT_DIALOG, a)},
                   {"Bzel.TXT", !failing, cipher(renewed, b)},
                   {"A.TXT", true, a},
                   {"B.TXT", true, b}};
        if (failing)
            o.messages = {"Error Opening Input File / File Access Error / main"};
        o.titles = {"Select File(s)"};
        break;
    case DECRYPT:
        Write("Azel.TXT", first ? EncryptWithLibrary("Other 1", "Other 2", 3, a) : cipher(false, a));
        Write("Bzel.TXT", cipher(false, b));
        if (second) {
            Write("Azelzel.TXT", "in use");
            Hold("Azelzel.TXT");
        }
        RunDecrypt("Sig one", "Sig 2",
                   (scratch.Root() + " Azel.TXT Bzel.TXT").c_str());
        // A cancel in the wrong-key box reaches the next file's loop.
        o.files = {{"Azelzel.TXT", !(cancelled && !first), second ? "in use" : first ? "" : a},
                   {"Bzelzel.TXT", !second && !(cancelled && first), b}};
        if (first)
            o.messages = {"Wrong Key !! / Signature Error.. / running"};
        if (second)
            o.messages = {"Error Opening Output File / File Access Error / running"};
        o.titles = {"Select File(s)"};
        break;
    case EMBED: {
        // A text carrier is refused; a PDF one is asked about (variant 1: No, 2: Yes).
        bool asked = failing && at.variant > 0;
        const char* carrier = asked ? "c.pdf" : failing ? "c.txt" : "c.png";
        const std::string bytes = asked ? "%PDF-" + own : own;
        messages->answer = at.variant == 2 ? IDYES : IDNO;
        Write("h.bin", hidden);
        Write(carrier, bytes);
        RunEmbed(Path("h.bin").c_str(), Path(carrier).c_str());
        o.files = {{"h.bin", true, hidden},
                   {carrier, true, failing && at.variant < 2 ? bytes : AppendTrailer(
                        bytes, renewed ? kNew1 : "Sig one", hidden, Path("h.bin"))}};
        if (failing)
            o.messages = {asked ? kPdfQuestion
                                : "Carrier file CANNOT be a text file! / Invalid Carrier File Type / none"};
        o.titles = {"Get file to be embedded", "Get carrier file"};
        break;
    }
    case EXTRACT: {
        const std::string trailered = AppendTrailer(own, "Sig one", hidden, "C:\\h.bin");
        Write("c.png", trailered);
        if (asks) {
            Write("out.bin", "older");
            messages->answer = IDYES;
            o.messages = {Path("out.bin") +
                          " already exists.\nDo you want to replace it? / Output file name / running"};
        }
        RunExtract(first ? "Wrong" : "Sig one", Path("c.png").c_str(),
                   Path(second ? "gone\\out.bin" : "out.bin").c_str());
        o.files = {{"c.png", true, failing ? trailered : own},
                   {"out.bin", !second, first ? "" : hidden}};
        if (first)
            o.messages = {"Wrong Key !! / Signature Error.. / running"};
        if (second) {
            o.messages = {"Error Opening Output File / File Access Error / running"};
            o.lines = {"Extracting file ...", "to ...", "", ""};
            o.runningOpen = true; // a file failure keeps the window, as designed
        }
        o.titles = {"Get carrier file", "Output file name"};
        break;
    }
    }
    g_inEachDialog = nullptr;
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    return o;
}

TEST_P(Intrusions, RefusedOrDesignedEffectOnly)
{
    Outcome expected = Run();
    const Row& row = GetParam();
    // The press came once, at its wait point, and changed no status line.
    ASSERT_EQ(1, presses);
    EXPECT_EQ(row.at.busy, busyThen);
    EXPECT_EQ(row.at.busy, cancelShownThen);
    EXPECT_EQ(row.press <= PRESS_EXTRACT_OK ? 1 : 0, refusedByIt);
    EXPECT_EQ(refusedByIt, g_commandsRefused - refusedAtStart);
    EXPECT_EQ(linesBefore, linesAfter);
    bool ownWindow = row.at.command == DECRYPT || row.at.command == EXTRACT;
    if (ownWindow) {
        EXPECT_TRUE(runningAliveAfter);
        EXPECT_EQ(expected.runningOpen, IsWindow(running) != FALSE);
    }

    // The command's exact result.
    for (const FileState& f : expected.files) {
        EXPECT_EQ(f.there, FileIsThere(Path(f.name))) << f.name;
        if (f.there) {
            EXPECT_TRUE(ReadFileBytes(Path(f.name)) == f.bytes) << f.name;
        }
    }
    std::vector<std::string> shown;
    for (const RecordedMessage& m : messages->messages)
        shown.push_back(m.text + " / " + m.caption + " / " + Owner(m.owner));
    EXPECT_EQ(expected.messages, shown);
    EXPECT_EQ(expected.titles, titles);
    EXPECT_EQ(expected.lines, StatusLines());
    ExpectNoTemporaryFiles();
    EXPECT_FALSE(g_busy);
    EXPECT_FALSE(g_cancel);
    EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_MIRELOCK]));

    // The other windows are as the press left them.
    EXPECT_TRUE(IsWindow(otherKeyWindow));
    if (otherExtractWindow) {
        EXPECT_TRUE(IsWindow(otherExtractWindow));
        EXPECT_EQ("Sig one", WindowText(g_extractKeyField));
    }
    bool renewed = row.press == PRESS_OPTIONS_OK;
    EXPECT_EQ(!renewed, IsWindow(optionWindow) != FALSE);
    char signature[SIGNATURE_FORM_SIZE];
    ToSignatureForm(renewed ? kNew1 : "Sig one", signature);
    EXPECT_EQ(0, memcmp(signature, g_signature1, SIGNATURE_FORM_SIZE));
}

static std::string RowName(const testing::TestParamInfo<Row>& info)
{
    return std::string(info.param.at.name) + "_" + kPressNames[info.param.press];
}

INSTANTIATE_TEST_SUITE_P(Table, Intrusions, testing::ValuesIn(AllRows()), RowName);
