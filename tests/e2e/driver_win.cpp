// The end-to-end driver's means of working the real program from outside.
#include "tests/e2e/driver_win.h"

#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

std::string g_distDir = "Z:\\dist";
bool g_shots = false;
bool g_wow64 = false;

bool App::Start(const std::string& exe, const std::string& workDir)
{
    std::string path = g_distDir + "\\" + exe;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    pid = info.dwProcessId;
    return true;
}

HWND App::StartMain(const std::string& workDir)
{
    EXPECT_TRUE(Start("zorvane.exe", workDir)) << workDir;
    HWND main = process ? WaitWindow(pid, "clsWindow", "Zorvane V1.30") : nullptr;
    EXPECT_TRUE(main != nullptr) << "no main window";
    return main;
}

bool App::WaitExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process, exitCode);
    return true;
}

void App::ExitFrom(HWND mainWindow)
{
    ASSERT_TRUE(Click(mainWindow, 1000));
    DWORD code = 1234;
    EXPECT_TRUE(WaitExit(10000, &code));
    EXPECT_EQ(0u, code);
}

void App::Kill()
{
    if (process) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
        process = nullptr;
    }
}

App::~App()
{
    Kill();
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(stepMs);
    }
    return true;
}

// The first visible top-level window of the process with this class and
// title (nullptr: any), or nullptr.
static HWND VisibleWindow(DWORD pid, const char* className, const char* title)
{
    for (HWND w : TopWindows(pid, className, title)) {
        if (IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

HWND WaitWindow(DWORD pid, const char* className, const char* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = VisibleWindow(pid, className, title)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

bool WaitIdle(DWORD pid, HWND mainWindow, DWORD timeoutMs)
{
    HWND operationLine = ChildAt(mainWindow, "Edit", 5, 30);
    return WaitUntil([&] {
        return operationLine && WindowText(operationLine).empty() &&
               IsWindowVisible(GetDlgItem(mainWindow, 1)) && OpenDialog(pid) == nullptr;
    }, timeoutMs, 50);
}

bool Click(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

bool ClickNow(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    return button &&
           SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr) != 0;
}

HWND NthChild(HWND window, const char* className, int n)
{
    std::vector<HWND> children = ChildWindows(window, className);
    return n < (int)children.size() ? children[n] : nullptr;
}

HWND ChildAt(HWND window, const char* className, int x, int y)
{
    for (HWND child : ChildWindows(window, className)) {
        RECT r = ChildRect(window, child);
        if (r.left == x && r.top == y)
            return child;
    }
    return nullptr;
}

bool TypeInto(HWND edit, const std::string& text)
{
    return edit && SendMessageTimeoutA(edit, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG,
                                       5000, nullptr);
}

void Shot(HWND window, const char* name)
{
    if (!g_shots || window == nullptr)
        return;
    // Raised above the other windows (the first-use window opens behind the
    // main window), then given time to paint.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(400);
    RECT r;
    GetWindowRect(window, &r);
    printf("SHOT %s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
    fflush(stdout);
    char line[16];
    if (!fgets(line, sizeof line, stdin))
        g_shots = false; // nobody takes pictures any more
}

// The name field of an open-file dialog, old-style (0x480) or Explorer-style
// (0x47c, a combo box with an edit inside); nullptr for any other window.
static HWND NameField(HWND dialog)
{
    HWND field = GetDlgItem(dialog, 0x480);
    if (field)
        return field;
    HWND combo = GetDlgItem(dialog, 0x47c);
    if (!combo)
        return nullptr;
    field = FindWindowExA(combo, nullptr, "ComboBox", nullptr);
    field = field ? FindWindowExA(field, nullptr, "Edit", nullptr) : nullptr;
    if (!field)
        field = FindWindowExA(combo, nullptr, "Edit", nullptr);
    return field ? field : combo;
}

static bool IsFileDialog(HWND dialog)
{
    return NameField(dialog) != nullptr;
}

HWND OpenDialog(DWORD pid)
{
    return VisibleWindow(pid, "#32770", nullptr);
}

Box AnswerBox(DWORD pid, int button, DWORD timeoutMs, const char* shot)
{
    Box box;
    DWORD start = GetTickCount();
    do {
        for (HWND w : TopWindows(pid, "#32770")) {
            HWND text = GetDlgItem(w, 0xFFFF);
            if (!IsWindowVisible(w) || text == nullptr || IsFileDialog(w))
                continue; // not shown yet, or an open-file dialog (its labels are 0xFFFF too)
            box.window = w;
            box.caption = WindowText(w);
            box.text = WindowText(text);
            if (shot)
                Shot(w, shot);
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(w, button));
            WaitGone(w, 5000);
            return box;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return box;
}

std::string AnswerFileDialog(DWORD pid, const char* name, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        for (HWND w : TopWindows(pid, "#32770")) {
            HWND field = IsWindowVisible(w) ? NameField(w) : nullptr;
            if (!field)
                continue;
            std::string title = WindowText(w);
            int button = name ? IDOK : IDCANCEL;
            if (name && !TypeInto(field, name))
                return ""; // the name could not be typed
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(w, button));
            // Gone, or disabled under a question of its own (the create prompt):
            // either way the next search must not find this dialog again.
            WaitUntil([&] { return !IsWindow(w) || !IsWindowEnabled(w); }, 5000);
            return title;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return "";
}

void StoreCredentials(const char* signature1, const char* signature2, const char* password)
{
    // The stored layout, written out independently of the program's own code:
    // fragments of both signatures spread over three keys.
    char s1[8], s2[8];
    snprintf(s1, sizeof s1, "%-7s", signature1);
    snprintf(s2, sizeof s2, "%-7s", signature2);
    const char f1[] = {s2[5], s1[2], s1[5], 0};
    const char f2[] = {s2[4], s1[0], 0};
    const char f3[] = {s1[1], s1[6], s2[0], 0};
    const char f4[] = {s2[1], s2[3], 0};
    const char f5[] = {s2[6], s1[3], 0};
    const char f6[] = {s2[2], s1[4], 0};
    WriteString(HKEY_CURRENT_USER, "Software\\MirelockIT", "Signature1", f1);
    WriteString(HKEY_CURRENT_USER, "Software\\MirelockIT", "Signature2", f2);
    WriteString(HKEY_CURRENT_USER, "Control Panel", "Signature1", f3);
    WriteString(HKEY_CURRENT_USER, "Control Panel", "Signature2", f4);
    WriteString(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature1", f5);
    WriteString(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature2", f6);
    if (password) {
        std::string form;
        size_t n = strlen(password);
        for (size_t k = 0; k <= n; k++) {
            unsigned char c = (unsigned char)password[k];
            unsigned char t = (unsigned char)(((c << 6) & 0xFF) | (c >= 0x80 ? 0x3F : 0x00));
            form += (char)(t ^ 0x20);
        }
        WriteString(HKEY_LOCAL_MACHINE, "Software\\MirelockPass", "PassName", form.c_str());
    }
}

DWORD RunAndWait(const std::string& commandLine, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return (DWORD)-1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(writeEnd);
    DWORD code = (DWORD)-1;
    if (started) {
        char chunk[512];
        DWORD got;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            if (output)
                output->append(chunk, got);
        }
        if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return code;
}

std::string RegQueryData(const char* key, const char* name)
{
    std::string output;
    std::string line = std::string("reg query \"") + key + "\" /v " + name;
    if (RunAndWait(line, &output) != 0)
        return "<missing>";
    // "    name    REG_SZ    data"
    std::string marker = "REG_SZ    ";
    size_t at = output.find(marker);
    if (at == std::string::npos)
        return "<unreadable>";
    size_t end = output.find_first_of("\r\n", at);
    return output.substr(at + marker.size(), end - at - marker.size());
}
