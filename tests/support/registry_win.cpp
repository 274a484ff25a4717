// The per-test registry sandbox and raw registry helpers.
#include "tests/support/registry_win.h"

#include <cstdio>
#include <cstring>

static const HKEY kRoots[] = {HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG, HKEY_LOCAL_MACHINE};
static const char* const kRootNames[] = {"hkcu", "hkcc", "hklm"};

bool DeleteKeyTree(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    char name[256];
    for (;;) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        DeleteKeyTree(key, name);
    }
    RegCloseKey(key);
    return RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

bool DeleteValue(HKEY root, const char* path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    bool ok = RegDeleteValueA(key, name) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

RegistrySandbox::RegistrySandbox()
{
    static unsigned counter = 0;
    char name[128];
    snprintf(name, sizeof name, "Software\\ZorvaneTests\\%lu_%u", GetCurrentProcessId(),
             ++counter);
    root_ = name;
    DeleteKeyTree(HKEY_CURRENT_USER, root_.c_str());
    for (size_t k = 0; k < 3; k++) {
        std::string path = root_ + "\\" + kRootNames[k];
        HKEY scratch;
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &scratch, nullptr);
        HKEY child;
        const char* first = k == 0 ? "Control Panel" : "Software";
        RegCreateKeyExA(scratch, first, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
        RegCloseKey(child);
        if (k == 0) {
            RegCreateKeyExA(scratch, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                            nullptr);
            RegCloseKey(child);
        }
        RegOverridePredefKey(kRoots[k], scratch);
        RegCloseKey(scratch);
    }
}

RegistrySandbox::~RegistrySandbox()
{
    for (HKEY root : kRoots)
        RegOverridePredefKey(root, nullptr);
    DeleteKeyTree(HKEY_CURRENT_USER, root_.c_str());
    // Fails while another test program still has its sandbox there.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZorvaneTests");
}

StoredValue ReadValue(HKEY root, const char* path, const char* name, REGSAM view)
{
    StoredValue value{false, 0, std::string()};
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return value;
    char data[512];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &value.type, (BYTE*)data, &size) == ERROR_SUCCESS) {
        value.present = true;
        value.bytes.assign(data, size);
    }
    RegCloseKey(key);
    return value;
}

bool WriteStringValue(HKEY root, const char* path, const char* name, const std::string& bytes)
{
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)bytes.data(),
                             (DWORD)bytes.size()) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool WriteString(HKEY root, const char* path, const char* name, const char* text)
{
    return WriteStringValue(root, path, name, std::string(text, strlen(text) + 1));
}

bool KeyExists(HKEY root, const char* path, REGSAM view)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

DWORD ValueCount(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return values;
}
