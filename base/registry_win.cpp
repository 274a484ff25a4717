// The registry layer: every registry call of zorvane passes here, so a test
// can make any one of them fail with the error it chooses.
#include "base/registry_win.h"

FaultSwitch g_registryFaults = {0, 0, 0, "", "", 0};
LONG g_registryFaultError = ERROR_ACCESS_DENIED;

void RegistryFaultArm(long callNumber, LONG error, long run)
{
    FaultSwitchArm(&g_registryFaults, callNumber, run);
    g_registryFaultError = error;
}

void RegistryFaultDisarm()
{
    FaultSwitchDisarm(&g_registryFaults);
}

static bool FaultNow(const char* operation, const char* name = nullptr)
{
    return FaultSwitchNow(&g_registryFaults, operation, name);
}

// The registry reports its result as a code of its own and leaves the last
// error alone; the layer hands it on the way the file layer does.
static BOOL Result(LONG code)
{
    SetLastError((DWORD)code);
    return code == ERROR_SUCCESS;
}

BOOL RegistryOpen(HKEY root, const char* path, REGSAM access, HKEY* key)
{
    *key = nullptr;
    if (FaultNow("RegistryOpen", path))
        return Result(g_registryFaultError);
    LONG code = RegOpenKeyExA(root, path, 0, access, key);
    if (code != ERROR_SUCCESS)
        *key = nullptr;
    return Result(code);
}

BOOL RegistryCreate(HKEY root, const char* path, REGSAM access, HKEY* key, bool* created)
{
    *key = nullptr;
    *created = false;
    if (FaultNow("RegistryCreate", path))
        return Result(g_registryFaultError);
    DWORD disposition = 0;
    LONG code = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                key, &disposition);
    if (code != ERROR_SUCCESS)
        *key = nullptr;
    else
        *created = disposition == REG_CREATED_NEW_KEY;
    return Result(code);
}

BOOL RegistryQuery(HKEY key, const char* name, DWORD* type, void* data, DWORD* size)
{
    if (FaultNow("RegistryQuery", name))
        return Result(g_registryFaultError);
    return Result(RegQueryValueExA(key, name, nullptr, type, (BYTE*)data, size));
}

BOOL RegistrySet(HKEY key, const char* name, DWORD type, const void* data, DWORD size)
{
    if (FaultNow("RegistrySet", name))
        return Result(g_registryFaultError);
    return Result(RegSetValueExA(key, name, 0, type, (const BYTE*)data, size));
}

BOOL RegistryFlush(HKEY key)
{
    if (FaultNow("RegistryFlush"))
        return Result(g_registryFaultError);
    return Result(RegFlushKey(key));
}

BOOL RegistryClose(HKEY key)
{
    if (key == nullptr)
        return TRUE;
    bool fault = FaultNow("RegistryClose");
    LONG code = RegCloseKey(key);
    return Result(fault ? g_registryFaultError : code);
}

BOOL RegistryDeleteKey(HKEY root, const char* path)
{
    if (FaultNow("RegistryDeleteKey", path))
        return Result(g_registryFaultError);
    return Result(RegDeleteKeyA(root, path));
}

BOOL RegistryDeleteValue(HKEY key, const char* name)
{
    if (FaultNow("RegistryDeleteValue", name))
        return Result(g_registryFaultError);
    return Result(RegDeleteValueA(key, name));
}
