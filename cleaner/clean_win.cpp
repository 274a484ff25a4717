// zorvane-clean: removes every registry item zorvane stores (the three
// locations of the signatures and the password store), says whether anything
// was removed, and ends. It shares no code with zorvane, only the layout.
#include <windows.h>

// One step: a parent key opened with full access, then one or two removals
// in it, then a flush and a close.
struct CleanStep {
    HKEY root;
    const char* parent;
    bool removesKeys; // RegDeleteKeyA when true, RegDeleteValueA otherwise
    const char* names[2];
};

static const CleanStep kSteps[] = {
    {HKEY_CURRENT_USER, "Software", true, {"MIRELOCKIT", nullptr}},
    {HKEY_CURRENT_USER, "Control Panel", false, {"Signature1", "Signature2"}},
    {HKEY_CURRENT_CONFIG, "Software", true, {"TempKey", nullptr}},
    {HKEY_LOCAL_MACHINE, "Software", true, {"MirelockPass", nullptr}},
};

static const char kCaption[] = "Clearing Data ...";
static const char kClearedText[] = "All data associated with Mirelock is cleared";
static const char kNotClearedText[] = "Data not cleared properly";

// Runs one step; returns how many of its removals succeeded. A parent that
// cannot be opened counts as a failure of every removal in it.
static int RunStep(const CleanStep& step)
{
    HKEY key;
    if (RegOpenKeyExA(step.root, step.parent, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    int removed = 0;
    for (const char* name : step.names) {
        if (!name)
            continue;
        LONG result = step.removesKeys ? RegDeleteKeyA(key, name) : RegDeleteValueA(key, name);
        if (result == ERROR_SUCCESS)
            removed++;
    }
    RegFlushKey(key);
    RegCloseKey(key);
    return removed;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int removed = 0;
    for (const CleanStep& step : kSteps)
        removed += RunStep(step);
    MessageBoxA(nullptr, removed > 0 ? kClearedText : kNotClearedText, kCaption,
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
