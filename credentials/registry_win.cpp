// The registry data of zorvane: the signature store (six fragments over
// three keys) and the stored password form under the machine's key, all
// through the registry layer.
#include "credentials/credentials_win.h"

#include <cstring>

#include "base/registry_win.h"
#include "base/wipe.h"
#include "credentials/fragments.h"


// The three locations. Location 1 is opened by save under its mixed-case
// path and created and loaded under the upper-case one: key names compare
// without case, so both name one key.
struct StoreLocation {
    HKEY root;
    const char* savePath;
    const char* createPath;
    const char* loadPath;
};

static const StoreLocation kLocations[STORE_LOCATION_COUNT] = {
    {HKEY_CURRENT_USER, "Software\\MirelockIT", "SOFTWARE\\MIRELOCKIT", "SOFTWARE\\MIRELOCKIT"},
    {HKEY_CURRENT_USER, "Control Panel", "Control Panel", "Control Panel"},
    {HKEY_CURRENT_CONFIG, "Software\\TempKey", "Software\\TempKey", "Software\\TempKey"},
};

const char* const kStoreLocationNames[STORE_LOCATION_COUNT] = {
    "HKEY_CURRENT_USER\\Software\\MirelockIT",
    "HKEY_CURRENT_USER\\Control Panel",
    "HKEY_CURRENT_CONFIG\\Software\\TempKey",
};

// Fragment 2k+1 is "Signature1" and 2k+2 "Signature2" of location k+1.
static const char* const kValueNames[2] = {"Signature1", "Signature2"};

static const char kPasswordKey[] = "Software\\MirelockPass";
static const char kPasswordValue[] = "PassName";

// Opens a key for writing, creating it when it cannot be opened; NULL when
// neither works, with the error in GetLastError(). *created tells whether
// the key is new.
static HKEY OpenForWriting(HKEY root, const char* openPath, const char* createPath, bool* created)
{
    HKEY key = nullptr;
    *created = false;
    if (RegistryOpen(root, openPath, KEY_ALL_ACCESS, &key))
        return key;
    RegistryCreate(root, createPath, KEY_ALL_ACCESS, &key, created);
    return key;
}

// Notes the first error of a location.
static void MarkFailed(StoreSaveResult* result, int location, DWORD error)
{
    if (result->failed & (1u << location))
        return;
    result->failed |= 1u << location;
    result->errors[location] = (LONG)error;
}

// A value as it stood before a save, to be put back if the save cannot finish.
struct PreviousValue {
    bool present;
    DWORD type;
    DWORD size;
    unsigned char data[256];
};

static const char* ValueName(int fragment)
{
    return kValueNames[fragment % 2];
}

// Reads the six values a save is about to replace. FALSE when one exists
// but cannot be read: the save could not undo itself, so it writes nothing.
static BOOL ReadPreviousValues(const HKEY keys[], PreviousValue previous[FRAGMENT_COUNT],
                               StoreSaveResult* result)
{
    for (int f = 0; f < FRAGMENT_COUNT; f++) {
        PreviousValue& value = previous[f];
        value.size = sizeof value.data;
        value.present = RegistryQuery(keys[f / 2], ValueName(f), &value.type, value.data,
                                      &value.size) != FALSE;
        if (!value.present && GetLastError() != ERROR_FILE_NOT_FOUND) {
            MarkFailed(result, f / 2, GetLastError());
            return FALSE;
        }
    }
    return TRUE;
}

// Location 1, 2, 3 in turn; within each "Signature1" before "Signature2",
// then the flush. Stops at the first failure; returns how many values were
// written by then.
static int WriteFragments(const HKEY keys[], const char fragments[][FRAGMENT_TEXT_SIZE],
                          const size_t lengths[], StoreSaveResult* result)
{
    int written = 0;
    for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
        for (int f = 2 * k; f < 2 * k + 2; f++) {
            if (!RegistrySet(keys[k], ValueName(f), REG_SZ, fragments[f], (DWORD)(lengths[f] + 1))) {
                MarkFailed(result, k, GetLastError());
                return written;
            }
            written++;
        }
        if (!RegistryFlush(keys[k])) {
            MarkFailed(result, k, GetLastError());
            return written;
        }
    }
    return written;
}

// The first `count` values as they were before the save: rewritten, or
// removed where there was none; each location touched is flushed.
static BOOL PutBackPreviousValues(const HKEY keys[], const PreviousValue previous[], int count)
{
    for (int f = 0; f < count; f++) {
        const PreviousValue& value = previous[f];
        bool ok = value.present
                      ? RegistrySet(keys[f / 2], ValueName(f), value.type, value.data, value.size)
                      : RegistryDeleteValue(keys[f / 2], ValueName(f)) ||
                            GetLastError() == ERROR_FILE_NOT_FOUND;
        if (!ok || ((f % 2 == 1 || f == count - 1) && !RegistryFlush(keys[f / 2])))
            return FALSE;
    }
    return TRUE;
}

// The last resort: no value at all, which the next start reads as
// signatures that must be set again.
static BOOL RemoveAllValues(const HKEY keys[])
{
    for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
        for (int f = 2 * k; f < 2 * k + 2; f++) {
            if (!RegistryDeleteValue(keys[k], ValueName(f)) && GetLastError() != ERROR_FILE_NOT_FOUND)
                return FALSE;
        }
        if (!RegistryFlush(keys[k]))
            return FALSE;
    }
    return TRUE;
}

// All or nothing: the stored fragments always rebuild one pair of
// signatures the user set, or none (see StoreSaveOutcome). Keys this save
// created are removed again when it leaves nothing of its own in them, so
// that a location 1 made in vain does not end the first-use path.
StoreSaveResult SignatureStoreSave()
{
    StoreSaveResult result = {};
    char copy1[SIGNATURE_FORM_SIZE];
    char copy2[SIGNATURE_FORM_SIZE];
    memcpy(copy1, g_signature1, SIGNATURE_FORM_SIZE);
    memcpy(copy2, g_signature2, SIGNATURE_FORM_SIZE);
    char fragments[FRAGMENT_COUNT][FRAGMENT_TEXT_SIZE];
    size_t lengths[FRAGMENT_COUNT];
    for (int f = 0; f < FRAGMENT_COUNT; f++)
        lengths[f] = SplitFragment(copy1, copy2, f, fragments[f]);

    HKEY keys[STORE_LOCATION_COUNT] = {};
    bool created[STORE_LOCATION_COUNT] = {};
    for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
        const StoreLocation& at = kLocations[k];
        keys[k] = OpenForWriting(at.root, at.savePath, at.createPath, &created[k]);
        if (!keys[k])
            MarkFailed(&result, k, GetLastError());
    }
    PreviousValue previous[FRAGMENT_COUNT] = {};
    int written = 0;
    if (!result.failed && ReadPreviousValues(keys, previous, &result))
        written = WriteFragments(keys, fragments, lengths, &result);

    if (!result.failed)
        result.outcome = SAVE_WRITTEN;
    else if (written == 0)
        result.outcome = SAVE_NOTHING_WRITTEN;
    else if (PutBackPreviousValues(keys, previous, written))
        result.outcome = SAVE_PUT_BACK;
    else if (RemoveAllValues(keys))
        result.outcome = SAVE_REMOVED;
    else
        result.outcome = SAVE_MIXED;
    for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
        RegistryClose(keys[k]);
        bool leftEmpty = result.outcome == SAVE_NOTHING_WRITTEN || result.outcome == SAVE_PUT_BACK;
        if (created[k] && leftEmpty)
            RegistryDeleteKey(kLocations[k].root, kLocations[k].createPath);
    }
    Wipe(copy1, sizeof copy1);
    Wipe(copy2, sizeof copy2);
    Wipe(fragments, sizeof fragments);
    Wipe(previous, sizeof previous);
    return result;
}

// Reads one fragment with the store's size limit. Only what the read
// produced counts as filled; an unreadable value fills nothing.
static void ReadFragment(HKEY key, const char* name, FragmentRead* read)
{
    DWORD type = 0;
    DWORD size = FRAGMENT_QUERY_SIZE;
    read->filled = 0;
    if (!RegistryQuery(key, name, &type, read->text, &size))
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
    OpenChgpassWindow(kFirstUseTitle, nullptr);
}

// Both buffers and their state are settled before the first box: the boxes
// let the first-use windows run, and signatures set there must not be
// overwritten by what was read before.
void SignatureStoreLoad()
{
    FragmentRead fragments[FRAGMENT_COUNT] = {};
    bool missing[STORE_LOCATION_COUNT] = {};
    for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
        const StoreLocation& at = kLocations[k];
        HKEY key = nullptr;
        if (!RegistryOpen(at.root, at.loadPath, KEY_READ, &key)) {
            missing[k] = true;
            continue;
        }
        ReadFragment(key, kValueNames[0], &fragments[2 * k]);
        ReadFragment(key, kValueNames[1], &fragments[2 * k + 1]);
        RegistryClose(key);
    }
    bool complete = ReassembleSignatures(fragments, g_signature1, g_signature2);
    Wipe(fragments, sizeof fragments);
    if (missing[0])
        g_signatureState = SIGNATURES_NOT_YET_SET;
    else
        g_signatureState = complete ? SIGNATURES_COMPLETE : SIGNATURES_INCOMPLETE;

    for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
        if (!missing[k])
            continue;
        ShowCredentialMessage(kFirstUseText, kFirstUseCaption);
        if (k == 0)
            StartFirstUse();
    }
}

BOOL ReadStoredPasswordForm(char out[PASSWORD_BUFFER_SIZE])
{
    HKEY key = nullptr;
    if (!RegistryOpen(HKEY_LOCAL_MACHINE, kPasswordKey, KEY_READ, &key))
        return FALSE;
    // Read aside first: a failed read may leave any bytes in its buffer, and
    // the stored form must stay as it was then. The form is written without
    // its terminator (the registry may or may not add one), so one is put
    // after what was read; a text that fills all 100 bytes is no stored form.
    char text[PASSWORD_BUFFER_SIZE + 1];
    DWORD type = 0;
    DWORD size = PASSWORD_BUFFER_SIZE;
    if (RegistryQuery(key, kPasswordValue, &type, text, &size)) {
        text[size] = '\0';
        size_t length = strlen(text);
        if (length < PASSWORD_BUFFER_SIZE)
            memcpy(out, text, length + 1);
    }
    RegistryClose(key);
    Wipe(text, sizeof text);
    return TRUE;
}

bool PasswordIsStored()
{
    // Every stored form has at least one character: the empty password's is
    // a space.
    char form[PASSWORD_BUFFER_SIZE];
    form[0] = '\0';
    bool stored = ReadStoredPasswordForm(form) && form[0] != '\0';
    Wipe(form, sizeof form);
    return stored;
}

void WriteStoredPasswordForm(const char* form, size_t length)
{
    bool created;
    HKEY key = OpenForWriting(HKEY_LOCAL_MACHINE, kPasswordKey, kPasswordKey, &created);
    if (!key)
        return;
    RegistrySet(key, kPasswordValue, REG_SZ, form, (DWORD)length);
    RegistryFlush(key);
    RegistryClose(key);
}
