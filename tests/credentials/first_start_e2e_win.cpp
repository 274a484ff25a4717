// End to end: drives the real dist/zorvane.exe from this process through its
// first start (both message boxes, the first-use window, "Options"), checks
// the registry it wrote, restarts it, changes the password, reads the
// signatures back through "Signature", and clears it all with zorvane-clean.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver_win.h"

namespace {

const char kMainClass[] = "clsWindow";
const char kMainTitle[] = "Zorvane V1.30";
const int kSignatureButton = 6, kPasswordButton = 13, kAboutButton = 20, kExitButton = 1000;
const int kConfirm = 12, kAccept = 15, kOptionsOk = 8, kOptionsCancel = 7, kAboutDone = 21;

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

// "Exit" and the end of the process with code 0.
void Stop(App& app, HWND mainWindow)
{
    ASSERT_TRUE(Click(mainWindow, kExitButton));
    DWORD code = 1234;
    EXPECT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

std::string ValueBytes(HKEY root, const char* path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char data[64];
    DWORD size = sizeof data;
    std::string bytes = "<missing>";
    if (RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)data, &size) == ERROR_SUCCESS)
        bytes.assign(data, size);
    RegCloseKey(key);
    return bytes;
}

// Everything zorvane stores is removed first: the prefix is a fresh one.
void ForgetEverything()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\MIRELOCKIT");
    RegDeleteKeyA(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\MirelockPass");
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel", 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, "Signature1");
        RegDeleteValueA(key, "Signature2");
        RegCloseKey(key);
    }
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
    if (shot)
        Shot(pass, shot);
    ASSERT_TRUE(Click(pass, kConfirm));
    EXPECT_TRUE(WaitGone(pass));
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
    ASSERT_TRUE(first.Start("zorvane.exe", MakeWorkDir("first-start")));
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

    ASSERT_TRUE(TypeInto(ChildAt(change, "Edit", 110, 30), "Open Sesame"));
    ASSERT_TRUE(TypeInto(ChildAt(change, "Edit", 110, 70), "Open Sesame"));
    Shot(change, "first-time-user");
    ASSERT_TRUE(Click(change, kAccept));
    EXPECT_TRUE(WaitGone(change));
    HWND options = WaitWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ(main, GetWindow(options, GW_OWNER));
    HWND box1 = ChildAt(options, "Edit", 5, 50);
    HWND box2 = ChildAt(options, "Edit", 5, 90);
    ASSERT_TRUE(box1 && box2);
    EXPECT_EQ("", TextOf(box1));
    EXPECT_EQ("", TextOf(box2));
    TypeInto(box1, "Sig1abc");
    TypeInto(box2, "s2");
    Shot(options, "options");
    ASSERT_TRUE(Click(options, kOptionsOk));
    EXPECT_TRUE(WaitGone(options));
    EXPECT_EQ(nullptr, OpenDialog(pid));

    for (const Fragment& f : kFragments) {
        EXPECT_EQ(f.text + '\0', ValueBytes(f.root, f.path, f.name)) << f.regKey << " " << f.name;
        EXPECT_EQ(f.text, RegQueryData(f.regKey, f.name)) << f.regKey << " " << f.name;
    }
    std::string firstForm = RegQueryData("HKLM\\Software\\MirelockPass", "PassName");
    EXPECT_NE("<missing>", firstForm);
    Shot(main, "main");
    Stop(first, main);

    // The next start finds its signatures and says nothing.
    App second;
    ASSERT_TRUE(second.Start("zorvane.exe", MakeWorkDir("first-start")));
    pid = second.pid;
    main = WaitWindow(pid, kMainClass, kMainTitle);
    ASSERT_TRUE(main != nullptr);
    EXPECT_EQ(nullptr, OpenDialog(pid));
    EXPECT_TRUE(TopWindows(pid, "chgpassWindow").empty());

    // About, from outside.
    ASSERT_TRUE(Click(main, kAboutButton));
    HWND about = WaitWindow(pid, "AboutWindow", "About Zorvane V1.30 ...");
    ASSERT_TRUE(about != nullptr);
    Shot(about, "about");
    ASSERT_TRUE(Click(about, kAboutDone));
    EXPECT_TRUE(WaitGone(about));

    // "Signature" and the password (in the other letter case: only three
    // bits of each character count) show the saved signatures.
    ConfirmPassword(pid, main, kSignatureButton, "open sesame", "password");
    options = WaitWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ("Sig1abc", TextOf(ChildAt(options, "Edit", 5, 50)));
    EXPECT_EQ("s2     ", TextOf(ChildAt(options, "Edit", 5, 90)));
    ASSERT_TRUE(Click(options, kOptionsCancel));
    EXPECT_TRUE(WaitGone(options));

    // "Password": the old password opens "Change Password"; a new one of
    // another length is stored.
    ConfirmPassword(pid, main, kPasswordButton, "Open Sesame", nullptr);
    change = WaitWindow(pid, "chgpassWindow", "Change Password");
    ASSERT_TRUE(change != nullptr);
    EXPECT_EQ(main, GetWindow(change, GW_OWNER));
    ASSERT_TRUE(TypeInto(ChildAt(change, "Edit", 110, 30), "Kz9"));
    ASSERT_TRUE(TypeInto(ChildAt(change, "Edit", 110, 70), "Kz9"));
    Shot(change, "change-password");
    ASSERT_TRUE(Click(change, kAccept));
    EXPECT_TRUE(WaitGone(change));
    EXPECT_EQ(nullptr, OpenDialog(pid));
    EXPECT_TRUE(TopWindows(pid, "optionWindow").empty()); // not the first use any more
    // "Kz9": each character keeps its bits 0, 1 and 7; the terminator gives a space.
    std::string newForm = ValueBytes(HKEY_LOCAL_MACHINE, "Software\\MirelockPass", "PassName");
    while (!newForm.empty() && newForm.back() == '\0')
        newForm.pop_back();
    EXPECT_EQ("\xE0\xA0\x60\x20", newForm);

    // "Signature" now refuses the old password ...
    ConfirmPassword(pid, main, kSignatureButton, "Open Sesame", nullptr);
    ExpectBox(pid, "Password confirmation", "Invalid Password", "invalid-password");
    EXPECT_TRUE(TopWindows(pid, "optionWindow").empty());
    // ... and takes the new one.
    ConfirmPassword(pid, main, kSignatureButton, "Kz9", nullptr);
    options = WaitWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ("Sig1abc", TextOf(ChildAt(options, "Edit", 5, 50)));
    ASSERT_TRUE(Click(options, kOptionsCancel));
    EXPECT_TRUE(WaitGone(options));
    Stop(second, main);

    // zorvane-clean removes what the program stored; a second run finds nothing.
    const char* expected[] = {"All data associated with Mirelock is cleared",
                              "Data not cleared properly"};
    for (const char* text : expected) {
        App cleaner;
        ASSERT_TRUE(cleaner.Start("zorvane-clean.exe", MakeWorkDir("first-start")));
        Box answered = AnswerBox(cleaner.pid, IDOK, 20000);
        EXPECT_EQ("Clearing Data ...", answered.caption);
        EXPECT_EQ(text, answered.text);
        DWORD code = 1234;
        EXPECT_TRUE(cleaner.WaitExit(10000, &code));
        EXPECT_EQ(0u, code);
        for (const Fragment& f : kFragments)
            EXPECT_EQ("<missing>", RegQueryData(f.regKey, f.name)) << f.regKey << " " << f.name;
        EXPECT_EQ("<missing>", RegQueryData("HKLM\\Software\\MirelockPass", "PassName"));
    }
}

} // namespace
