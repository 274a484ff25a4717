// End to end: drives the real dist/zorvane.exe from this process through its
// first start (both message boxes, the first-use window, "Options"), checks
// the registry it wrote, restarts it and reads the signatures back through
// "Signature" and the password.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/cleaner/process_win.h"

namespace {

struct ChildSearch {
    const char* className;
    int x, y;
    HWND parent;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param)
{
    ChildSearch* s = (ChildSearch*)param;
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, s->parent, (POINT*)&r, 2);
    if (_stricmp(className, s->className) == 0 && r.left == s->x && r.top == s->y) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}

// A control without a command id, found by its class and position.
HWND ChildAt(HWND parent, const char* className, int x, int y)
{
    ChildSearch s{className, x, y, parent, nullptr};
    EnumChildWindows(parent, MatchChild, (LPARAM)&s);
    EXPECT_TRUE(s.found != nullptr) << className << " at " << x << "," << y;
    return s.found;
}

void Fill(HWND box, const char* text)
{
    SendMessageA(box, WM_SETTEXT, 0, (LPARAM)text);
}

// Waits for a message box of the process, checks it and presses OK.
void AnswerBox(DWORD pid, const char* caption, const char* text)
{
    HWND box = WaitForWindow(pid, "#32770", caption);
    ASSERT_TRUE(box != nullptr);
    EXPECT_EQ(text, TextOf(GetDlgItem(box, 0xFFFF)));
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
    Press(box, IDOK);
    WaitGone(box);
}

struct Program {
    PROCESS_INFORMATION process;
    DWORD pid() const { return process.dwProcessId; }
};

Program Start()
{
    Program p = {};
    if (!StartProgram(WindowsPath(ZORVANE_EXE), &p.process))
        ADD_FAILURE() << "cannot start " << ZORVANE_EXE;
    return p;
}

// "Exit" and the end of the process.
void Stop(Program& p, HWND mainWindow)
{
    Press(mainWindow, 1000);
    EXPECT_EQ(0u, WaitForExit(&p.process));
}

// The data of a value as "reg query" prints it ("    name    REG_SZ    data").
std::string RegQueryData(const char* key, const char* name)
{
    std::string output;
    std::string line = std::string("reg query \"") + key + "\" /v " + name;
    if (RunAndWait(line, &output) != 0)
        return "<missing>";
    std::string marker = "REG_SZ    ";
    size_t at = output.find(marker);
    if (at == std::string::npos)
        return "<unreadable>";
    size_t end = output.find_first_of("\r\n", at);
    return output.substr(at + marker.size(), end - at - marker.size());
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

const char kFirstUseText[] = "This is your first usage of this software";
const char kFirstUseCaption[] = "Cannot find signatures due to ...";
const char kFirstUseTitle[] = "First time user: Create Password and keys";

TEST(FirstStart, CreatesPasswordAndSignaturesThenKeepsThem)
{
    ForgetEverything();
    Program first = Start();
    DWORD pid = first.pid();

    // Location 1 is missing: the first box, then the first-use window.
    AnswerBox(pid, kFirstUseCaption, kFirstUseText);
    HWND change = WaitForWindow(pid, "chgpassWindow", kFirstUseTitle);
    ASSERT_TRUE(change != nullptr);
    EXPECT_EQ(nullptr, GetWindow(change, GW_OWNER));
    // Location 3 is missing too: a second box before the main window shows.
    HWND box = WaitForWindow(pid, "#32770", kFirstUseCaption);
    HWND main = FindProcessWindow(pid, "clsWindow", "Zorvane V1.30");
    EXPECT_TRUE(main == nullptr || !IsWindowVisible(main));
    ASSERT_TRUE(box != nullptr);
    AnswerBox(pid, kFirstUseCaption, kFirstUseText);
    main = WaitForWindow(pid, "clsWindow", "Zorvane V1.30");
    ASSERT_TRUE(main != nullptr);

    Fill(ChildAt(change, "Edit", 110, 30), "Open Sesame");
    Fill(ChildAt(change, "Edit", 110, 70), "Open Sesame");
    Press(change, 15);
    WaitGone(change);
    HWND options = WaitForWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ(main, GetWindow(options, GW_OWNER));
    HWND box1 = ChildAt(options, "Edit", 5, 50);
    HWND box2 = ChildAt(options, "Edit", 5, 90);
    EXPECT_EQ("", TextOf(box1));
    EXPECT_EQ("", TextOf(box2));
    Fill(box1, "Sig1abc");
    Fill(box2, "s2");
    Press(options, 8);
    WaitGone(options);
    EXPECT_EQ(nullptr, FindProcessWindow(pid, "#32770", nullptr));

    // The six fragments of "Sig1abc" and "s2     ", exactly.
    struct Fragment {
        HKEY root;
        const char* path;
        const char* regKey;
        const char* name;
        std::string text;
    } fragments[] = {
        {HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT", "HKCU\\Software\\MirelockIT", "Signature1",
         " gb"},
        {HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT", "HKCU\\Software\\MirelockIT", "Signature2",
         " S"},
        {HKEY_CURRENT_USER, "Control Panel", "HKCU\\Control Panel", "Signature1", "ics"},
        {HKEY_CURRENT_USER, "Control Panel", "HKCU\\Control Panel", "Signature2", "2 "},
        {HKEY_CURRENT_CONFIG, "Software\\TempKey", "HKCC\\Software\\TempKey", "Signature1",
         " 1"},
        {HKEY_CURRENT_CONFIG, "Software\\TempKey", "HKCC\\Software\\TempKey", "Signature2",
         " a"},
    };
    for (const Fragment& f : fragments) {
        EXPECT_EQ(f.text + '\0', ValueBytes(f.root, f.path, f.name)) << f.regKey << " " << f.name;
        EXPECT_EQ(f.text, RegQueryData(f.regKey, f.name)) << f.regKey << " " << f.name;
    }
    std::string output;
    EXPECT_EQ(0u, RunAndWait("reg query \"HKLM\\Software\\MirelockPass\" /v PassName", &output));
    Stop(first, main);

    // The next start finds its signatures and says nothing.
    Program second = Start();
    pid = second.pid();
    main = WaitForWindow(pid, "clsWindow", "Zorvane V1.30");
    ASSERT_TRUE(main != nullptr);
    EXPECT_EQ(nullptr, FindProcessWindow(pid, "#32770", nullptr));
    EXPECT_EQ(nullptr, FindProcessWindow(pid, "chgpassWindow", nullptr));

    // "Signature" and the password show the saved signatures.
    Press(main, 6);
    HWND pass = WaitForWindow(pid, "passWindow", "Password");
    ASSERT_TRUE(pass != nullptr);
    EXPECT_EQ(nullptr, FindProcessWindow(pid, "#32770", nullptr));
    Fill(ChildAt(pass, "Edit", 5, 50), "open sesame");
    Press(pass, 12);
    options = WaitForWindow(pid, "optionWindow", "Options");
    ASSERT_TRUE(options != nullptr);
    EXPECT_EQ("Sig1abc", TextOf(ChildAt(options, "Edit", 5, 50)));
    EXPECT_EQ("s2     ", TextOf(ChildAt(options, "Edit", 5, 90)));
    Press(options, 7);
    WaitGone(options);
    Stop(second, main);
}

} // namespace
