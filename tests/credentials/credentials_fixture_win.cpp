// The credentials' test fixture, window-finding helpers and stored fragments.
#include "tests/credentials/credentials_fixture_win.h"

#include <cstring>

#include "credentials/credentials_win.h"
#include "credentials/fragments.h"

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
    g_changePassword = PASSWORD_TO_SIGNATURES;
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

void DestroyCredentialWindows()
{
    for (const char* name : {"passWindow", "chgpassWindow", "optionWindow"})
        DestroyThreadWindows(name);
    PumpPending();
}

const HKEY kStoreRoots[3] = {HKEY_CURRENT_USER, HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG};
const char* const kStorePaths[3] = {"SOFTWARE\\MIRELOCKIT", "Control Panel", "Software\\TempKey"};

static const char* FragmentName(int f)
{
    return f % 2 ? "Signature2" : "Signature1";
}

void StoreFragments(const char* s1, const char* s2)
{
    for (int f = 0; f < FRAGMENT_COUNT; f++) {
        char text[FRAGMENT_TEXT_SIZE];
        size_t n = SplitFragment(s1, s2, f, text);
        WriteStringValue(kStoreRoots[f / 2], kStorePaths[f / 2], FragmentName(f),
                         std::string(text, n + 1));
    }
}

StoredValue ReadFragment(int f)
{
    return ReadValue(kStoreRoots[f / 2], kStorePaths[f / 2], FragmentName(f));
}

void ExpectFirstUseMessages(const MessageRecorder& recorder, size_t count)
{
    ExpectSameMessages(recorder, count, "This is your first usage of this software",
                       "Cannot find signatures due to ...", nullptr, MB_OK | MB_ICONINFORMATION);
}
