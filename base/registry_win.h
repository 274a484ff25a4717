// The one registry layer of zorvane: thin wrappers over the Win32 registry
// calls, plus a fault switch a test can arm to make the Nth call fail with a
// chosen error. Like the file layer, every call returns BOOL; on failure the
// registry's own result code is in GetLastError(), to be read at once.
#ifndef ZORVANE_BASE_REGISTRY_WIN_H
#define ZORVANE_BASE_REGISTRY_WIN_H

#include <windows.h>

#include "base/faultswitch.h"

// RegOpenKeyExA; *key is NULL on failure.
BOOL RegistryOpen(HKEY root, const char* path, REGSAM access, HKEY* key);
// RegCreateKeyExA (no class, non-volatile, default security): opens the key
// or creates it; *created tells whether this call made it. *key is NULL on
// failure.
BOOL RegistryCreate(HKEY root, const char* path, REGSAM access, HKEY* key, bool* created);
// RegQueryValueExA; *size is the buffer size on entry and the data size on
// success.
BOOL RegistryQuery(HKEY key, const char* name, DWORD* type, void* data, DWORD* size);
// RegSetValueExA with exactly `size` bytes of data.
BOOL RegistrySet(HKEY key, const char* name, DWORD type, const void* data, DWORD size);
BOOL RegistryFlush(HKEY key);
// A failed close still releases the key.
BOOL RegistryClose(HKEY key);
// RegDeleteKeyA: removes a key that has no subkeys.
BOOL RegistryDeleteKey(HKEY root, const char* path);
// RegDeleteValueA: removes one value of an open key.
BOOL RegistryDeleteValue(HKEY key, const char* name);

// Fault switch, for tests. Armed with N > 0, the Nth call of the layer from
// then on fails with `error` and does nothing (a close still closes); with a
// run R, the R calls from the Nth on.
extern FaultSwitch g_registryFaults;
extern LONG g_registryFaultError;
void RegistryFaultArm(long callNumber, LONG error, long run = 1);
void RegistryFaultDisarm();

#endif
