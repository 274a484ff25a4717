// The password, change-password and signature windows driven by their
// command ids: what they look like, what they accept, what they store.
#include <gtest/gtest.h>

#include <string>

#include "base/registry_win.h"
#include "credentials/credentials_win.h"
#include "tests/credentials/credentials_fixture_win.h"

using PasswordWindowTest = CredentialsTest;
using ChgpassWindowTest = CredentialsTest;
using OptionWindowTest = CredentialsTest;

// The three windows' controls as designed, in creation order: the test's own
// rows, so that a wrong row in the program's tables shows.
enum {
    SHOWN = WS_CHILD | WS_VISIBLE,
    SHOWN_DEFAULT = SHOWN | BS_DEFPUSHBUTTON,
    HIDDEN_TEXT = SHOWN | WS_TABSTOP | ES_PASSWORD,
    SUNKEN = WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY
};
static const ControlSpec kPassDesign[] = {
    {"Button", "Confirm", 12, 45, 150, 100, 20, SHOWN, 0},
    {"Button", "Cancel", 11, 155, 150, 100, 20, SHOWN_DEFAULT, 0},
    {"Static", "Password:", 0, 5, 30, 100, 20, SHOWN, 0},
    {"Edit", "", 0, 5, 50, 200, 20, SHOWN | ES_PASSWORD, SUNKEN},
};
static const ControlSpec kChgpassDesign[] = {
    {"Button", "Accept", 15, 40, 150, 100, 20, SHOWN, 0},
    {"Button", "Cancel", 14, 160, 150, 100, 20, SHOWN_DEFAULT, 0},
    {"Static", "New Password:", 0, 5, 30, 100, 20, SHOWN, 0},
    {"Static", "Confirm     :", 0, 5, 70, 100, 20, SHOWN, 0},
    {"Static", "Max. 7 characters and/or digits", 0, 5, 100, 250, 20, SHOWN, 0},
    {"Edit", "", 0, 110, 30, 150, 20, HIDDEN_TEXT, SUNKEN},
    {"Edit", "", 0, 110, 70, 150, 20, HIDDEN_TEXT, SUNKEN},
};
static const ControlSpec kOptionDesign[] = {
    {"Button", "OK", 8, 45, 160, 100, 20, SHOWN, 0},
    {"Button", "Cancel", 7, 155, 160, 100, 20, SHOWN_DEFAULT, 0},
    {"Static", "Signature 2:", 0, 5, 70, 200, 20, SHOWN, 0},
    {"Static", "Signature 1:", 0, 5, 30, 200, 20, SHOWN, 0},
    {"Static", "Max. 7 characters and/or digits", 0, 5, 120, 250, 20, SHOWN, 0},
    {"Edit", "", 0, 5, 50, 200, 20, SHOWN | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL, SUNKEN},
    {"Edit", "", 0, 5, 90, 200, 20, SHOWN | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL, SUNKEN},
};

static void ExpectPasswordMessage(const RecordedMessage& m, const char* text)
{
    EXPECT_EQ(nullptr, m.owner);
    EXPECT_EQ(text, m.text);
    EXPECT_EQ("Password confirmation", m.caption);
    EXPECT_EQ((UINT)(MB_OK | MB_ICONINFORMATION), m.type);
}

// Exactly one message box, the password windows' one with this text.
static void ExpectOnlyPasswordMessage(const MessageRecorder& recorder, const char* text)
{
    ExpectOnlyMessage(recorder, text, "Password confirmation", nullptr, MB_OK | MB_ICONINFORMATION);
}

// Presses the main window's button and returns the password window it opened.
static HWND OpenFromMain(HWND mainWindow, int id)
{
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    PumpPending();
    return FindThreadWindow("passWindow", nullptr);
}

static void Type(HWND box, const std::string& text)
{
    SetWindowTextA(box, text.c_str());
}

TEST_F(PasswordWindowTest, LooksAsDesigned)
{
    StorePassword("pw");
    HWND window = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
    ExpectWindowPlacement(window, "Password", 100, 100, 300, 200, mainWindow);
    ExpectControlsMatch(window, kPassDesign, COUNTOF(kPassDesign),
                        CONTROLS_IN_ORDER | CONTROLS_EDIT_TEXT_FREE);
    EXPECT_TRUE(recorder->messages.empty());
}

TEST_F(PasswordWindowTest, ConfirmTable)
{
    struct Case {
        const char* name;
        int button;
        std::string stored;
        std::string entry;
        bool accepted;
    } cases[] = {
        {"right, Signature", IDC_MAIN_SIGNATURE, "Secret1", "Secret1", true},
        {"right, Password", IDC_MAIN_PASSWORD, "Secret1", "Secret1", true},
        {"other letter case", IDC_MAIN_SIGNATURE, "Secret1", "sECRET1", true},
        {"wrong", IDC_MAIN_SIGNATURE, "Secret1", "Secret2", false},
        {"wrong, Password", IDC_MAIN_PASSWORD, "Secret1", "Secret", false},
        {"empty entry", IDC_MAIN_SIGNATURE, "Secret1", "", false},
        {"empty password", IDC_MAIN_PASSWORD, "", "", true},
        {"long password", IDC_MAIN_SIGNATURE, "a password longer than seven",
         "a password longer than seven", true},
        {"entry over 98 characters", IDC_MAIN_SIGNATURE, std::string(98, 'k'),
         std::string(98, 'k') + "extra", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StorePassword(c.stored.c_str());
        recorder->messages.clear();
        HWND window = OpenFromMain(mainWindow, c.button);
        ASSERT_TRUE(window != nullptr) << c.name;
        Type(PasswordBox(window), c.entry);
        bool passWindowGoneAtBox = false;
        recorder->onShow = [&](const RecordedMessage&) {
            passWindowGoneAtBox = !IsWindow(window);
        };
        Click(window, IDC_PASS_CONFIRM);
        EXPECT_FALSE(IsWindow(window)) << c.name;
        EXPECT_EQ(c.accepted ? 1 : 0, g_passwordAccepted) << c.name;
        HWND options = FindThreadWindow("optionWindow", nullptr);
        HWND change = FindThreadWindow("chgpassWindow", "Change Password");
        if (c.accepted) {
            EXPECT_TRUE(recorder->messages.empty()) << c.name;
            EXPECT_EQ(c.button == IDC_MAIN_SIGNATURE, options != nullptr) << c.name;
            EXPECT_EQ(c.button == IDC_MAIN_PASSWORD, change != nullptr) << c.name;
        } else {
            ExpectOnlyPasswordMessage(*recorder, "Invalid Password");
            EXPECT_TRUE(passWindowGoneAtBox) << c.name;
            EXPECT_EQ(nullptr, options) << c.name;
            EXPECT_EQ(nullptr, change) << c.name;
        }
        if (change) {
            ExpectWindowPlacement(change, "Change Password", 200, 200, 300, 200, mainWindow);
        }
        recorder->onShow = nullptr;
        DestroyCredentialWindows();
    }
}

TEST_F(PasswordWindowTest, CancelAndCloseBoxChangeNothing)
{
    StorePassword("pw");
    HWND window = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
    Type(PasswordBox(window), "pw");
    Click(window, IDC_PASS_CANCEL);
    EXPECT_FALSE(IsWindow(window));
    window = OpenFromMain(mainWindow, IDC_MAIN_PASSWORD);
    Type(PasswordBox(window), "pw");
    SendMessageA(window, WM_CLOSE, 0, 0);
    PumpPending();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(0, g_passwordAccepted);
    EXPECT_EQ(nullptr, FindThreadWindow("optionWindow", nullptr));
    EXPECT_EQ(nullptr, FindThreadWindow("chgpassWindow", nullptr));
    EXPECT_TRUE(recorder->messages.empty());
}

TEST_F(PasswordWindowTest, MissingKeyShowsTheSystemTextAndNeverAccepts)
{
    HWND window = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
    ASSERT_TRUE(window != nullptr);
    char expected[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_FILE_NOT_FOUND, 0, expected, sizeof expected, nullptr);
    std::string want = expected;
    while (!want.empty() && (want.back() == '\n' || want.back() == '\r' || want.back() == ' '))
        want.pop_back();
    EXPECT_NE("", want);
    ExpectOnlyMessage(*recorder, want, "Cannot Open due to ...", nullptr, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(IsWindowVisible(window));
    const char* entries[] = {"", " ", "anything"};
    for (const char* entry : entries) {
        if (!IsWindow(window))
            window = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
        recorder->messages.clear();
        Type(PasswordBox(window), entry);
        Click(window, IDC_PASS_CONFIRM);
        ASSERT_FALSE(recorder->messages.empty()) << entry;
        ExpectPasswordMessage(recorder->messages.back(), "Invalid Password");
        EXPECT_EQ(nullptr, FindThreadWindow("optionWindow", nullptr)) << entry;
    }
}

TEST_F(PasswordWindowTest, ChangedPasswordCountsFromTheNextWindow)
{
    StorePassword("old");
    HWND early = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
    // The password is changed while that window is open.
    HWND changer = OpenFromMain(mainWindow, IDC_MAIN_PASSWORD);
    ASSERT_NE(early, changer);
    Type(PasswordBox(changer), "old");
    Click(changer, IDC_PASS_CONFIRM);
    HWND change = FindThreadWindow("chgpassWindow", "Change Password");
    ASSERT_TRUE(change != nullptr);
    Type(NewPasswordBox(change, 1), "new");
    Type(NewPasswordBox(change, 2), "new");
    Click(change, IDC_CHGPASS_ACCEPT);
    EXPECT_FALSE(IsWindow(change));
    // The open window checks against the form read before the change...
    recorder->messages.clear();
    Type(PasswordBox(early), "new");
    Click(early, IDC_PASS_CONFIRM);
    ExpectOnlyPasswordMessage(*recorder, "Invalid Password");
    // ...a new one against the new form, which takes the new password only.
    HWND late = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
    Type(PasswordBox(late), "old");
    Click(late, IDC_PASS_CONFIRM);
    EXPECT_EQ(0, g_passwordAccepted);
    late = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
    Type(PasswordBox(late), "new");
    Click(late, IDC_PASS_CONFIRM);
    EXPECT_EQ(1, g_passwordAccepted);
    EXPECT_TRUE(FindThreadWindow("optionWindow", nullptr) != nullptr);
}

static HWND OpenChangeWindow(HWND owner, const char* title)
{
    HWND window = OpenChgpassWindow(title, owner);
    PumpPending();
    return window;
}

TEST_F(ChgpassWindowTest, LooksAsDesigned)
{
    HWND window = OpenChangeWindow(mainWindow, "Change Password");
    ExpectWindowPlacement(window, "Change Password", 200, 200, 300, 200, mainWindow);
    ExpectControlsMatch(window, kChgpassDesign, COUNTOF(kChgpassDesign),
                        CONTROLS_IN_ORDER | CONTROLS_EDIT_TEXT_FREE);
}

TEST_F(ChgpassWindowTest, AcceptTable)
{
    struct Case {
        const char* name;
        std::string entered, confirmed;
        bool stored;
        std::string form; // what "PassName" then holds, without a terminator
    } cases[] = {
        {"matching", "ab", "ab", true, "\x60\xA0\x20"},
        {"both empty", "", "", true, " "},
        {"differing", "ab", "aB", false, ""},
        {"differing only after 98 characters", std::string(98, 'q') + "1",
         std::string(98, 'q') + "2", true, std::string(98, '\x60') + " "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\MirelockPass");
        recorder->messages.clear();
        HWND window = OpenChangeWindow(mainWindow, "Change Password");
        Type(NewPasswordBox(window, 1), c.entered);
        Type(NewPasswordBox(window, 2), c.confirmed);
        Click(window, IDC_CHGPASS_ACCEPT);
        EXPECT_FALSE(IsWindow(window)) << c.name;
        StoredValue v = ReadValue(HKEY_LOCAL_MACHINE, "Software\\MirelockPass", "PassName");
        EXPECT_EQ(c.stored, v.present) << c.name;
        if (c.stored) {
            EXPECT_EQ((DWORD)REG_SZ, v.type) << c.name;
            // Exactly n + 1 bytes; some registries add a terminator on read.
            std::string bytes = v.bytes;
            if (bytes.size() == c.form.size() + 1 && bytes.back() == '\0')
                bytes.pop_back();
            EXPECT_EQ(c.form, bytes) << c.name;
            EXPECT_TRUE(recorder->messages.empty()) << c.name;
        } else {
            ExpectOnlyPasswordMessage(*recorder, "Passwords do not match!!");
        }
        EXPECT_EQ(nullptr, FindThreadWindow("optionWindow", nullptr)) << c.name;
    }
}

TEST_F(ChgpassWindowTest, FirstUseAcceptOpensTheSignatureWindowWithEmptyBoxes)
{
    const bool matching[] = {true, false};
    for (bool same : matching) {
        g_firstUse = 1;
        recorder->messages.clear();
        HWND window = OpenChangeWindow(nullptr, "First time user: Create Password and keys");
        Type(NewPasswordBox(window, 1), "first");
        Type(NewPasswordBox(window, 2), same ? "first" : "other");
        Click(window, IDC_CHGPASS_ACCEPT);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(0, g_firstUse);
        EXPECT_EQ(same ? 0u : 1u, recorder->messages.size());
        HWND options = FindThreadWindow("optionWindow", nullptr);
        ExpectWindowPlacement(options, "Options", 100, 100, 300, 220, mainWindow);
        EXPECT_EQ("", WindowText(SignatureBox(options, 1)));
        EXPECT_EQ("", WindowText(SignatureBox(options, 2)));
        DestroyCredentialWindows();
    }
}

TEST_F(ChgpassWindowTest, FirstUseCancelKeepsTheFlag)
{
    g_firstUse = 1;
    HWND window = OpenChangeWindow(nullptr, "First time user: Create Password and keys");
    Click(window, IDC_CHGPASS_CANCEL);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(1, g_firstUse);
    EXPECT_EQ(nullptr, FindThreadWindow("optionWindow", nullptr));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\MirelockPass"));
    // The next "Accept" in this run leads on to the signature window.
    window = OpenChangeWindow(mainWindow, "Change Password");
    Type(NewPasswordBox(window, 1), "pw");
    Type(NewPasswordBox(window, 2), "pw");
    Click(window, IDC_CHGPASS_ACCEPT);
    EXPECT_EQ(0, g_firstUse);
    EXPECT_TRUE(FindThreadWindow("optionWindow", nullptr) != nullptr);
}

// Opens the signature window the way "Signature" with the right password does.
static HWND OpenSignatureWindow(HWND mainWindow)
{
    HWND pass = OpenFromMain(mainWindow, IDC_MAIN_SIGNATURE);
    SetWindowTextA(PasswordBox(pass), "pw");
    SendMessageA(pass, WM_COMMAND, MAKEWPARAM(IDC_PASS_CONFIRM, BN_CLICKED), 0);
    PumpPending();
    return FindThreadWindow("optionWindow", nullptr);
}

TEST_F(OptionWindowTest, LooksAsDesignedAndShowsTheBuffers)
{
    StorePassword("pw");
    SetSignatures("abc    ", "1234567");
    HWND window = OpenSignatureWindow(mainWindow);
    ExpectWindowPlacement(window, "Options", 100, 100, 300, 220, mainWindow);
    ExpectControlsMatch(window, kOptionDesign, COUNTOF(kOptionDesign),
                        CONTROLS_IN_ORDER | CONTROLS_EDIT_TEXT_FREE);
    EXPECT_EQ("abc    ", WindowText(SignatureBox(window, 1)));
    EXPECT_EQ("1234567", WindowText(SignatureBox(window, 2)));
}

TEST_F(OptionWindowTest, OkTable)
{
    struct Case {
        const char* name;
        const char* box1;
        const char* box2;
        const char* s1;
        const char* s2;
        const char* fragment1; // location 1 "Signature1", with its NUL
    } cases[] = {
        {"empty boxes", "", "", "       ", "       ", "   "},
        {"longer than seven", "ABCDEFGHIJ", "abcdefghij", "ABCDEFG", "abcdefg", "fCF"},
        {"three characters", "xyz", "12", "xyz    ", "12     ", " z "},
    };
    StorePassword("pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = OpenSignatureWindow(mainWindow);
        ASSERT_TRUE(window != nullptr);
        SetWindowTextA(SignatureBox(window, 1), c.box1);
        SetWindowTextA(SignatureBox(window, 2), c.box2);
        Click(window, IDC_OPTION_OK);
        EXPECT_FALSE(IsWindow(window));
        ExpectSignatures(c.s1, c.s2);
        EXPECT_EQ(std::string(c.fragment1) + '\0',
                  ReadValue(HKEY_CURRENT_USER, "Software\\MirelockIT", "Signature1").bytes);
        // The next window shows what was taken, trailing spaces included.
        window = OpenSignatureWindow(mainWindow);
        EXPECT_EQ(c.s1, WindowText(SignatureBox(window, 1)));
        DestroyCredentialWindows();
    }
    EXPECT_TRUE(recorder->messages.empty());
}

TEST_F(OptionWindowTest, OkOnUntouchedBoxesRewritesTheSameValues)
{
    StorePassword("pw");
    SetSignatures("Q1w2E3r", "z9Y8x7W");
    SignatureStoreSave();
    StoredValue before[2] = {
        ReadValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature1"),
        ReadValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature2"),
    };
    // Removing location 3 shows that "OK" really writes again.
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    HWND window = OpenSignatureWindow(mainWindow);
    Click(window, IDC_OPTION_OK);
    ExpectSignatures("Q1w2E3r", "z9Y8x7W");
    EXPECT_EQ(before[0].bytes,
              ReadValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature1").bytes);
    EXPECT_EQ(before[1].bytes,
              ReadValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature2").bytes);
    SetSignatures("QQQQQQQ", "QQQQQQQ");
    SignatureStoreLoad();
    ExpectSignatures("Q1w2E3r", "z9Y8x7W");
}

TEST_F(OptionWindowTest, CancelAndCloseBoxChangeNothing)
{
    StorePassword("pw");
    SignatureStoreSave();
    StoredValue before = ReadValue(HKEY_CURRENT_USER, "Control Panel", "Signature1");
    for (int way = 0; way < 2; way++) {
        SCOPED_TRACE(way);
        HWND window = OpenSignatureWindow(mainWindow);
        SetWindowTextA(SignatureBox(window, 1), "changed");
        SetWindowTextA(SignatureBox(window, 2), "changed");
        if (way == 0)
            Click(window, IDC_OPTION_CANCEL);
        else
            SendMessageA(window, WM_CLOSE, 0, 0);
        PumpPending();
        EXPECT_FALSE(IsWindow(window));
        ExpectSignatures("ABCDEFG", "abcdefg");
        EXPECT_EQ(before.bytes, ReadValue(HKEY_CURRENT_USER, "Control Panel", "Signature1").bytes);
    }
}

// A save that fails somewhere is told once the window is gone: which
// locations, the system's text, whether anything was written.
TEST_F(OptionWindowTest, OkTellsOfAFailedSaveAfterTheWindowIsGone)
{
    auto systemText = [](LONG code) {
        char text[256];
        EXPECT_TRUE(SystemErrorText(code, text, sizeof text));
        return std::string(text);
    };
    const std::string hint =
        "On current Windows the HKEY_CURRENT_CONFIG key can be written only by a program "
        "started as administrator: start Zorvane with \"Run as administrator\" each time you "
        "change the signatures.";
    struct Case {
        const char* name;
        bool location3;
        long call; // the save's call that fails
        LONG error;
        std::string text;
        std::string location2Signature1; // stored afterwards, with its NUL
        long run = 1;                    // how many calls fail from `call` on
    } cases[] = {
        // Open 1, 2, 3, then the create of location 3.
        {"location 3 cannot be created", false, 4, ERROR_ACCESS_DENIED,
         "The signatures could not be saved at:\nLocation 3, HKEY_CURRENT_CONFIG\\Software\\"
         "TempKey: " + systemText(ERROR_ACCESS_DENIED) +
             "\n\nNothing was written: the stored signatures are still the previous ones. The "
             "new signatures are in force until Zorvane ends.\n\n" + hint,
         std::string("BGa\0", 4)},
        // Open 1, 2, 3, six reads, set, set, flush of location 1, then a set:
        // put back; or, when the first put-back fails too, removed; or,
        // when every call from there on fails, mixed.
        {"a value of location 2 cannot be set", true, 13, ERROR_REGISTRY_IO_FAILED,
         "The signatures could not be saved at:\nLocation 2, HKEY_CURRENT_USER\\Control Panel: " +
             systemText(ERROR_REGISTRY_IO_FAILED) +
             "\n\nThe values already written were put back: the stored signatures are still the "
             "previous ones. The new signatures are in force until Zorvane ends.",
         std::string("BGa\0", 4)},
        {"nor put back", true, 13, ERROR_REGISTRY_IO_FAILED,
         "The signatures could not be saved at:\nLocation 2, HKEY_CURRENT_USER\\Control Panel: " +
             systemText(ERROR_REGISTRY_IO_FAILED) +
             "\n\nThe values already written could not be put back, so all stored signature "
             "values were removed: from the next start Mirelock and Embed refuse until the "
             "signatures are set again under Signature. The new signatures are in force until "
             "Zorvane ends.",
         "", 2},
        {"nor removed", true, 13, ERROR_REGISTRY_IO_FAILED,
         "The signatures could not be saved at:\nLocation 2, HKEY_CURRENT_USER\\Control Panel: " +
             systemText(ERROR_REGISTRY_IO_FAILED) +
             "\n\nThe other values were written: the stored signatures now mix new and previous "
             "characters, and the next start would rebuild signatures that nobody set. Set them "
             "again under Signature. The new signatures are in force until Zorvane ends.",
         std::string("BGa\0", 4), 1000},
    };
    StorePassword("pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreFragments("ABCDEFG", "abcdefg");
        if (!c.location3)
            DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
        g_signatureState = SIGNATURES_INCOMPLETE;
        HWND window = OpenSignatureWindow(mainWindow);
        ASSERT_TRUE(window != nullptr);
        SetWindowTextA(SignatureBox(window, 1), "1234567");
        SetWindowTextA(SignatureBox(window, 2), "7654321");
        recorder->messages.clear();
        bool windowGoneAtBox = false;
        recorder->onShow = [&](const RecordedMessage&) { windowGoneAtBox = !IsWindow(window); };
        RegistryFaultArm(c.call, c.error, c.run);
        Click(window, IDC_OPTION_OK);
        RegistryFaultDisarm();
        recorder->onShow = nullptr;
        ExpectOnlyMessage(*recorder, c.text, "Cannot Open due to ...", nullptr,
                          MB_OK | MB_ICONINFORMATION);
        EXPECT_TRUE(windowGoneAtBox);
        // In force all the same, and no longer incomplete.
        ExpectSignatures("1234567", "7654321");
        EXPECT_EQ(SIGNATURES_COMPLETE, g_signatureState);
        EXPECT_EQ(c.location2Signature1,
                  ReadValue(HKEY_CURRENT_USER, "Control Panel", "Signature1").bytes);
        EXPECT_EQ(c.location3, KeyExists(HKEY_CURRENT_CONFIG, "Software\\TempKey"));
    }
}
