// The registry for the tests under Wine, in process and end to end alike:
// values read and written as raw bytes, keys and values removed, and a
// private registry for one in-process test.
#ifndef ZORVANE_TESTS_SUPPORT_REGISTRY_WIN_H
#define ZORVANE_TESTS_SUPPORT_REGISTRY_WIN_H

#include <windows.h>

#include <string>

// While alive, HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG and HKEY_LOCAL_MACHINE
// are redirected to fresh scratch keys of this process.
class RegistrySandbox {
public:
    // The sandbox starts like a fresh system: HKEY_CURRENT_USER holds an empty
    // "Control Panel" key, HKEY_CURRENT_CONFIG and HKEY_LOCAL_MACHINE hold
    // an empty "Software" key.
    RegistrySandbox();
    ~RegistrySandbox();
private:
    std::string root_;
};

// A value as stored: present, type and bytes (the size the registry reports).
struct StoredValue {
    bool present;
    DWORD type;
    std::string bytes;
};
// `view` is 0, KEY_WOW64_32KEY or KEY_WOW64_64KEY.
StoredValue ReadValue(HKEY root, const char* path, const char* name, REGSAM view = 0);
bool KeyExists(HKEY root, const char* path, REGSAM view = 0);
// A REG_SZ value of exactly these bytes (a string's NUL is the caller's to give).
bool WriteStringValue(HKEY root, const char* path, const char* name, const std::string& bytes);
// A REG_SZ value of a string and its NUL.
bool WriteString(HKEY root, const char* path, const char* name, const char* text);
bool DeleteKeyTree(HKEY root, const char* path);
bool DeleteValue(HKEY root, const char* path, const char* name);
DWORD ValueCount(HKEY root, const char* path);

#endif
