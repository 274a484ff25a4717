// A private registry for one test: HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG and
// HKEY_LOCAL_MACHINE are redirected to fresh scratch keys for its lifetime,
// plus helpers to read and write values there as raw bytes.
#ifndef ZORVANE_TESTS_CREDENTIALS_REGISTRY_SANDBOX_WIN_H
#define ZORVANE_TESTS_CREDENTIALS_REGISTRY_SANDBOX_WIN_H

#include <windows.h>

#include <string>

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
StoredValue ReadValue(HKEY root, const char* path, const char* name);
bool WriteStringValue(HKEY root, const char* path, const char* name, const std::string& bytes);
bool KeyExists(HKEY root, const char* path);
bool DeleteKeyTree(HKEY root, const char* path);
DWORD ValueCount(HKEY root, const char* path);

// Writes the six fragments of two signatures the way save lays them out.
void StoreFragments(const char* s1, const char* s2);

#endif
