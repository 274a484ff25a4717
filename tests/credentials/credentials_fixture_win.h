// The fixture of the credentials' Win32 tests: a private registry holding a
// complete signature store, a recorder for message boxes, and a main window.
#ifndef ZORVANE_TESTS_CREDENTIALS_FIXTURE_WIN_H
#define ZORVANE_TESTS_CREDENTIALS_FIXTURE_WIN_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "shell/shell_win.h"
#include "tests/support/controls_win.h"
#include "tests/support/registry_win.h"
#include "tests/support/testing_win.h"

class CredentialsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Clicks a button of one of our windows by its command id.
    static void Click(HWND window, int id);
    // Sets the program's signatures in memory.
    static void SetSignatures(const char* s1, const char* s2);
    // Stores a password's form under the machine's key, as "Accept" would.
    static void StorePassword(const char* password);
    // Window text and buffer contents as strings of their exact length.
    static std::string Signature1();
    static std::string Signature2();
    // Both buffers hold exactly these seven characters and a NUL.
    static void ExpectSignatures(const char* s1, const char* s2)
    {
        EXPECT_EQ(std::string(s1, 8), Signature1());
        EXPECT_EQ(std::string(s2, 8), Signature2());
    }

    std::unique_ptr<RegistrySandbox> sandbox;
    std::unique_ptr<MessageRecorder> recorder;
    HWND mainWindow = nullptr;
};

// Destroys the windows of this thread with a class of the credentials.
void DestroyCredentialWindows();

// The keys of the three store locations, as the tests name them.
extern const HKEY kStoreRoots[3];
extern const char* const kStorePaths[3];
// Writes the six fragments of two signatures the way save lays them out.
void StoreFragments(const char* s1, const char* s2);
// Fragment f (0 to 5) as stored: location f / 2, value "Signature1" or "Signature2".
StoredValue ReadFragment(int f);

// The one box of the first use, "exactly `count` of it" (none owns it).
void ExpectFirstUseMessages(const MessageRecorder& recorder, size_t count);

#endif
