// Every registry call of zorvane: the signature store (six fragments over
// three keys) and the stored password form under the machine's key.
#include "credentials/credentials_win.h"

#include <cstring>

#include "base/wipe.h"
#include "credentials/fragments.h"

char g_signature1[SIGNATURE_SIZE] = "       ";
char g_signature2[SIGNATURE_SIZE] = "       ";
int g_firstUse = 0;

// The three locations. Location 1 is opened by save under its mixed-case
// path and created and loaded under the upper-case one: key names compare
// without case, so both name one key.
struct StoreLocation {
    HKEY root;
    const char* savePath;
    const char* createPath;
    const char* loadPath;
};

static const StoreLocation kLocations[FRAGMENT_COUNT / 2] = {
    {HKEY_CURRENT_USER, "Software\\MirelockIT", "SOFTWARE\\MIRELOCKIT", "SOFTWARE\\MIRELOCKIT"},
    {HKEY_CURRENT_USER, "Control Panel", "Control Panel", "Control Panel"},
    {HKEY_CURRENT_CONFIG, "Software\\TempKey", "Software\\TempKey", "Software\\TempKey"},
};

// Fragment 2k+1 is "Signature1" and 2k+2 "Signature2" of location k+1.
static const char* const kValueNames[2] = {"Signature1", "Signature2"};

static const char kPasswordKey[] = "Software\\MirelockPass";
static const char kPasswordValue[] = "PassName";

// Opens a key for writing, creating it when it cannot be opened; NULL when
// neither works.
static HKEY OpenForWriting(HKEY root, const char* openPath, const char* createPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, openPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS)
        return key;
    key = nullptr;
    DWORD disposition;
    if (RegCreateKeyExA(root, createPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void SignatureStoreSave()
{
    char copy1[SIGNATURE_SIZE];
    char copy2[SIGNATURE_SIZE];
    memcpy(copy1, g_signature1, SIGNATURE_SIZE);
    memcpy(copy2, g_signature2, SIGNATURE_SIZE);
    char fragments[FRAGMENT_COUNT][FRAGMENT_TEXT_SIZE];
    size_t lengths[FRAGMENT_COUNT];
    for (int f = 0; f < FRAGMENT_COUNT; f++)
        lengths[f] = SplitFragment(copy1, copy2, f, fragments[f]);

    // Location 1, 2, 3 in turn; within each "Signature1" before "Signature2".
    // Failures are neither reported nor allowed to stop the next location.
    for (int k = 0; k < FRAGMENT_COUNT / 2; k++) {
        const StoreLocation& at = kLocations[k];
        HKEY key = OpenForWriting(at.root, at.savePath, at.createPath);
        if (!key)
            continue;
        for (int v = 0; v < 2; v++) {
            int f = 2 * k + v;
            RegSetValueExA(key, kValueNames[v], 0, REG_SZ, (const BYTE*)fragments[f],
                           (DWORD)(lengths[f] + 1));
        }
        RegFlushKey(key);
        RegCloseKey(key);
    }
    Wipe(copy1, sizeof copy1);
    Wipe(copy2, sizeof copy2);
}

// Reads one fragment with the store's size limit. Only what the read
// produced counts as filled; an unreadable value fills nothing.
static void ReadFragment(HKEY key, const char* name, FragmentRead* read)
{
    DWORD type = 0;
    DWORD size = FRAGMENT_QUERY_SIZE;
    read->filled = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)read->text, &size) != ERROR_SUCCESS)
        return;
    size_t n = 0;
    while (n < size && n < FRAGMENT_QUERY_SIZE && read->text[n] != '\0')
        n++;
    read->filled = n;
}

// Location 1's absence marks the first start: ask for a password first. The
// main window is still being created, so the window has no owner.
static void StartFirstUse()
{
    g_firstUse = 1;
    OpenChangePasswordWindow(kFirstUseTitle, nullptr);
}

void SignatureStoreLoad()
{
    FragmentRead fragments[FRAGMENT_COUNT] = {};
    for (int k = 0; k < FRAGMENT_COUNT / 2; k++) {
        const StoreLocation& at = kLocations[k];
        HKEY key = nullptr;
        if (RegOpenKeyExA(at.root, at.loadPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            ShowCredentialMessage(kFirstUseText, kFirstUseCaption);
            if (k == 0)
                StartFirstUse();
            continue;
        }
        ReadFragment(key, kValueNames[0], &fragments[2 * k]);
        ReadFragment(key, kValueNames[1], &fragments[2 * k + 1]);
        RegCloseKey(key);
    }
    ReassembleSignatures(fragments, g_signature1, g_signature2);
}

LONG ReadStoredPasswordForm(char out[PASSWORD_BUFFER_SIZE])
{
    HKEY key = nullptr;
    LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPasswordKey, 0, KEY_READ, &key);
    if (opened != ERROR_SUCCESS)
        return opened;
    // Read aside first: a failed read may leave any bytes in its buffer, and
    // the stored form must stay as it was then. The form is written without
    // its terminator (the registry may or may not add one), so one is put
    // after what was read; a text that fills all 100 bytes is no stored form.
    char text[PASSWORD_BUFFER_SIZE + 1];
    DWORD type = 0;
    DWORD size = PASSWORD_BUFFER_SIZE;
    if (RegQueryValueExA(key, kPasswordValue, nullptr, &type, (BYTE*)text, &size) ==
        ERROR_SUCCESS) {
        text[size] = '\0';
        size_t length = strlen(text);
        if (length < PASSWORD_BUFFER_SIZE)
            memcpy(out, text, length + 1);
    }
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

void WriteStoredPasswordForm(const char* form, size_t length)
{
    HKEY key = OpenForWriting(HKEY_LOCAL_MACHINE, kPasswordKey, kPasswordKey);
    if (!key)
        return;
    RegSetValueExA(key, kPasswordValue, 0, REG_SZ, (const BYTE*)form, (DWORD)length);
    RegFlushKey(key);
    RegCloseKey(key);
}
