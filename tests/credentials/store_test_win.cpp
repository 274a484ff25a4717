// The signature store against the registry: what save writes, what load
// rebuilds, and the first-use path when locations are missing.
#include <gtest/gtest.h>

#include <string>

#include "credentials/credentials_win.h"
#include "tests/credentials/credentials_fixture_win.h"

using StoreTest = CredentialsTest;

struct ExpectedValue {
    HKEY root;
    const char* path;
    const char* name;
    std::string bytes;
};

TEST_F(StoreTest, SaveWritesExactlySixValues)
{
    SetSignatures("ABCDEFG", "abcdefg");
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    SignatureStoreSave();
    const ExpectedValue expected[] = {
        {HKEY_CURRENT_USER, "Software\\MirelockIT", "Signature1", std::string("fCF\0", 4)},
        {HKEY_CURRENT_USER, "Software\\MirelockIT", "Signature2", std::string("eA\0", 3)},
        {HKEY_CURRENT_USER, "Control Panel", "Signature1", std::string("BGa\0", 4)},
        {HKEY_CURRENT_USER, "Control Panel", "Signature2", std::string("bd\0", 3)},
        {HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature1", std::string("gD\0", 3)},
        {HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature2", std::string("cE\0", 3)},
    };
    for (const ExpectedValue& e : expected) {
        StoredValue v = ReadValue(e.root, e.path, e.name);
        EXPECT_TRUE(v.present) << e.path << " " << e.name;
        EXPECT_EQ((DWORD)REG_SZ, v.type) << e.path << " " << e.name;
        EXPECT_EQ(e.bytes, v.bytes) << e.path << " " << e.name;
    }
    EXPECT_EQ(2u, ValueCount(HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT"));
    EXPECT_EQ(2u, ValueCount(HKEY_CURRENT_USER, "Control Panel"));
    EXPECT_EQ(2u, ValueCount(HKEY_CURRENT_CONFIG, "Software\\TempKey"));
    EXPECT_TRUE(recorder->messages.empty());
}

TEST_F(StoreTest, SaveOfSpacesWritesSpacesOnly)
{
    SetSignatures("       ", "       ");
    SignatureStoreSave();
    EXPECT_EQ(std::string("   \0", 4),
              ReadValue(HKEY_CURRENT_USER, "Software\\MirelockIT", "Signature1").bytes);
    EXPECT_EQ(std::string("  \0", 3),
              ReadValue(HKEY_CURRENT_USER, "Software\\MirelockIT", "Signature2").bytes);
    EXPECT_EQ(std::string("   \0", 4),
              ReadValue(HKEY_CURRENT_USER, "Control Panel", "Signature1").bytes);
    EXPECT_EQ(std::string("  \0", 3),
              ReadValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature2").bytes);
}

TEST_F(StoreTest, SaveKeepsOtherControlPanelValues)
{
    WriteStringValue(HKEY_CURRENT_USER, "Control Panel", "Other", std::string("keep\0", 5));
    SignatureStoreSave();
    EXPECT_EQ(std::string("keep\0", 5),
              ReadValue(HKEY_CURRENT_USER, "Control Panel", "Other").bytes);
    EXPECT_EQ(3u, ValueCount(HKEY_CURRENT_USER, "Control Panel"));
}

TEST_F(StoreTest, LoadAfterSaveGivesBothSignaturesBack)
{
    const char* pairs[][2] = {
        {"ABCDEFG", "abcdefg"}, {"       ", "       "}, {"x      ", "  7 9  "},
        {"!\"#$%&'", "\xe9\xe0\xfc\xdf\xa9\xb5\xf8"},
    };
    for (auto& pair : pairs) {
        SetSignatures(pair[0], pair[1]);
        SignatureStoreSave();
        SetSignatures("QQQQQQQ", "QQQQQQQ");
        SignatureStoreLoad();
        EXPECT_EQ(std::string(pair[0], 8), Signature1());
        EXPECT_EQ(std::string(pair[1], 8), Signature2());
    }
    EXPECT_TRUE(recorder->messages.empty());
    EXPECT_EQ(0, g_firstUse);
    EXPECT_EQ(nullptr, FindChgpassWindow(nullptr));
}

TEST_F(StoreTest, SaveUnderMixedCaseAndLoadUnderUpperCaseIsOneKey)
{
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT");
    SetSignatures("1234567", "7654321");
    SignatureStoreSave();
    // One key, whatever case it is listed in.
    HKEY software;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software));
    int matching = 0;
    char name[256];
    DWORD size = sizeof name;
    for (DWORD k = 0; RegEnumKeyExA(software, k, name, &size, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         k++, size = sizeof name)
        matching += _stricmp(name, "mirelockit") == 0;
    RegCloseKey(software);
    EXPECT_EQ(1, matching);
    SetSignatures("QQQQQQQ", "QQQQQQQ");
    SignatureStoreLoad();
    EXPECT_EQ(std::string("1234567", 8), Signature1());
    EXPECT_EQ(std::string("7654321", 8), Signature2());
    EXPECT_EQ(0, g_firstUse);
}

TEST_F(StoreTest, LongerAndShorterValuesLoad)
{
    // Extra characters are ignored; missing ones become spaces.
    WriteStringValue(HKEY_CURRENT_USER, "Control Panel", "Signature2",
                     std::string("bdXYZ\0", 6));
    WriteStringValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature2",
                     std::string("c\0", 2));
    SignatureStoreLoad();
    EXPECT_EQ(std::string("ABCD FG", 8), Signature1());
    EXPECT_EQ(std::string("abcdefg", 8), Signature2());
}

TEST_F(StoreTest, UnreadableValuesBecomeSpaces)
{
    // A value too long for the 30-byte query and a value that is not there.
    WriteStringValue(HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT", "Signature1",
                     std::string(40, 'Z') + std::string(1, '\0'));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_CONFIG, "Software\\TempKey", 0,
                                           KEY_ALL_ACCESS, &key));
    RegDeleteValueA(key, "Signature1");
    RegCloseKey(key);
    SignatureStoreLoad();
    EXPECT_EQ(std::string("AB  E G", 8), Signature1());
    EXPECT_EQ(std::string("abcde  ", 8), Signature2());
    EXPECT_TRUE(recorder->messages.empty());
}

static void ExpectFirstUseMessage(const RecordedMessage& m)
{
    EXPECT_EQ(nullptr, m.owner);
    EXPECT_EQ("This is your first usage of this software", m.text);
    EXPECT_EQ("Cannot find signatures due to ...", m.caption);
    EXPECT_EQ((UINT)(MB_OK | MB_ICONINFORMATION), m.type);
}

TEST_F(StoreTest, LocationOneMissingStartsTheFirstUsePath)
{
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
    // The first-use window must open only after the message box is closed.
    bool windowDuringBox = true;
    recorder->onShow = [&](const RecordedMessage&) {
        windowDuringBox = FindChgpassWindow(nullptr) != nullptr;
    };
    SignatureStoreLoad();
    ASSERT_EQ(1u, recorder->messages.size());
    ExpectFirstUseMessage(recorder->messages[0]);
    EXPECT_FALSE(windowDuringBox);
    EXPECT_EQ(1, g_firstUse);
    HWND window = FindChgpassWindow("First time user: Create Password and keys");
    ExpectWindowPlacement(window, "First time user: Create Password and keys", 200, 200, 300, 200,
                          nullptr);
    // Fragments 3 to 6 are still read; those of location 1 are spaces.
    EXPECT_EQ(std::string(" B DE G", 8), Signature1());
    EXPECT_EQ(std::string("abcd  g", 8), Signature2());
}

TEST_F(StoreTest, LocationThreeMissingGivesOneBoxAndNoFirstUse)
{
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    SignatureStoreLoad();
    ASSERT_EQ(1u, recorder->messages.size());
    ExpectFirstUseMessage(recorder->messages[0]);
    EXPECT_EQ(0, g_firstUse);
    EXPECT_EQ(nullptr, FindChgpassWindow(nullptr));
    EXPECT_EQ(std::string("ABC  FG", 8), Signature1());
    EXPECT_EQ(std::string("ab def ", 8), Signature2());
}

TEST_F(StoreTest, AllThreeMissingGiveThreeBoxes)
{
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
    DeleteKeyTree(HKEY_CURRENT_USER, "Control Panel");
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    int windowsSeen = 0;
    recorder->onShow = [&](const RecordedMessage&) {
        windowsSeen += FindChgpassWindow(nullptr) != nullptr;
    };
    SignatureStoreLoad();
    ASSERT_EQ(3u, recorder->messages.size());
    for (const RecordedMessage& m : recorder->messages)
        ExpectFirstUseMessage(m);
    // The window opened between the first box and the second.
    EXPECT_EQ(2, windowsSeen);
    EXPECT_EQ(1, g_firstUse);
    EXPECT_TRUE(FindChgpassWindow("First time user: Create Password and keys") != nullptr);
    EXPECT_EQ(std::string("       ", 8), Signature1());
    EXPECT_EQ(std::string("       ", 8), Signature2());
}
