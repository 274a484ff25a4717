// The encrypt command and the key window's decrypt command under Wine, with
// the chooser and message boxes answered from code: lists, cancels, wrong
// keys, cut files, no temporary leftovers (fault sweeps: tests/faults).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cipher/cipher_win.h"
#include "cipher/cipherfile.h"
#include "cipher/fileloop_win.h"
#include "credentials/credentials_win.h"
#include "base/fileio_win.h"
#include "base/modal_win.h"
#include "shell/shell_win.h"
#include "tests/cipher/vectors.h"
#include "tests/support/controls_win.h"
#include "tests/support/drive_win.h"
#include "tests/support/paths.h"
#include "tests/support/sha256.h"
#include "tests/support/testing_win.h"


// Counts entries into the busy state by watching the Cancel button being
// shown, and lets a test act at the start of the Nth file's byte loop.
static int s_busyEntries = 0;
static std::function<void(int)> s_onBusy;
static WNDPROC s_cancelProc = nullptr;

static LRESULT CALLBACK WatchCancelButton(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW && wParam) {
        s_busyEntries++;
        if (s_onBusy)
            s_onBusy(s_busyEntries);
    }
    return CallWindowProcA(s_cancelProc, button, message, wParam, lParam);
}

class CipherCommands : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        window = g_mainWindow;
        ASSERT_TRUE(window != nullptr);
        // Start-up in a prefix without signatures asks first-use questions:
        // they belong to the credentials, not to these tests.
        messages.messages.clear();
        DestroyThreadWindows("chgpassWindow");
        s_cancelProc = (WNDPROC)SetWindowLongPtrA(g_mainControls[CTL_CANCEL], GWLP_WNDPROC,
                                                  (LONG_PTR)WatchCancelButton);
        s_busyEntries = 0;
        s_onBusy = nullptr;
    }
    void TearDown() override
    {
        s_onBusy = nullptr;
        CommandTest::TearDown();
    }

    std::string Folder() const { return scratch.Root(); }

    // The command has ended: idle with this label, and no temporary file left.
    void ExpectIdle(const char* label)
    {
        ExpectNoTemporaryFiles();
        EXPECT_FALSE(g_busy);
        EXPECT_FALSE(g_cancel);
        EXPECT_FALSE(IsWindowVisible(g_mainControls[CTL_CANCEL]));
        EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_MIRELOCK]));
        EXPECT_EQ(label, WindowText(g_mainControls[CTL_PERCENT]));
        EXPECT_EQ(std::vector<std::string>(4, ""), StatusLines());
    }

    std::string Expected(const std::string& payload, int mode = 3) const
    {
        return EncryptWithLibrary("Sig one", "Sig 2", mode, payload);
    }

    MessageRecorder messages;
    // The driver answers the dialogs of its runs; any other dialog fails the test.
    DialogAnswers strayDialogs;
    HWND window = nullptr;
    HWND keyWindow = nullptr; // the key window of the last decryption
};

TEST_F(CipherCommands, EncryptsEveryFileOfAList)
{
    std::string a = PseudoRandomBytes(300, 1), b = PseudoRandomBytes(7, 2),
                c = PseudoRandomBytes(1000, 3);
    Write("A.TXT", a);
    Write("B.TXT", b);
    Write("C.TXT", c);
    DWORD stagingAttributes = INVALID_FILE_ATTRIBUTES;
    s_onBusy = [&](int) {
        stagingAttributes = GetFileAttributesA(Path("tmpFile.txt").c_str());
    };
    DrivenRun run = RunEncrypt((Folder() + " A.TXT B.TXT C.TXT").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, stagingAttributes);
    EXPECT_TRUE(stagingAttributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Expected(a), Bytes("Azel.TXT"));
    EXPECT_EQ(Expected(b), Bytes("Bzel.TXT"));
    EXPECT_EQ(Expected(c), Bytes("Czel.TXT"));
    EXPECT_EQ(a, Bytes("A.TXT"));
    EXPECT_EQ(3, s_busyEntries);
    EXPECT_TRUE(messages.messages.empty());
    ASSERT_EQ(1u, run.titles.size());
    EXPECT_EQ("Select File(s)", run.titles[0]);
    ExpectIdle(" 0 % complete");
}

TEST_F(CipherCommands, EmptyFileGivesTheHeaderAlone)
{
    RunEncrypt(Write("EMPTY.DAT", "").c_str());
    std::string cipher = Bytes("EMPTYzel.DAT");
    EXPECT_EQ(33u, cipher.size());
    EXPECT_EQ(Expected(""), cipher);
    EXPECT_EQ(1, s_busyEntries);
    ExpectIdle(" 0 % complete");
}

TEST_F(CipherCommands, StatusLinesShowTheRunningTurn)
{
    std::string path = Write("LINES.TXT", PseudoRandomBytes(50, 4));
    std::vector<std::string> seen;
    s_onBusy = [&](int) { seen = StatusLines(); };
    RunEncrypt(path.c_str());
    EXPECT_EQ((std::vector<std::string>{"Encrypting file ...", "to ...", path, Path("LINESzel.TXT")}),
              seen);
}

TEST_F(CipherCommands, NothingChosenEndsQuietly)
{
    size_t asked = RunEncrypt(nullptr).titles.size();
    DrivenRun decrypt = RunDecrypt("Sig one", "Sig 2", nullptr);
    keyWindow = decrypt.window;
    EXPECT_EQ(2u, asked + decrypt.titles.size());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(0, s_busyEntries);
    EXPECT_FALSE(IsWindow(keyWindow));
    ExpectIdle("0 % complete");
}

TEST_F(CipherCommands, CancelDuringTheSecondFileSkipsOnlyIt)
{
    std::string a = PseudoRandomBytes(300, 5), c = PseudoRandomBytes(300, 7);
    Write("A.TXT", a);
    Write("B.TXT", PseudoRandomBytes(300, 6));
    Write("C.TXT", c);
    Write("Bzel.TXT", "an older cipher file of that name");
    s_onBusy = [&](int entry) {
        if (entry == 2)
            PostMessageA(window, WM_COMMAND, IDC_MAIN_CANCEL, 0);
    };
    RunEncrypt((Folder() + " A.TXT B.TXT C.TXT").c_str());
    EXPECT_EQ(Expected(a), Bytes("Azel.TXT"));
    EXPECT_FALSE(There("Bzel.TXT"));
    EXPECT_EQ(Expected(c), Bytes("Czel.TXT"));
    EXPECT_EQ(3, s_busyEntries);
    EXPECT_TRUE(messages.messages.empty());
    ExpectIdle(" 0 % complete");
}

TEST_F(CipherCommands, UnopenableSecondSourceEndsTheCommand)
{
    std::string a = PseudoRandomBytes(100, 8);
    Write("A.TXT", a);
    std::string b = Write("B.TXT", PseudoRandomBytes(100, 9));
    Write("C.TXT", PseudoRandomBytes(100, 10));
    HANDLE lock = CreateFileA(b.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    RunEncrypt((Folder() + " A.TXT B.TXT C.TXT").c_str());
    CloseHandle(lock);
    ExpectOnlyMessage(messages, "Error Opening Input File", "File Access Error", window,
                      MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
    EXPECT_EQ(Expected(a), Bytes("Azel.TXT"));
    EXPECT_FALSE(There("Bzel.TXT"));
    EXPECT_FALSE(There("Czel.TXT"));
    ExpectNoTemporaryFiles();
}

TEST_F(CipherCommands, RootFolderListOpensWithTheDoubledBackslash)
{
    char names[2][32];
    std::string payload[2];
    std::string selection = "C:\\";
    for (int k = 0; k < 2; k++) {
        snprintf(names[k], sizeof names[k], "ZV%lu%c.BIN", GetCurrentProcessId() % 100000, 'A' + k);
        payload[k] = PseudoRandomBytes(64, 30 + k);
        ASSERT_TRUE(WriteFileBytes(std::string("C:\\") + names[k], payload[k]));
        selection += std::string(" ") + names[k];
    }
    RunEncrypt(selection.c_str());
    for (int k = 0; k < 2; k++) {
        std::string source = std::string("C:\\") + names[k];
        char output[PATH_BUFFER_SIZE];
        ASSERT_EQ(OUTPUT_NAME_OK, MakeOutputName(source.c_str(), output, sizeof output));
        EXPECT_EQ(Expected(payload[k]), ReadFileBytes(output)) << names[k];
        DeleteFileA(source.c_str());
        DeleteFileA(output);
    }
    EXPECT_TRUE(messages.messages.empty());
    ExpectNoTemporaryFiles();
}

TEST_F(CipherCommands, UserFilesNamedLikeTemporaryFilesSurvive)
{
    // Picked from the current directory, where the temporary files live:
    // each is refused as an input that cannot be opened.
    struct Case {
        const char* name;
        bool decrypt;
    };
    const Case cases[] = {
        {"tmpFile.txt", false}, {"tmpKeyOut.txt", false},
        {"tmpFile1.txt", true}, {"tmpKeyOut.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.messages.clear();
        std::string bytes = Expected(PseudoRandomBytes(90, 40));
        std::string path = Write(c.name, bytes);
        if (c.decrypt)
            keyWindow = RunDecrypt("Sig one", "Sig 2", path.c_str()).window;
        else
            RunEncrypt(path.c_str());
        EXPECT_EQ(bytes, Bytes(c.name)) << c.name;
        ExpectOnlyMessage(messages, "Error Opening Input File");
        DeleteFileA(path.c_str());
        ExpectNoTemporaryFiles();
    }
    // Decrypt tells its staging files by their full path, whatever the
    // spelling: other letter case, a detour through a folder, a short name.
    CreateDirectoryA(Path("sub").c_str(), nullptr);
    for (const char* name : {"tmpFile1.txt", "tmpKeyOut.txt"}) {
        std::string bytes = Expected(PseudoRandomBytes(90, 41));
        std::string path = Write(name, bytes);
        char shortName[MAX_PATH] = "";
        GetShortPathNameA(path.c_str(), shortName, sizeof shortName);
        std::string upper = path;
        CharUpperA(&upper[Folder().size()]);
        for (const std::string& pick : {upper, Folder() + "\\sub\\..\\" + name,
                                        std::string(shortName)}) {
            messages.messages.clear();
            keyWindow = RunDecrypt("Sig one", "Sig 2", pick.c_str()).window;
            EXPECT_EQ(bytes, Bytes(name)) << pick;
            ExpectOnlyMessage(messages, "Error Opening Input File", nullptr, keyWindow);
            EXPECT_FALSE(IsWindow(keyWindow));
        }
        DeleteFileA(path.c_str());
        ExpectNoTemporaryFiles();
    }
}

TEST_F(CipherCommands, CipherFileOpenForWritingElsewhereStillDecrypts)
{
    std::string payload = PseudoRandomBytes(300, 42);
    std::string path = Write("HELDzel.TXT", Expected(payload));
    // Another program keeps the cipher file open for writing, sharing it.
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    keyWindow = RunDecrypt("Sig one", "Sig 2", path.c_str()).window;
    CloseHandle(writer);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(payload, Bytes("HELDzelzel.TXT"));
    EXPECT_EQ(Expected(payload), Bytes("HELDzel.TXT"));
    ExpectNoTemporaryFiles();
}

TEST_F(CipherCommands, CancelKeepsTheAttributesOfAnOutputThatCannotGo)
{
    // The cancel path deletes an older output; when another program holds
    // it open the deletion fails, and the file keeps what it was. A
    // read-only one stays as well: the user's own protection, which the
    // run without the cancel would not have got past either.
    struct Case {
        const char* source;
        const char* output;
        bool decrypt;
        DWORD attributes;
        DWORD access; // the other program's access, compatible with ours; 0: none holds it
    };
    const Case cases[] = {
        {"E.TXT", "Ezel.TXT", false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, GENERIC_READ},
        {"Dzel.TXT", "Dzelzel.TXT", true, FILE_ATTRIBUTE_HIDDEN, GENERIC_WRITE},
        {"R.TXT", "Rzel.TXT", false, FILE_ATTRIBUTE_READONLY, 0},
    };
    for (const Case& c : cases) {
        std::string payload = PseudoRandomBytes(300, 43);
        std::string source = Write(c.source, c.decrypt ? Expected(payload) : payload);
        std::string older = "an older output, in use";
        std::string output = Write(c.output, older);
        ASSERT_TRUE(SetFileAttributesA(output.c_str(), c.attributes));
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.access != 0) {
            holder = CreateFileA(output.c_str(), c.access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, holder) << c.output;
        }
        s_busyEntries = 0;
        s_onBusy = [&](int) { PostMessageA(window, WM_COMMAND, IDC_MAIN_CANCEL, 0); };
        if (c.decrypt)
            keyWindow = RunDecrypt("Sig one", "Sig 2", source.c_str()).window;
        else
            RunEncrypt(source.c_str());
        s_onBusy = nullptr;
        if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);
        EXPECT_EQ(1, s_busyEntries) << c.output;
        EXPECT_EQ(c.attributes, GetFileAttributesA(output.c_str()) & (FILE_ATTRIBUTE_READONLY |
                                                                       FILE_ATTRIBUTE_HIDDEN))
            << c.output;
        EXPECT_EQ(older, Bytes(c.output)) << c.output;
        EXPECT_TRUE(messages.messages.empty()) << c.output;
        ExpectIdle(c.decrypt ? "0 % complete" : " 0 % complete");
        SetFileAttributesA(output.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(CipherCommands, LeftoversAndLongerOldOutputsDoNotLeak)
{
    std::string payload = PseudoRandomBytes(200, 11);
    std::string path = Write("KEEP.BIN", payload);
    Write("KEEPzel.BIN", std::string(5000, 'o'));
    for (const char* name : {"tmpFile.txt", "tmpKeyOut.txt"})
        ASSERT_TRUE(WriteHiddenFile(Path(name), std::string(4000, 'x'))) << name;
    RunEncrypt(path.c_str());
    EXPECT_EQ(Expected(payload), Bytes("KEEPzel.BIN"));
    EXPECT_TRUE(messages.messages.empty());
    ExpectNoTemporaryFiles();
}

TEST_F(CipherCommands, EachTurnKeepsTheSignaturesItStartedWith)
{
    std::string a = PseudoRandomBytes(100, 12), b = PseudoRandomBytes(100, 13);
    Write("A.TXT", a);
    Write("B.TXT", b);
    s_onBusy = [&](int entry) {
        if (entry == 1)
            SetTestSignatures("Changed", "Other");
    };
    RunEncrypt((Folder() + " A.TXT B.TXT").c_str());
    EXPECT_EQ(Expected(a), Bytes("Azel.TXT"));
    EXPECT_EQ(EncryptWithLibrary("Changed", "Other", 3, b), Bytes("Bzel.TXT"));
}

// 257 characters: the output name would need 260 bytes.
static BOOL WINAPI AnswerLongName(LPOPENFILENAMEA record)
{
    std::string name = "C:\\x" + std::string(249, 'n') + ".DAT";
    snprintf(record->lpstrFile, record->nMaxFile, "%s", name.c_str());
    return TRUE;
}

TEST_F(CipherCommands, OutputNameTooLongIsRefusedBeforeWriting)
{
    g_getOpenFileName = AnswerLongName;
    SendMessageA(window, WM_COMMAND, IDC_MAIN_MIRELOCK, 0);
    ExpectOnlyMessage(messages, "File Name Too Long", "File Access Error");
    EXPECT_EQ(0, s_busyEntries);
    ExpectNoTemporaryFiles();
}

// The key window's controls as designed, in creation order.
static const ControlSpec kKeyDesign[] = {
    {"Edit", "", 0, 5, 50, 200, 20, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD,
     WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
    {"Edit", "", 0, 5, 90, 200, 20, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_PASSWORD,
     WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY},
    {"Button", "OK", 10, 45, 150, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Button", "Cancel", 9, 155, 150, 100, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "Key 2:", 0, 5, 70, 200, 20, WS_CHILD | WS_VISIBLE, 0},
    {"Static", "Key 1:", 0, 5, 30, 200, 20, WS_CHILD | WS_VISIBLE, 0},
};

TEST_F(CipherCommands, KeyWindowControlsMatchTheTable)
{
    HWND keys = OpenKeyWindow("", "");
    ExpectWindowPlacement(keys, "Key to unlock ...", 500, 250, 300, 200, g_mainWindow);
    ExpectControlsMatch(keys, kKeyDesign, COUNTOF(kKeyDesign), CONTROLS_IN_ORDER);
    EXPECT_EQ(KeyField(keys, KEYCTL_KEY1), GetWindow(keys, GW_CHILD));
    EXPECT_TRUE(GetWindowLongA(KeyField(keys, KEYCTL_KEY1), GWL_STYLE) & ES_PASSWORD);
    SendMessageA(keys, WM_COMMAND, IDC_KEY_CANCEL, 0);
    EXPECT_FALSE(IsWindow(keys));
}

TEST_F(CipherCommands, RightKeysGiveByteIdenticalFiles)
{
    std::string a = PseudoRandomBytes(400, 15), b = "", c = PseudoRandomBytes(9, 16);
    Write("Azel.TXT", Expected(a));
    Write("Bzel.TXT", Expected(b));
    Write("Czel.TXT", Expected(c));
    Write("Czelzel.TXT", std::string(3000, 'q')); // older and longer
    DWORD stagingAttributes = INVALID_FILE_ATTRIBUTES;
    s_onBusy = [&](int) {
        stagingAttributes = GetFileAttributesA(Path("tmpFile1.txt").c_str());
    };
    const std::string all = Folder() + " Azel.TXT Bzel.TXT Czel.TXT";
    keyWindow = RunDecrypt("Sig one", "Sig 2", all.c_str()).window;
    EXPECT_EQ(a, Bytes("Azelzel.TXT"));
    EXPECT_TRUE(There("Bzelzel.TXT"));
    EXPECT_EQ(b, Bytes("Bzelzel.TXT"));
    EXPECT_EQ(c, Bytes("Czelzel.TXT"));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, stagingAttributes);
    EXPECT_FALSE(stagingAttributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(3, s_busyEntries);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(IsWindow(keyWindow));
    ExpectIdle("0 % complete");
}

TEST_F(CipherCommands, EncryptThenDecryptWithTypedKeys)
{
    std::string payload = PseudoRandomBytes(500, 17);
    Write("ROUND.TXT", payload);
    SetTestSignatures("a b", "Zz9");
    // The shared stream buffers keep nothing of a file once a command ends.
    const std::string zeros(FILE_BUFFER_SIZE, '\0');
    auto streamsWiped = [&] {
        return std::string((const char*)g_cipherReader.buffer, FILE_BUFFER_SIZE) == zeros &&
               std::string((const char*)g_cipherWriter.buffer, FILE_BUFFER_SIZE) == zeros;
    };
    RunEncrypt(Path("ROUND.TXT").c_str());
    EXPECT_TRUE(streamsWiped());
    // Trailing spaces and text beyond seven characters do not count.
    RunDecrypt("a b    ", "Zz9    extra", Path("ROUNDzel.TXT").c_str());
    EXPECT_TRUE(streamsWiped());
    EXPECT_EQ(payload, Bytes("ROUNDzelzel.TXT"));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(CipherCommands, WrongKeysAndForeignFilesAreRefused)
{
    std::string payload = PseudoRandomBytes(200, 18);
    std::string cipher = Expected(payload);
    struct Case {
        const char* name;
        std::string bytes;
        const char* key1;
        const char* key2;
        bool olderOutput;
    };
    // A plain image with mode byte 7, whitened properly.
    std::string image = UnwhitenWithLibrary(cipher, "Sig 2");
    image[IMAGE_MODE_OFFSET] = 7;
    std::string badMode = WhitenWithLibrary(image, "Sig 2");
    const Case cases[] = {
        {"K1.ZZZ", cipher, "Sig 1", "Sig 2", false},
        {"K2.ZZZ", cipher, "Sig one", "Sig two", false},
        {"SW.ZZZ", cipher, "Sig 2", "Sig one", false},
        {"CASE.ZZZ", cipher, "sig one", "Sig 2", true},
        {"PLAIN.ZZZ", "just an ordinary text file, no cipher at all", "Sig one", "Sig 2", false},
        {"CUT7.ZZZ", cipher.substr(0, 7), "Sig one", "Sig 2", false},
        {"CUT0.ZZZ", "", "Sig one", "Sig 2", false},
        {"CUT20.ZZZ", cipher.substr(0, 20), "Sig one", "Sig 2", true},
        {"CUT32.ZZZ", cipher.substr(0, 32), "Sig one", "Sig 2", false},
        {"MODE.ZZZ", badMode, "Sig one", "Sig 2", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.messages.clear();
        s_busyEntries = 0;
        Write(c.name, c.bytes);
        char output[PATH_BUFFER_SIZE];
        ASSERT_EQ(OUTPUT_NAME_OK, MakeOutputName(Path(c.name).c_str(), output, sizeof output));
        std::string older = "an older file of the output's name";
        if (c.olderOutput)
            WriteFileBytes(output, older);
        bool busyDuringMessage = false;
        messages.onShow = [&](const RecordedMessage&) { busyDuringMessage = g_busy; };
        keyWindow = RunDecrypt(c.key1, c.key2, Path(c.name).c_str()).window;
        messages.onShow = nullptr;
        ExpectOnlyMessage(messages, "Wrong Key !!", "Signature Error..", keyWindow,
                          MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
        EXPECT_TRUE(busyDuringMessage) << c.name;
        EXPECT_TRUE(FileIsThere(output)) << c.name;
        EXPECT_EQ(c.olderOutput ? older : "", ReadFileBytes(output)) << c.name;
        EXPECT_EQ(c.bytes, Bytes(c.name)) << c.name;
        EXPECT_FALSE(IsWindow(keyWindow));
        ExpectIdle("0 % complete");
    }
}

TEST_F(CipherCommands, CutCipherFilesDecryptShorter)
{
    // No length field: a cipher file cut at 33 bytes or more passes the key
    // check and gives the payload up to the cut.
    std::string payload = PseudoRandomBytes(120, 19);
    std::string cipher = Expected(payload);
    for (size_t cut : {33u, 34u, 40u, 41u, 100u}) {
        Write("CUT.ZZZ", cipher.substr(0, cut));
        DeleteFileA(Path("CUTzel.ZZZ").c_str());
        keyWindow = RunDecrypt("Sig one", "Sig 2", Path("CUT.ZZZ").c_str()).window;
        EXPECT_EQ(payload.substr(0, cut - 33), Bytes("CUTzel.ZZZ")) << cut;
        EXPECT_TRUE(messages.messages.empty()) << cut;
    }
}

TEST_F(CipherCommands, CancelDuringTheSecondDecryptionSkipsOnlyIt)
{
    std::string a = PseudoRandomBytes(300, 20), c = PseudoRandomBytes(300, 22);
    Write("Azel.TXT", Expected(a));
    Write("Bzel.TXT", Expected(PseudoRandomBytes(300, 21)));
    Write("Czel.TXT", Expected(c));
    Write("Bzelzel.TXT", "older");
    bool stagingDuringRun = false;
    s_onBusy = [&](int entry) {
        if (entry == 2) {
            stagingDuringRun = There("tmpFile1.txt");
            PostMessageA(window, WM_COMMAND, IDC_MAIN_CANCEL, 0);
        }
    };
    const std::string all = Folder() + " Azel.TXT Bzel.TXT Czel.TXT";
    keyWindow = RunDecrypt("Sig one", "Sig 2", all.c_str()).window;
    EXPECT_TRUE(stagingDuringRun);
    EXPECT_EQ(a, Bytes("Azelzel.TXT"));
    EXPECT_FALSE(There("Bzelzel.TXT"));
    EXPECT_EQ(c, Bytes("Czelzel.TXT"));
    EXPECT_TRUE(messages.messages.empty());
    ExpectIdle("0 % complete");
}

TEST_F(CipherCommands, KeyWindowDuringItsRun)
{
    // OK is refused while busy; Cancel and the close box wait for the end.
    std::string a = PseudoRandomBytes(300, 23), b = PseudoRandomBytes(300, 24);
    Write("Azel.TXT", Expected(a));
    Write("Bzel.TXT", Expected(b));
    bool openAtSecond = false;
    s_onBusy = [&](int entry) {
        // The running key window: the one whose OK the driver pressed.
        if (entry == 1) {
            PostMessageA(g_drivenWindow, WM_COMMAND, IDC_KEY_OK, 0);
            PostMessageA(g_drivenWindow, WM_COMMAND, IDC_KEY_CANCEL, 0);
            PostMessageA(g_drivenWindow, WM_CLOSE, 0, 0);
            HWND other = OpenKeyWindow("x", "y");
            PostMessageA(other, WM_COMMAND, IDC_KEY_OK, 0);
            PostMessageA(window, WM_COMMAND, IDC_MAIN_MIRELOCK, 0);
        }
        if (entry == 2)
            openAtSecond = IsWindow(g_drivenWindow) != FALSE;
    };
    const std::string both = Folder() + " Azel.TXT Bzel.TXT";
    DrivenRun run = RunDecrypt("Sig one", "Sig 2", both.c_str());
    keyWindow = run.window;
    EXPECT_TRUE(openAtSecond);
    EXPECT_EQ(a, Bytes("Azelzel.TXT"));
    EXPECT_EQ(b, Bytes("Bzelzel.TXT"));
    EXPECT_EQ(1u, run.titles.size());
    EXPECT_EQ(2, s_busyEntries);
    EXPECT_FALSE(IsWindow(keyWindow));
    ExpectNoTemporaryFiles();
    HWND other = FindThreadWindow("keyWindow", "Key to unlock ...");
    EXPECT_TRUE(other != nullptr);
    if (other)
        DestroyWindow(other);
}

TEST_F(CipherCommands, CancelInTheLastWrongKeyBoxDoesNotReachTheNextCommand)
{
    // The busy state shows "Wrong Key !!" with its Cancel button at hand.
    Write("Wzel.TXT", EncryptWithLibrary("Other 1", "Other 2", 3, "abc"));
    messages.onShow = [&](const RecordedMessage&) {
        EXPECT_TRUE(IsWindowVisible(g_mainControls[CTL_CANCEL]));
        SendMessageA(window, WM_COMMAND, IDC_MAIN_CANCEL, 0);
    };
    keyWindow = RunDecrypt("Sig one", "Sig 2", Path("Wzel.TXT").c_str()).window;
    messages.onShow = nullptr;
    EXPECT_FALSE(g_cancel);
    std::string later = PseudoRandomBytes(100, 44);
    RunEncrypt(Write("LATER.TXT", later).c_str());
    EXPECT_EQ(Expected(later), Bytes("LATERzel.TXT"));
    ExpectOnlyMessage(messages, "Wrong Key !!");
}

TEST_F(CipherCommands, UnopenableOutputEndsTheDecryption)
{
    Write("Azel.TXT", Expected("aaa"));
    Write("Bzel.TXT", Expected("bbb"));
    std::string locked = Write("Azelzel.TXT", "in use");
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    // The message box runs outside the busy state, yet the command is still
    // running: another key window's OK must not start a second run.
    HWND other = nullptr;
    messages.onShow = [&](const RecordedMessage&) {
        other = OpenKeyWindow("Sig one", "Sig 2");
        SendMessageA(other, WM_COMMAND, IDC_KEY_OK, 0);
        SendMessageA(window, WM_COMMAND, IDC_MAIN_MIRELOCK, 0);
        // Only the running command's own window ignores its close box.
        HWND spare = OpenKeyWindow("Sig one", "Sig 2");
        SendMessageA(spare, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(spare));
    };
    const std::string both = Folder() + " Azel.TXT Bzel.TXT";
    DrivenRun run = RunDecrypt("Sig one", "Sig 2", both.c_str());
    keyWindow = run.window;
    messages.onShow = nullptr;
    CloseHandle(lock);
    EXPECT_EQ(1u, run.titles.size());
    EXPECT_TRUE(IsWindow(other));
    DestroyWindow(other);
    ExpectOnlyMessage(messages, "Error Opening Output File", "File Access Error", keyWindow);
    EXPECT_EQ("in use", Bytes("Azelzel.TXT"));
    EXPECT_FALSE(There("Bzelzel.TXT"));
    EXPECT_FALSE(IsWindow(keyWindow));
    ExpectNoTemporaryFiles();
}

TEST_F(CipherCommands, DecryptLeftoversDoNotLeak)
{
    std::string payload = PseudoRandomBytes(100, 25);
    Write("Lzel.TXT", Expected(payload));
    for (const char* name : {"tmpFile1.txt", "tmpKeyOut.txt"})
        ASSERT_TRUE(WriteHiddenFile(Path(name), std::string(4000, '\xF7'))) << name;
    keyWindow = RunDecrypt("Sig one", "Sig 2", Path("Lzel.TXT").c_str()).window;
    EXPECT_EQ(payload, Bytes("Lzelzel.TXT"));
    ExpectNoTemporaryFiles();
}

TEST_F(CipherCommands, KnownAnswerVectorsThroughBothCommands)
{
    ASSERT_EQ(12u, kCipherVectorCount);
    for (const CipherVector& v : kCipherVectors) {
        bool found = false;
        std::string cipher = ReadCipherVector(v, &found);
        ASSERT_TRUE(found) << "missing known-answer file " << v.file;
        std::string copy = Write(v.file, cipher);
        char plainName[PATH_BUFFER_SIZE];
        ASSERT_EQ(OUTPUT_NAME_OK, MakeOutputName(copy.c_str(), plainName, sizeof plainName));
        keyWindow = RunDecrypt(v.signature1, v.signature2, copy.c_str()).window;
        std::string plain = ReadFileBytes(plainName);
        EXPECT_EQ(v.payloadLength, plain.size()) << v.file;
        EXPECT_EQ(v.payloadSha256, Sha256Hex(plain)) << v.file;
        EXPECT_TRUE(messages.messages.empty()) << v.file;
        if (v.mode == 3) {
            SetTestSignatures(v.signature1, v.signature2);
            RunEncrypt(plainName);
            char again[PATH_BUFFER_SIZE];
            ASSERT_EQ(OUTPUT_NAME_OK, MakeOutputName(plainName, again, sizeof again));
            EXPECT_EQ(cipher, ReadFileBytes(again)) << v.file << " re-encrypted";
        } else {
            EXPECT_EQ(cipher, EncryptWithLibrary(v.signature1, v.signature2, v.mode, plain))
                << v.file;
        }
        ExpectNoTemporaryFiles();
    }
}
