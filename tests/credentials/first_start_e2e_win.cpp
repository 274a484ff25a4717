// End to end: drives the real dist/zorvane.exe from this process through its
// first start (both message boxes, the first-use window, "Options"), checks
// the registry it wrote, restarts it, changes the password, reads the
// signatures back through "Signature", and clears it all with zorvane-clean.
// A second first start sets the signatures while the last box is still open
// and encrypts a known-answer file with them. With --wow64 the same runs in
// a 64-bit prefix, where the password lands in the 32-bit view.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/cipher/vectors.h"
#include "tests/e2e/driver_win.h"

namespace {

const char kMainClass[] = "clsWindow";
const char kMainTitle[] = "Zorvane V1.30";
const int kSignatureButton = 6, kPasswordButton = 13, kAboutButton = 20;
const int kConfirm = 12, kAccept = 15, kOptionsOk = 8, kOptionsCancel = 7, kAboutDone = 21;
const int kMirelock = 1;

// Checks a message box of the process and presses OK.
void ExpectBox(DWORD pid, const char* caption, const char* text, const char* shot)
{
    HWND box = WaitWindow(pid, "#32770", caption);
    ASSERT_TRUE(box != nullptr) << "no box \"" << caption << "\"";
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
    Box answered = AnswerBox(pid, IDOK, 10000, shot);
    EXPECT_EQ(caption, answered.caption);
    EXPECT_EQ(text, answered.text);
    EXPECT_FALSE(IsWindow(box));
}

// Takes the window's shot when one is named, presses a button that closes
// the window, and waits for it to go.
void PressClosing(HWND window, int id, const char* shot = nullptr)
{
    if (shot)
        Shot(window, shot);
    ASSERT_TRUE(Click(window, id));
    EXPECT_TRUE(WaitGone(window));
}

// Types the new password twice into a first-use or "Change Password"
// window and accepts it.
void AcceptNewPassword(HWND change, const char* password, const char* shot)
{
    ASSERT_TRUE(TypeInto(ChildAt(change, "Edit", 110, 30), password));
    ASSERT_TRUE(TypeInto(ChildAt(change, "Edit", 110, 70), password));
    PressClosing(change, kAccept, shot);
}

// The password store as a 32-bit program names it, and the two places it
// can be in the 64-bit registry.
const char kPasswordKey[] = "Software\\MirelockPass";
const char kPasswordKey64[] = "Software\\MirelockPass";
const char kPasswordKeyWow64[] = "Software\\Wow6432Node\\MirelockPass";

// In a 64-bit prefix this 32-bit driver, like zorvane, runs under WoW64: the
// password form must be in the 32-bit view (Wow6432Node) and only there.
void ExpectPasswordView(bool present)
{
    if (!g_wow64)
        return;
    BOOL wow = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow));
    ASSERT_TRUE(wow) << "--wow64 given, but not running under WoW64";
    EXPECT_EQ(present, KeyExists(HKEY_LOCAL_MACHINE, kPasswordKeyWow64, KEY_WOW64_64KEY));
    EXPECT_EQ(present, KeyExists(HKEY_LOCAL_MACHINE, kPasswordKey, KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPasswordKey64, KEY_WOW64_64KEY));
}

// Everything zorvane stores is removed first: the prefix is a fresh one.
void ForgetEverything()
{
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MIRELOCKIT");
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\MirelockPass");
    DeleteValue(HKEY_CURRENT_USER, "Control Panel", "Signature1");
    DeleteValue(HKEY_CURRENT_USER, "Control Panel", "Signature2");
}

// Opens a password window from the main window and confirms `password`.
void ConfirmPassword(DWORD pid, HWND mainWindow, int button, const char* password,
                     const char* shot)
{
    ASSERT_TRUE(Click(mainWindow, button));
    HWND pass = WaitWindow(pid, "passWindow", "Password");
    ASSERT_TRUE(pass != nullptr);
    EXPECT_EQ(nullptr, OpenDialog(pid)); // the stored password was found
    ASSERT_TRUE(TypeInto(ChildAt(pass, "Edit", 5, 50), password));
    PressClosing(pass, kConfirm, shot);
}

const char kFirstUseText[] = "This is your first usage of this software";
const char kFirstUseCaption[] = "Cannot find signatures due to ...";
const char kFirstUseTitle[] = "First time user: Create Password and keys";

// The six fragments of "Sig1abc" and "s2     ", exactly.
struct Fragment {
    HKEY root;
    const char* path;
    const char* regKey;
    const char* name;
    std::string text;
};
const Fragment kFragments[] = {
    {HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT", "HKCU\\Software\\MirelockIT", "Signature1", " gb"},
    {HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT", "HKCU\\Software\\MirelockIT", "Signature2", " S"},
    {HKEY_CURRENT_USER, "Control Panel", "HKCU\\Control Panel", "Signature1", "ics"},
    {HKEY_CURRENT_USER, "Control Panel", "HKCU\\Control Panel", "Signature2", "2 "},
    {HKEY_CURRENT_CONFIG, "Software\\TempKey", "HKCC\\Software\\TempKey", "Signature1", " 1"},
    {HKEY_CURRENT_CONFIG, "Software\\TempKey", "HKCC\\Software\\TempKey", "Signature2", " a"},
};

TEST(FirstStart, CreatesPasswordAndSignaturesThenKeepsThem)
{
    ForgetEverything();
    App first;
    ASSERT_TRUE(first.Start("zorvane.exe", MakeTempFolder("first-start")));
    DWORD pid = first.pid;

    // Location 1 is missing: the first box, then the first-use window.
    ExpectBox(pid, kFirstUseCaption, kFirstUseText, "first-use");
    HWND change = WaitWindow(pid, "chgpassWindow", kFirstUseTitle);
    ASSERT_TRUE(change != nullptr);
    EXPECT_EQ(nullptr, GetWindow(change, GW_OWNER));
    // Location 3 is missing too: a second box before the main window shows.
    HWND box = WaitWindow(pid, "#32770", kFirstUseCaption);
    ASSERT_TRUE(box != nullptr);
    for (HWND early : TopWindows(pid, kMainClass))
        EXPECT_FALSE(IsWindowVisible(early));
    ExpectBox(pid, kFirstUseCaption, kFirstUseText, nullptr);
    HWND main = WaitWindow(pid, kMainClass, kMainTitle);
    ASSERT_TRUE(main != nullptr);

    AcceptNewPassword(change, "Open Sesame", "first-time-user");
    HWND options = WaitWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ(main, GetWindow(options, GW_OWNER));
    HWND box1 = ChildAt(options, "Edit", 5, 50);
    HWND box2 = ChildAt(options, "Edit", 5, 90);
    ASSERT_TRUE(box1 && box2);
    EXPECT_EQ("", WindowText(box1));
    EXPECT_EQ("", WindowText(box2));
    TypeInto(box1, "Sig1abc");
    TypeInto(box2, "s2");
    PressClosing(options, kOptionsOk, "options");
    EXPECT_EQ(nullptr, OpenDialog(pid));

    for (const Fragment& f : kFragments) {
        EXPECT_EQ(f.text + '\0', ReadValue(f.root, f.path, f.name).bytes)
            << f.regKey << " " << f.name;
        EXPECT_EQ(f.text, RegQueryData(f.regKey, f.name)) << f.regKey << " " << f.name;
    }
    std::string firstForm = RegQueryData("HKLM\\Software\\MirelockPass", "PassName");
    EXPECT_NE("<missing>", firstForm);
    ExpectPasswordView(true);
    Shot(main, "main");
    first.ExitFrom(main);

    // The next start finds its signatures and says nothing.
    App second;
    main = second.StartMain(MakeTempFolder("first-start"));
    ASSERT_TRUE(main != nullptr);
    pid = second.pid;
    EXPECT_EQ(nullptr, OpenDialog(pid));
    EXPECT_TRUE(TopWindows(pid, "chgpassWindow").empty());

    // About, from outside.
    ASSERT_TRUE(Click(main, kAboutButton));
    HWND about = WaitWindow(pid, "AboutWindow", "About Zorvane V1.30 ...");
    ASSERT_TRUE(about != nullptr);
    PressClosing(about, kAboutDone, "about");

    // "Signature" and the password (in the other letter case: only three
    // bits of each character count) show the saved signatures.
    ConfirmPassword(pid, main, kSignatureButton, "open sesame", "password");
    options = WaitWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ("Sig1abc", WindowText(ChildAt(options, "Edit", 5, 50)));
    EXPECT_EQ("s2     ", WindowText(ChildAt(options, "Edit", 5, 90)));
    PressClosing(options, kOptionsCancel);

    // "Password": the old password opens "Change Password"; a new one of
    // another length is stored.
    ConfirmPassword(pid, main, kPasswordButton, "Open Sesame", nullptr);
    change = WaitWindow(pid, "chgpassWindow", "Change Password");
    ASSERT_TRUE(change != nullptr);
    EXPECT_EQ(main, GetWindow(change, GW_OWNER));
    AcceptNewPassword(change, "Kz9", "change-password");
    EXPECT_EQ(nullptr, OpenDialog(pid));
    EXPECT_TRUE(TopWindows(pid, "optionWindow").empty()); // not the first use any more
    // "Kz9": each character keeps its bits 0, 1 and 7; the terminator gives a space.
    std::string newForm = ReadValue(HKEY_LOCAL_MACHINE, "Software\\MirelockPass", "PassName").bytes;
    newForm.erase(newForm.find_last_not_of('\0') + 1);
    EXPECT_EQ("\xE0\xA0\x60\x20", newForm);

    // "Signature" now refuses the old password ...
    ConfirmPassword(pid, main, kSignatureButton, "Open Sesame", nullptr);
    ExpectBox(pid, "Password confirmation", "Invalid Password", "invalid-password");
    EXPECT_TRUE(TopWindows(pid, "optionWindow").empty());
    // ... and takes the new one.
    ConfirmPassword(pid, main, kSignatureButton, "Kz9", nullptr);
    options = WaitWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ("Sig1abc", WindowText(ChildAt(options, "Edit", 5, 50)));
    PressClosing(options, kOptionsCancel);
    second.ExitFrom(main);

    // zorvane-clean removes what the program stored; a second run finds nothing.
    const char* expected[] = {"All data associated with Mirelock is cleared",
                              "Data not cleared properly"};
    for (const char* text : expected) {
        App cleaner;
        ASSERT_TRUE(cleaner.Start("zorvane-clean.exe", MakeTempFolder("first-start")));
        Box answered = AnswerBox(cleaner.pid, IDOK, 20000);
        EXPECT_EQ("Clearing Data ...", answered.caption);
        EXPECT_EQ(text, answered.text);
        DWORD code = 1234;
        EXPECT_TRUE(cleaner.WaitExit(10000, &code));
        EXPECT_EQ(0u, code);
        for (const Fragment& f : kFragments)
            EXPECT_EQ("<missing>", RegQueryData(f.regKey, f.name)) << f.regKey << " " << f.name;
        EXPECT_EQ("<missing>", RegQueryData("HKLM\\Software\\MirelockPass", "PassName"));
        ExpectPasswordView(false);
    }
}

// The password and the signatures created while the box for location 3 is
// still open (nothing stops the user: the box has no owner). Once it is
// closed, a file encrypted is the cipher file of the typed signatures.
TEST(FirstStart, SignaturesSetWhileTheLastBoxIsOpenAreTheOnesThatEncrypt)
{
    const CipherVector* vector = nullptr;
    std::string cipher, payload;
    ASSERT_TRUE(LoadCipherVector("mode3-3000.zel", &vector, &cipher, &payload));
    const std::string dir = MakeTempFolder("first-start-boxes");
    const std::string plain = dir + "\\payload.bin";
    const std::string encrypted = dir + "\\payloadzel.bin";
    DeleteFileA(encrypted.c_str());
    ASSERT_TRUE(WriteFileBytes(plain, payload));

    ForgetEverything();
    App app;
    ASSERT_TRUE(app.Start("zorvane.exe", dir));
    DWORD pid = app.pid;
    ExpectBox(pid, kFirstUseCaption, kFirstUseText, nullptr);
    HWND change = WaitWindow(pid, "chgpassWindow", kFirstUseTitle);
    ASSERT_TRUE(change != nullptr);
    HWND box = WaitWindow(pid, "#32770", kFirstUseCaption);
    ASSERT_TRUE(box != nullptr);

    // The box for location 3 stays open meanwhile.
    AcceptNewPassword(change, "pw", nullptr);
    HWND options = WaitWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    std::vector<HWND> mains = TopWindows(pid, kMainClass);
    ASSERT_EQ(1u, mains.size());
    EXPECT_FALSE(IsWindowVisible(mains[0])); // still inside its creation
    EXPECT_EQ(mains[0], GetWindow(options, GW_OWNER));
    ASSERT_TRUE(TypeInto(ChildAt(options, "Edit", 5, 50), vector->signature1));
    ASSERT_TRUE(TypeInto(ChildAt(options, "Edit", 5, 90), vector->signature2));
    PressClosing(options, kOptionsOk);
    EXPECT_TRUE(IsWindow(box));
    ExpectBox(pid, kFirstUseCaption, kFirstUseText, nullptr);

    HWND main = WaitWindow(pid, kMainClass, kMainTitle);
    ASSERT_TRUE(main != nullptr);
    EXPECT_EQ(mains[0], main);
    EXPECT_EQ(nullptr, OpenDialog(pid));
    ASSERT_TRUE(Click(main, kMirelock));
    EXPECT_EQ("Select File(s)", AnswerFileDialog(pid, plain.c_str()));
    EXPECT_TRUE(WaitIdle(pid, main, 60000));
    bool found = false;
    std::string written = ReadFileBytes(encrypted, &found);
    EXPECT_TRUE(found);
    EXPECT_TRUE(written == cipher) << "the cipher file is not that of the typed signatures";
    EXPECT_EQ(nullptr, OpenDialog(pid));
    ExpectPasswordView(true);
    app.ExitFrom(main);
}

} // namespace
