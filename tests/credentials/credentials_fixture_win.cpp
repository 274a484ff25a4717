// The credentials' test fixture and window-finding helpers.
#include "tests/credentials/credentials_fixture_win.h"

#include <cstring>
#include <vector>

#include "credentials/credentials_win.h"

void CredentialsTest::SetUp()
{
    sandbox.reset(new RegistrySandbox());
    StoreFragments("ABCDEFG", "abcdefg");
    recorder.reset(new MessageRecorder());
    mainWindow = CreateTestMainWindow();
    ASSERT_TRUE(mainWindow != nullptr);
    PumpPending();
    DestroyCredentialWindows();
    recorder->messages.clear();
    g_firstUse = 0;
    g_changePassword = 0;
    g_passwordAccepted = 0;
    g_storedPasswordForm[0] = '\0';
    SetSignatures("ABCDEFG", "abcdefg");
}

void CredentialsTest::TearDown()
{
    DestroyCredentialWindows();
    DestroyTestMainWindow();
    recorder.reset();
    sandbox.reset();
}

void CredentialsTest::Click(HWND window, int id)
{
    ASSERT_TRUE(IsWindow(window));
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 (LPARAM)GetDlgItem(window, id));
    PumpPending();
}

void CredentialsTest::SetSignatures(const char* s1, const char* s2)
{
    memcpy(g_signature1, s1, SIGNATURE_FORM_SIZE);
    memcpy(g_signature2, s2, SIGNATURE_FORM_SIZE);
    g_signatureState = SIGNATURES_COMPLETE;
}

void CredentialsTest::StorePassword(const char* password)
{
    char form[PASSWORD_BUFFER_SIZE];
    size_t n = BuildStoredPasswordForm(password, form);
    WriteStringValue(HKEY_LOCAL_MACHINE, "Software\\MirelockPass", "PassName",
                     std::string(form, n));
}

std::string CredentialsTest::Signature1()
{
    return std::string(g_signature1, SIGNATURE_FORM_SIZE);
}

std::string CredentialsTest::Signature2()
{
    return std::string(g_signature2, SIGNATURE_FORM_SIZE);
}

HWND FindPassWindow()
{
    return FindThreadWindow("passWindow", nullptr);
}

HWND FindChgpassWindow(const char* title)
{
    return FindThreadWindow("chgpassWindow", title);
}

HWND FindOptionWindow()
{
    return FindThreadWindow("optionWindow", nullptr);
}

void DestroyCredentialWindows()
{
    static const char* const classes[] = {"passWindow", "chgpassWindow", "optionWindow"};
    for (const char* name : classes) {
        HWND window;
        while ((window = FindThreadWindow(name, nullptr)) != nullptr)
            DestroyWindow(window);
    }
    PumpPending();
}

static BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    ((std::vector<HWND>*)param)->push_back(child);
    return TRUE;
}

void ExpectControlsMatch(HWND window, const ControlSpec* table, size_t count)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, (LPARAM)&children);
    EXPECT_EQ(count, children.size());
    std::vector<bool> used(children.size(), false);
    for (size_t k = 0; k < count; k++) {
        const ControlSpec& row = table[k];
        bool found = false;
        for (size_t c = 0; c < children.size() && !found; c++) {
            char className[64];
            GetClassNameA(children[c], className, sizeof className);
            RECT r;
            GetWindowRect(children[c], &r);
            MapWindowPoints(nullptr, window, (POINT*)&r, 2);
            if (used[c] || _stricmp(className, row.className) != 0 ||
                GetDlgCtrlID(children[c]) != row.id || r.left != row.x || r.top != row.y ||
                r.right - r.left != row.width || r.bottom - r.top != row.height)
                continue;
            found = true;
            used[c] = true;
            DWORD style = (DWORD)GetWindowLongA(children[c], GWL_STYLE);
            DWORD exStyle = (DWORD)GetWindowLongA(children[c], GWL_EXSTYLE);
            EXPECT_EQ(row.style, style & row.style) << "row " << k;
            EXPECT_EQ(row.exStyle, exStyle & row.exStyle) << "row " << k;
            if (_stricmp(row.className, "Edit") != 0) {
                EXPECT_EQ(std::string(row.text), WindowText(children[c])) << "row " << k;
            }
        }
        EXPECT_TRUE(found) << "no control for row " << k << " (" << row.className << " \""
                           << row.text << "\")";
    }
}

void ExpectWindowPlacement(HWND window, const char* title, int x, int y, int width, int height,
                           HWND owner)
{
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(std::string(title), WindowText(window));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(x, r.left);
    EXPECT_EQ(y, r.top);
    EXPECT_EQ(width, r.right - r.left);
    EXPECT_EQ(height, r.bottom - r.top);
    EXPECT_EQ(owner, GetWindow(window, GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(window));
    DWORD style = (DWORD)GetWindowLongA(window, GWL_STYLE);
    DWORD want = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(want, style & want);
}
