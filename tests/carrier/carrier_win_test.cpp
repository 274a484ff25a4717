// The embed command and the extract window under Wine, dialogs and message
// boxes answered from code: round trips, nesting, refusals, cancelled
// dialogs, and the known-answer carriers (fault injection: tests/faults).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "carrier/carrier_win.h"
#include "carrier/trailer.h"
#include "credentials/credentials_win.h"
#include "base/fileio_win.h"
#include "base/modal_win.h"
#include "shell/shell_win.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/carrier/vectors.h"
#include "tests/support/controls_win.h"
#include "tests/support/drive_win.h"
#include "tests/support/paths.h"
#include "tests/support/sha256.h"
#include "tests/support/testing_win.h"

static const UINT kFileErrorFlags = MB_ICONERROR | MB_SYSTEMMODAL;

class CarrierWin : public CommandTest {
protected:
    static std::string Line(MainControl line) { return WindowText(g_mainControls[line]); }
};

// A file of tests/data/carrier, failing the test when it is missing.
static std::string CarrierData(const std::string& name)
{
    bool found = false;
    std::string bytes = ReadFileBytes(TestDataPath("carrier/" + name), &found);
    EXPECT_TRUE(found) << name;
    return bytes;
}

static std::string Image() { return CarrierData("image.png"); }

// The extract window's controls as designed, in creation order.
static const ControlSpec kExtractDesign[] = {
    {"Edit", "", 0, 5, 50, 200, 20, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD,
     WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
    {"Button", "OK", 19, 45, 150, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Button", "Cancel", 18, 155, 150, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "Key :", 0, 5, 30, 200, 20, WS_CHILD | WS_VISIBLE, 0},
};

TEST_F(CarrierWin, ExtractWindowHasItsControlsAndIsOnlyEverOne)
{
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EXTRACT, 0);
    HWND window = FindExtractWindow();
    ASSERT_TRUE(window != nullptr);
    ExpectWindowPlacement(window, "Key to extract ...", 500, 250, 300, 200, g_mainWindow);
    ExpectControlsMatch(window, kExtractDesign, COUNTOF(kExtractDesign), CONTROLS_IN_ORDER);
    EXPECT_EQ(GetWindow(window, GW_CHILD), g_extractKeyField);

    // A second click brings the open window forward instead of a second one,
    // over the About window opened after it.
    HWND about = OpenAboutWindow();
    EXPECT_EQ(window, OpenExtractWindow());
    EXPECT_EQ(window, GetWindow(about, GW_HWNDPREV));
    DestroyWindow(about);
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EXTRACT, 0);
    // Only this thread's: other test programs on the same desktop open theirs.
    EXPECT_EQ(1u, ThreadWindows("ExtractWindow").size());

    // Cancel destroys it without touching anything; a new click opens anew.
    SetStatusLine(STATUS_OPERATION, "kept");
    EXPECT_EQ(0, SendMessageA(window, WM_COMMAND, IDC_EXTRACT_CANCEL, 0)); // handled
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, g_extractKeyField);
    EXPECT_EQ("kept", Line(CTL_OPERATION_LINE));
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EXTRACT, 0);
    EXPECT_TRUE(FindExtractWindow() != nullptr);
}

TEST_F(CarrierWin, EmbedThenExtractGivesBothFilesBack)
{
    const std::string own = Image();
    const std::string hidden = PseudoRandomBytes(3000, 1);
    const std::string hiddenPath = Write("secret.doc", hidden);
    const std::string carrierPath = Write("photo.png", own);
    MessageRecorder messages;

    DrivenRun embed = RunEmbed(hiddenPath.c_str(), carrierPath.c_str());
    EXPECT_EQ((std::vector<std::string>{"Get file to be embedded", "Get carrier file"}), embed.titles);
    EXPECT_EQ((std::vector<std::string>{"", hiddenPath}), embed.initialNames);
    EXPECT_TRUE(ReadFileBytes(carrierPath) == AppendTrailer(own, "Sig one", hidden, hiddenPath));
    EXPECT_TRUE(messages.messages.empty());
    ExpectNoTemporaryFiles();

    const std::string outputPath = Path("out.doc");
    SetStatusLine(STATUS_SOURCE, "src");
    DrivenRun extract = RunExtract("Sig one", carrierPath.c_str(), outputPath.c_str());
    HWND window = extract.window;
    EXPECT_EQ((std::vector<std::string>{"Get carrier file", "Output file name"}), extract.titles);
    // The carrier dialog opens with the last embed's carrier, the output
    // dialog with the stored path.
    EXPECT_EQ((std::vector<std::string>{carrierPath, hiddenPath}), extract.initialNames);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(ReadFileBytes(outputPath) == hidden);
    EXPECT_TRUE(ReadFileBytes(carrierPath) == own);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(std::vector<std::string>(4, ""), StatusLines());
    ExpectNoTemporaryFiles();
    EXPECT_STREQ(carrierPath.c_str(), g_sourcePath);
    EXPECT_STREQ("tmpEFile", g_targetPath);
    // The typed key is gone once the command ends.
    EXPECT_EQ(std::string(SIGNATURE_FORM_SIZE, '\0'), std::string(g_typedKey, SIGNATURE_FORM_SIZE));
}

TEST_F(CarrierWin, NestedTrailersComeOffLastFirst)
{
    const std::string own = Image();
    const std::string a = PseudoRandomBytes(700, 2), b = PseudoRandomBytes(1500, 3);
    const std::string carrier = Write("nest.png", own);
    MessageRecorder messages;
    SetTestSignatures("alpha", "x");
    RunEmbed(Write("a.bin", a).c_str(), carrier.c_str());
    SetTestSignatures("beta", "y");
    RunEmbed(Write("b.bin", b).c_str(), carrier.c_str());
    ASSERT_EQ(own.size() + a.size() + b.size() + 600, ReadFileBytes(carrier).size());

    RunExtract("beta", carrier.c_str(), Path("first").c_str());
    EXPECT_TRUE(Bytes("first") == b);
    RunExtract("alpha", carrier.c_str(), Path("second").c_str());
    EXPECT_TRUE(Bytes("second") == a);
    EXPECT_TRUE(ReadFileBytes(carrier) == own);
    EXPECT_TRUE(messages.messages.empty());
    ExpectNoTemporaryFiles();
}

TEST_F(CarrierWin, WrongKeyLeavesTheCarrierAndAnEmptyNewOutput)
{
    const std::string trailered = AppendTrailer(Image(), "Sig one", "hidden!", "C:\\h.txt");
    const std::string carrier = Write("c.png", trailered);
    const std::string existing = Write("existing.bin", "keep me");
    for (const char* output : {"new.bin", "existing.bin"}) {
        SCOPED_TRACE(output);
        // Replacing the existing output is confirmed first.
        MessageRecorder messages(IDYES);
        HWND window = RunExtract("sig one", carrier.c_str(), Path(output).c_str()).window;
        if (strcmp(output, "existing.bin") == 0 && !messages.messages.empty())
            messages.messages.erase(messages.messages.begin()); // the question, answered Yes
        ExpectOnlyMessage(messages, "Wrong Key !!", "Signature Error..", window, kFileErrorFlags);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ("", Line(CTL_OPERATION_LINE));
        EXPECT_TRUE(ReadFileBytes(carrier) == trailered);
        ExpectNoTemporaryFiles();
    }
    EXPECT_TRUE(There("new.bin"));
    EXPECT_EQ("", Bytes("new.bin"));
    EXPECT_EQ("keep me", ReadFileBytes(existing));
}

TEST_F(CarrierWin, CarriersThatCannotHoldTheirTrailerAreRefusedLikeAWrongKey)
{
    std::string negative = AppendTrailer(Image(), "Sig one", "abc", "C:\\n");
    negative.replace(negative.size() - 268, 8, std::string("-1\0\0\0\0\0\0", 8));
    std::string beyond = AppendTrailer("", "Sig one", "abc", "C:\\n");
    beyond.replace(beyond.size() - 268, 8, std::string("4\0\0\0\0\0\0\0", 8));
    const std::string cases[] = {Image().substr(0, 299), "", negative, beyond};
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        const std::string carrier = Write("bad.png", bytes);
        MessageRecorder messages;
        // The carrier is closed before the box: the user may move it at once.
        std::string held = "no box";
        messages.onShow = [&](const RecordedMessage&) { held = HeldFiles(scratch.Root()); };
        DrivenRun run = RunExtract("Sig one", carrier.c_str(), Path("o.bin").c_str());
        ExpectOnlyMessage(messages, "Wrong Key !!");
        EXPECT_EQ("", held);
        // Refused before the output is asked for: no name from the file is
        // offered, and no output is made.
        EXPECT_EQ(std::vector<std::string>{"Get carrier file"}, run.titles);
        EXPECT_FALSE(There("o.bin"));
        EXPECT_FALSE(IsWindow(run.window));
        EXPECT_EQ("", Line(CTL_OPERATION_LINE));
        EXPECT_TRUE(ReadFileBytes(carrier) == bytes);
        ExpectNoTemporaryFiles();
    }
}

TEST_F(CarrierWin, OutputFileEndsAfterTheHiddenBytes)
{
    const std::string carrier = Write("c.png", AppendTrailer(Image(), "Sig one", "short", "C:\\h"));
    Write("old.bin", std::string(5000, 'x'));
    MessageRecorder messages(IDYES);
    RunExtract("Sig one", carrier.c_str(), Path("old.bin").c_str());
    ExpectOnlyMessage(messages, Path("old.bin") + " already exists.\nDo you want to replace it?",
                      "Output file name");
    EXPECT_EQ("short", Bytes("old.bin"));
    EXPECT_TRUE(ReadFileBytes(carrier) == Image());
}

TEST_F(CarrierWin, EmptyHiddenFileAddsAndRemovesExactly300Bytes)
{
    const std::string carrier = Write("c.png", Image());
    RunEmbed(Write("empty", "").c_str(), carrier.c_str());
    ASSERT_EQ(Image().size() + 300, ReadFileBytes(carrier).size());
    RunExtract("Sig one", carrier.c_str(), Path("out").c_str());
    EXPECT_TRUE(There("out"));
    EXPECT_EQ("", Bytes("out"));
    EXPECT_TRUE(ReadFileBytes(carrier) == Image());
}

// Text carriers are refused at once; a PDF or ZIP carrier, told by its first
// bytes, is asked about first.
TEST_F(CarrierWin, TextCarriersAreRefusedBeforeAnythingIsOpened)
{
    Write("h.bin", "hide");
    struct Case {
        const char* name;
        bool refused;
        std::string head = "";      // the carrier's first bytes, before "carrier bytes"
        const char* kind = nullptr; // the kind Embed asks about first, answered with `answer`
        int answer = IDOK;
    };
    const Case cases[] = {
        {"c.txt", true},  {"c.TXT", true},   {"c.ini", true}, {"c.INI", true},
        {"c.Txt", false}, {"c.text", false}, {"c", false},
        {"c.pdf", false, "%PDF-", "PDF document", IDNO}, {"c.pdf", false, "%PDF-", "PDF document", IDYES},
        {"c.bin", false, std::string("PK\3\4", 4), "ZIP archive or office document", IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.kind ? " " + std::to_string(c.answer) : ""));
        const std::string bytes = c.head + "carrier bytes", carrier = Write(c.name, bytes);
        MessageRecorder messages(c.kind ? c.answer : IDOK);
        FileFaultArm(1000000, FILE_FAULT_ERROR);
        RunEmbed(Path("h.bin").c_str(), carrier.c_str());
        long calls = g_fileFaults.calls;
        FileFaultDisarm();
        if (c.refused) {
            ExpectOnlyMessage(messages, "Carrier file CANNOT be a text file!",
                              "Invalid Carrier File Type", nullptr, MB_ICONINFORMATION);
            EXPECT_EQ(0, calls);
            EXPECT_EQ("carrier bytes", ReadFileBytes(carrier));
        } else if (c.kind) {
            // No leaves the carrier byte for byte; Yes embeds as ever.
            ExpectOnlyMessage(messages, std::string("This carrier is a ") + c.kind +
                              ". While a file is hidden in it, programs that open it may call it "
                              "damaged, and repairing it there loses the hidden file.\n\nEmbed "
                              "anyway?", "Carrier File Type", g_mainWindow,
                              MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
            EXPECT_TRUE(ReadFileBytes(carrier) == (c.answer == IDNO ? bytes : AppendTrailer(
                bytes, "Sig one", "hide", Path("h.bin"))));
        } else {
            EXPECT_TRUE(messages.messages.empty());
            EXPECT_EQ(13u + 4 + 300, ReadFileBytes(carrier).size());
        }
    }
}

TEST_F(CarrierWin, CancelledDialogsChangeNothing)
{
    const std::string hidden = Write("h.bin", "hide");
    const std::string carrier = Write("c.png", Image());
    strcpy(g_targetPath, carrier.c_str());
    {
        // Carrier dialog cancelled: the name of the first pick stays, so the
        // hidden file would be its own carrier; it is open for reading only.
        MessageRecorder messages;
        RunEmbed(hidden.c_str(), nullptr);
        ExpectOnlyMessage(messages, "Error Opening Output File", "File Access Error", g_mainWindow,
                          kFileErrorFlags);
        EXPECT_STREQ(hidden.c_str(), g_targetPath);
    }
    {
        // First dialog cancelled: no file to hide.
        MessageRecorder messages;
        RunEmbed(nullptr, carrier.c_str());
        ExpectOnlyMessage(messages, "Error Opening Input File", nullptr, g_mainWindow);
    }
    EXPECT_EQ("hide", ReadFileBytes(hidden));
    EXPECT_TRUE(ReadFileBytes(carrier) == Image());
    ExpectNoTemporaryFiles();
}

// Backing out of the output dialog, or out of replacing an existing file,
// writes nothing: the stored path comes from the file, not from the user.
// The window stays open with its key, as after a file failure. Only a name
// the user confirmed is written.
TEST_F(CarrierWin, OutputIsWrittenOnlyWhereTheUserConfirmed)
{
    const std::string hiddenPath = Path("stored.bin");
    const std::string trailered = AppendTrailer(Image(), "Sig one", "payload", hiddenPath);
    const std::string carrier = Write("c.png", trailered);
    {
        MessageRecorder messages;
        DrivenRun run = RunExtract("Sig one", carrier.c_str(), nullptr);
        EXPECT_EQ(hiddenPath, run.initialNames.at(1));
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_FALSE(FileIsThere(hiddenPath));
        EXPECT_TRUE(IsWindow(run.window));
        EXPECT_EQ("Sig one", WindowText(g_extractKeyField));
        EXPECT_EQ("Extracting file ...", Line(CTL_OPERATION_LINE));
        EXPECT_EQ("to ...", Line(CTL_DIRECTION_LINE));
    }
    ASSERT_TRUE(WriteFileBytes(hiddenPath, "edited since"));
    {
        MessageRecorder messages(IDNO);
        DrivenRun run = RunExtract("Sig one", carrier.c_str(), hiddenPath.c_str());
        ExpectOnlyMessage(messages, hiddenPath + " already exists.\nDo you want to replace it?",
                          "Output file name", run.window, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        EXPECT_EQ("edited since", ReadFileBytes(hiddenPath));
        EXPECT_TRUE(IsWindow(run.window));
        EXPECT_EQ("Extracting file ...", Line(CTL_OPERATION_LINE));
    }
    EXPECT_TRUE(ReadFileBytes(carrier) == trailered);
    ExpectNoTemporaryFiles();
    // OK on the offered path: the user saw it and confirmed it.
    ASSERT_TRUE(DeleteFileA(hiddenPath.c_str()));
    MessageRecorder messages;
    HWND window = RunExtract("Sig one", carrier.c_str(), hiddenPath.c_str()).window;
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ("payload", ReadFileBytes(hiddenPath));
    EXPECT_TRUE(ReadFileBytes(carrier) == Image());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(CarrierWin, StoredPathInAMissingFolderKeepsTheWindowOpen)
{
    const std::string trailered =
        AppendTrailer(Image(), "Sig one", "payload", Path("gone\\stored.bin"));
    const std::string carrier = Write("c.png", trailered);
    MessageRecorder messages;
    HWND window =
        RunExtract("Sig one", carrier.c_str(), Path("gone\\stored.bin").c_str()).window;
    ExpectOnlyMessage(messages, "Error Opening Output File", "File Access Error", window,
                      kFileErrorFlags);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ("Sig one", WindowText(g_extractKeyField));
    EXPECT_EQ("Extracting file ...", Line(CTL_OPERATION_LINE));
    EXPECT_EQ("to ...", Line(CTL_DIRECTION_LINE));
    EXPECT_TRUE(ReadFileBytes(carrier) == trailered);
    ExpectNoTemporaryFiles();

    // Choosing the carrier itself as output, and confirming to replace it,
    // fails the same way.
    messages.messages.clear();
    messages.answer = IDYES;
    RunExtract("Sig one", carrier.c_str(), carrier.c_str());
    ASSERT_EQ(2u, messages.messages.size());
    EXPECT_EQ("Output file name", messages.messages[0].caption);
    EXPECT_EQ("Error Opening Output File", messages.messages[1].text);
    EXPECT_TRUE(ReadFileBytes(carrier) == trailered);
}

TEST_F(CarrierWin, MissingCarrierIsAnInputError)
{
    MessageRecorder messages;
    HWND window = RunExtract("Sig one", Path("none.png").c_str(), nullptr).window;
    ExpectOnlyMessage(messages, "Error Opening Input File", nullptr, window);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(CarrierWin, OnlySignatureOneGoesIntoTheCarrier)
{
    Write("h.bin", "same");
    std::string made[2];
    const char* second[2] = {"two", "TWO2222"};
    for (int k = 0; k < 2; k++) {
        SetTestSignatures("one", second[k]);
        const std::string carrier = Write(k ? "c2" : "c1", "own");
        RunEmbed(Path("h.bin").c_str(), carrier.c_str());
        made[k] = ReadFileBytes(carrier);
    }
    EXPECT_TRUE(made[0] == made[1]);
    EXPECT_TRUE(made[0] == AppendTrailer("own", "one", "same", Path("h.bin")));
}

TEST_F(CarrierWin, StaleTemporaryKeyFileBytesNeverReachTheBlock)
{
    Write("tmpKeyOut.txt", std::string(40, 'Q'));
    SetFileAttributesA(Path("tmpKeyOut.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Write("h.bin", "x");
    RunEmbed(Path("h.bin").c_str(), Path("c").c_str());
    EXPECT_TRUE(Bytes("c") == AppendTrailer("", "Sig one", "x", Path("h.bin")));
    ExpectNoTemporaryFiles();
}

TEST_F(CarrierWin, NoKeyFileMeansNoEmbeddingButTheKeyIsStillChecked)
{
    // A folder of that name keeps the temporary key file from being made.
    ASSERT_TRUE(CreateDirectoryA(Path("tmpKeyOut.txt").c_str(), nullptr));
    Write("h.bin", "x");
    const std::string carrier = Write("c.png", Image());
    MessageRecorder messages;
    RunEmbed(Path("h.bin").c_str(), carrier.c_str());
    ExpectOnlyMessage(messages, kKeyFileFailed, nullptr, g_mainWindow);
    EXPECT_TRUE(ReadFileBytes(carrier) == Image());
    RunEmbed(Path("h.bin").c_str(), Path("new.png").c_str());
    EXPECT_FALSE(There("new.png"));

    // Extraction compares the decoded bytes as they are: a wrong key is
    // still wrong, the right one is not blamed for the missing file.
    const std::string trailered = AppendTrailer(Image(), "Sig one", "x", "C:\\x");
    ASSERT_TRUE(WriteFileBytes(carrier, trailered));
    messages.messages.clear();
    RunExtract("Sig onf", carrier.c_str(), Path("o").c_str());
    ExpectOnlyMessage(messages, "Wrong Key !!");
    EXPECT_TRUE(ReadFileBytes(carrier) == trailered);
    messages.messages.clear();
    ASSERT_TRUE(DeleteFileA(Path("o").c_str()));
    RunExtract("Sig one", carrier.c_str(), Path("o").c_str());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ("x", Bytes("o"));
    EXPECT_TRUE(ReadFileBytes(carrier) == Image());
}

TEST_F(CarrierWin, OkIsRefusedWhileAnotherCommandRuns)
{
    const std::string trailered = AppendTrailer(Image(), "Sig one", "x", Path("o"));
    const std::string carrier = Write("c.png", trailered);
    HWND window = OpenExtractWindowWithKey("Sig one");
    DialogAnswers answers; // any dialog shown would fail the test
    MessageRecorder messages;
    long refusedBefore = g_commandsRefused;
    CommandBegin(g_mainWindow);
    SendMessageA(window, WM_COMMAND, IDC_EXTRACT_OK, 0);
    CommandEnd();
    EXPECT_EQ(refusedBefore + 1, g_commandsRefused);
    EXPECT_TRUE(answers.titles.empty());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(ReadFileBytes(carrier) == trailered);
}

TEST_F(CarrierWin, KnownAnswerCarriersExtractToTheirRecordedBytes)
{
    std::vector<CarrierVectorStep> all = LoadVectorSteps();
    for (const RequiredVector& v : kRequiredVectors) {
        SCOPED_TRACE(v.carrier);
        const std::string carrier = Write(v.carrier, CarrierData(v.carrier));
        std::vector<CarrierVectorStep> steps = StepsOf(all, v.carrier);
        ASSERT_EQ((size_t)v.steps, steps.size());
        for (const CarrierVectorStep& s : steps) {
            MessageRecorder messages;
            const std::string output = Path("out" + std::to_string(s.step));
            DeleteFileA(output.c_str()); // the previous vector's
            DrivenRun extract = RunExtract(s.key.c_str(), carrier.c_str(), output.c_str());
            EXPECT_TRUE(messages.messages.empty());
            EXPECT_EQ(s.storedName, extract.initialNames.size() > 1 ? extract.initialNames[1] : "");
            EXPECT_EQ(s.hiddenSha256, Sha256Hex(ReadFileBytes(output)));
            EXPECT_EQ(s.remainingSha256, Sha256Hex(ReadFileBytes(carrier)));
        }
    }
}
