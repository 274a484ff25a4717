// zorvane-clean as a real process: the test prepares the registry, starts
// dist/zorvane-clean.exe, answers its message box from outside and checks
// what is left, in-process and with the system's own "reg query".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver_win.h"

namespace {

struct Item {
    HKEY root;
    const char* path;
    const char* value; // nullptr: the key itself
    const char* regPath;
};

// The five items zorvane stores, and the same as "reg query" names them.
const Item kItems[] = {
    {HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT", nullptr, "HKCU\\Software\\MirelockIT"},
    {HKEY_CURRENT_USER, "Control Panel", "Signature1", "HKCU\\Control Panel"},
    {HKEY_CURRENT_USER, "Control Panel", "Signature2", "HKCU\\Control Panel"},
    {HKEY_CURRENT_CONFIG, "Software\\TempKey", nullptr, "HKCC\\Software\\TempKey"},
    {HKEY_LOCAL_MACHINE, "Software\\MirelockPass", nullptr, "HKLM\\Software\\MirelockPass"},
};

void StoreItem(const Item& item)
{
    if (item.value) {
        EXPECT_TRUE(WriteString(item.root, item.path, item.value, "ab"));
    } else {
        EXPECT_TRUE(WriteString(item.root, item.path, "Signature1", "abc"));
        EXPECT_TRUE(WriteString(item.root, item.path, "Signature2", "de"));
    }
}

void RemoveItem(const Item& item)
{
    if (item.value)
        DeleteValue(item.root, item.path, item.value);
    else
        DeleteKeyTree(item.root, item.path);
}

bool ItemPresent(const Item& item)
{
    return item.value ? ReadValue(item.root, item.path, item.value).present
                      : KeyExists(item.root, item.path);
}

// "reg query" succeeds (0) when the key or value is there.
bool RegQuerySeesItem(const Item& item)
{
    std::string line = std::string("reg query \"") + item.regPath + "\"";
    if (item.value)
        line += std::string(" /v ") + item.value;
    return RunAndWait(line, nullptr) == 0;
}

// What the cleaner showed and how it ended.
struct CleanerRun {
    bool boxSeen;
    std::string text;
    bool ownerless;
    bool okOnly;
    DWORD exitCode;
};

// Starts the cleaner, waits for its box, reads it, presses OK.
CleanerRun RunCleaner(const char* shot = nullptr)
{
    CleanerRun run{false, "", false, false, (DWORD)-1};
    App cleaner;
    if (!cleaner.Start("zorvane-clean.exe", MakeTempFolder("cleaner"))) {
        ADD_FAILURE() << "cannot start zorvane-clean.exe in " << g_distDir;
        return run;
    }
    HWND box = WaitWindow(cleaner.pid, "#32770", "Clearing Data ...", 20000);
    if (box) {
        run.boxSeen = true;
        run.text = WindowText(GetDlgItem(box, 0xFFFF));
        run.ownerless = GetWindow(box, GW_OWNER) == nullptr;
        run.okOnly = GetDlgItem(box, IDOK) != nullptr && GetDlgItem(box, IDCANCEL) == nullptr &&
                     GetDlgItem(box, IDNO) == nullptr;
        // The process must still be waiting for the answer.
        EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(cleaner.process, 0));
        if (shot)
            Shot(box, shot);
        EXPECT_TRUE(Click(box, IDOK));
    } else {
        ADD_FAILURE() << "no \"Clearing Data ...\" box";
    }
    if (!cleaner.WaitExit(20000, &run.exitCode))
        ADD_FAILURE() << "zorvane-clean did not end";
    return run;
}

const char kCleared[] = "All data associated with Mirelock is cleared";
const char kNotCleared[] = "Data not cleared properly";

class CleanerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const Item& item : kItems)
            RemoveItem(item);
        EXPECT_TRUE(WriteString(HKEY_CURRENT_USER, "Control Panel", "ZorvaneTestOther", "keep me"));
    }
};

TEST_F(CleanerTest, RemovesEverythingThenFindsNothing)
{
    for (const Item& item : kItems) {
        StoreItem(item);
        ASSERT_TRUE(ItemPresent(item)) << item.regPath << " " << (item.value ? item.value : "");
        EXPECT_TRUE(RegQuerySeesItem(item)) << item.regPath;
    }
    CleanerRun run = RunCleaner("clean-cleared");
    EXPECT_TRUE(run.boxSeen);
    EXPECT_EQ(kCleared, run.text);
    EXPECT_TRUE(run.ownerless);
    EXPECT_TRUE(run.okOnly);
    EXPECT_EQ(0u, run.exitCode);
    for (const Item& item : kItems) {
        EXPECT_FALSE(ItemPresent(item)) << item.regPath << " " << (item.value ? item.value : "");
        EXPECT_FALSE(RegQuerySeesItem(item)) << item.regPath;
    }
    // The "Control Panel" key and its other values stay; so do the parents.
    EXPECT_EQ(0u, RunAndWait("reg query \"HKCU\\Control Panel\" /v ZorvaneTestOther", nullptr));
    Item other = {HKEY_CURRENT_USER, "Control Panel", "ZorvaneTestOther", "HKCU\\Control Panel"};
    EXPECT_TRUE(ItemPresent(other));
    EXPECT_EQ(0u, RunAndWait("reg query \"HKCU\\Software\"", nullptr));

    CleanerRun again = RunCleaner("clean-not-cleared");
    EXPECT_TRUE(again.boxSeen);
    EXPECT_EQ(kNotCleared, again.text);
    EXPECT_EQ(0u, again.exitCode);
    EXPECT_TRUE(ItemPresent(other));
}

TEST_F(CleanerTest, AnySingleItemCountsAsCleared)
{
    for (const Item& item : kItems) {
        StoreItem(item);
        CleanerRun run = RunCleaner();
        EXPECT_EQ(kCleared, run.text) << item.regPath << " " << (item.value ? item.value : "");
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_FALSE(ItemPresent(item)) << item.regPath;
    }
}

} // namespace
