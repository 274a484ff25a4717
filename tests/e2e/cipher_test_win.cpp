// End to end, encrypt and decrypt on the real program: round trips through
// the real dialogs (also a long name with spaces), wrong keys, and large
// files cancelled while encrypting (the busy state put to the test) and
// while decrypting; files that cross with the native zorvane-cli.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/driver_win.h"

namespace {

const int kMirelock = 1, kUnveil = 2, kCancel = 4, kEmbed = 16, kExit = 1000;
const int kKeyOk = 10;

class CipherE2e : public ::testing::Test {
protected:
    // The signatures the program starts with.
    const char* signature1 = "Alpha12";
    const char* signature2 = "beta";

    void SetUp() override
    {
        StoreCredentials(signature1, signature2, "pw");
        dir = MakeTempFolder("cipher");
        main = app.StartMain(dir);
        ASSERT_NE(main, nullptr);
        operationLine = ChildAt(main, "Edit", 5, 30);
        percentage = NthChild(main, "Static", 0);
        ASSERT_NE(operationLine, nullptr);
        ASSERT_NE(percentage, nullptr);
    }

    std::string In(const char* name) const { return dir + "\\" + name; }

    bool WaitIdle(DWORD timeoutMs = 30000) { return ::WaitIdle(app.pid, main, timeoutMs); }

    void Encrypt(const char* name, DWORD timeoutMs = 30000)
    {
        ASSERT_TRUE(Click(main, kMirelock));
        EXPECT_EQ("Select File(s)", AnswerFileDialog(app.pid, name));
        ASSERT_TRUE(WaitIdle(timeoutMs));
    }

    // Opens "Unveil", types the keys, presses OK and picks `name`.
    void Decrypt(const char* key1, const char* key2, const char* name, const char* shot)
    {
        ASSERT_TRUE(Click(main, kUnveil));
        HWND key = WaitWindow(app.pid, "keyWindow", "Key to unlock ...");
        ASSERT_NE(key, nullptr);
        ASSERT_TRUE(TypeInto(ChildAt(key, "Edit", 5, 50), key1));
        ASSERT_TRUE(TypeInto(ChildAt(key, "Edit", 5, 90), key2));
        if (shot)
            Shot(key, shot);
        ASSERT_TRUE(Click(key, kKeyOk));
        EXPECT_EQ("Select File(s)", AnswerFileDialog(app.pid, name));
        keyWindow = key;
    }

    // After a cancel: the busy state gone, `source` as it was, no `output`,
    // the percentage back to its idle `label`, no temporary file.
    void ExpectCancelled(const char* source, const std::string& bytes, const char* output,
                         const char* label)
    {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, kCancel)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, kUnveil)));
        EXPECT_FALSE(FileIsThere(In(output)));
        EXPECT_EQ(bytes, ReadFileBytes(In(source)));
        EXPECT_EQ(label, WindowText(percentage));
        ExpectNoTemporaryFiles(dir, CipherTemporaryFiles());
    }

    App app;
    std::string dir;
    HWND main = nullptr;
    HWND operationLine = nullptr;
    HWND percentage = nullptr;
    HWND keyWindow = nullptr;
};

// "Müller" and "Größe" in Windows-1252, as the signature window keeps them.
class CipherE2eBeyondAscii : public CipherE2e {
protected:
    CipherE2eBeyondAscii()
    {
        signature1 = "M\xFCller";
        signature2 = "Gr\xF6\xDF" "e";
    }
};

// The native zorvane-cli (tests/cli, CrossTest) made clizel.bin with these
// signatures typed as UTF-8 before, and opens windowzel.bin after.
TEST_F(CipherE2eBeyondAscii, FilesCrossWithTheNativeCommandLine)
{
    const char* shared = getenv("ZORVANE_CROSS_DIR");
    ASSERT_NE(shared, nullptr);
    std::string folder = "Z:" + std::string(shared) + "/";
    for (char& c : folder)
        c = c == '/' ? '\\' : c;
    ASSERT_TRUE(WriteFileBytes(In("clizel.bin"), ReadFileBytes(folder + "clizel.bin")));
    Decrypt(signature1, signature2, "clizel.bin", nullptr);
    ASSERT_TRUE(WaitGone(keyWindow));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(2000u, ReadFileBytes(In("clizelzel.bin")).size()) << folder;
    EXPECT_EQ(ReadFileBytes(folder + "cli.bin"), ReadFileBytes(In("clizelzel.bin")));
    std::string plain = PseudoRandomBytes(1500, 1500);
    ASSERT_TRUE(WriteFileBytes(In("window.bin"), plain));
    Encrypt("window.bin");
    ASSERT_TRUE(WriteFileBytes(folder + "window.bin", plain));
    ASSERT_TRUE(WriteFileBytes(folder + "windowzel.bin", ReadFileBytes(In("windowzel.bin"))));
    app.ExitFrom(main);
}

TEST_F(CipherE2e, RoundTripsAndWrongKeys)
{
    struct Case {
        const char* plain;
        const char* cipher;
        const char* decrypted;
        size_t size;
    } cases[] = {
        {"plain.bin", "plainzel.bin", "plainzelzel.bin", 2000},
        {"long name with spaces.bin", "long name with spaceszel.bin",
         "long name with spaceszelzel.bin", 700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plain);
        std::string plain = PseudoRandomBytes(c.size, (unsigned)c.size);
        ASSERT_TRUE(WriteFileBytes(In(c.plain), plain));
        Encrypt(c.plain);
        bool found = false;
        std::string cipher = ReadFileBytes(In(c.cipher), &found);
        EXPECT_TRUE(found);
        EXPECT_EQ(c.size + 33, cipher.size());
        EXPECT_EQ(std::string::npos, cipher.find(plain.substr(0, 64)));
        EXPECT_EQ(plain, ReadFileBytes(In(c.plain)));
        EXPECT_EQ(" 0 % complete", WindowText(percentage));
        ExpectNoTemporaryFiles(dir, CipherTemporaryFiles());

        Decrypt("Alpha12", "beta", c.cipher, c.size == 2000 ? "key" : nullptr);
        ASSERT_TRUE(WaitGone(keyWindow));
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(plain, ReadFileBytes(In(c.decrypted), &found));
        EXPECT_TRUE(found);
        EXPECT_EQ(cipher, ReadFileBytes(In(c.cipher)));
        EXPECT_EQ("0 % complete", WindowText(percentage));
        ExpectNoTemporaryFiles(dir, CipherTemporaryFiles());
    }

    // Wrong Key 2, then wrong Key 1: refused; the output stays empty.
    const char* wrongKeys[][2] = {{"Alpha12", "betA"}, {"alpha12", "beta"}};
    for (auto& keys : wrongKeys) {
        SCOPED_TRACE(std::string(keys[0]) + "/" + keys[1]);
        ASSERT_TRUE(DeleteFileA(In("plainzelzel.bin").c_str()));
        Decrypt(keys[0], keys[1], "plainzel.bin", nullptr);
        Box box = AnswerBox(app.pid, IDOK, 10000, "wrong-key");
        EXPECT_EQ("Signature Error..", box.caption);
        EXPECT_EQ("Wrong Key !!", box.text);
        ASSERT_TRUE(WaitGone(keyWindow));
        ASSERT_TRUE(WaitIdle());
        bool found = false;
        EXPECT_EQ("", ReadFileBytes(In("plainzelzel.bin"), &found));
        EXPECT_TRUE(found);
        ExpectNoTemporaryFiles(dir, CipherTemporaryFiles());
    }
    app.ExitFrom(main);
}

// Large enough that the byte loop runs for seconds under Wine; it is
// cancelled long before its end.
const size_t kLargeSize = 400 * 1024;

// Waits until the command's byte loop runs: the Cancel button is shown and
// "Mirelock" and "Unveil" are hidden. Seen from this process the three
// changes arrive one by one, so all three are waited for.
bool WaitBusy(HWND main)
{
    HWND cancel = GetDlgItem(main, kCancel);
    HWND mirelock = GetDlgItem(main, kMirelock);
    HWND unveil = GetDlgItem(main, kUnveil);
    return WaitUntil([&] {
        return IsWindowVisible(cancel) && !IsWindowVisible(mirelock) && !IsWindowVisible(unveil);
    }, 20000, 10);
}

TEST_F(CipherE2e, BusyWhileEncryptingThenCancel)
{
    std::string large = PseudoRandomBytes(kLargeSize, 7);
    ASSERT_TRUE(WriteFileBytes(In("large.bin"), large));
    ASSERT_TRUE(WriteFileBytes(In("largezel.bin"), "an older output of the same name"));
    ASSERT_TRUE(Click(main, kMirelock));
    EXPECT_EQ("Select File(s)", AnswerFileDialog(app.pid, "large.bin"));

    ASSERT_TRUE(WaitBusy(main));
    HWND cancel = GetDlgItem(main, kCancel);
    EXPECT_EQ("Encrypting file ...", WindowText(operationLine));
    std::string before = WindowText(percentage);

    // The main window refuses to close (the request is handled by the
    // byte loop's pump before this call returns).
    SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr);
    EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main));
    // Exit does not end the program: the pump takes its quit message.
    EXPECT_TRUE(ClickNow(main, kExit));
    Sleep(200);
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(app.process, 0));
    // Embed is refused: no chooser opens.
    EXPECT_TRUE(ClickNow(main, kEmbed));
    EXPECT_EQ(nullptr, OpenDialog(app.pid));
    Shot(main, "main-busy");

    // The percentage label moves, in its running form: "7  %complete" or
    // "42 % complete".
    std::string after;
    WaitUntil([&] { return (after = WindowText(percentage)) != before; }, 5000, 10);
    EXPECT_NE(before, after);
    ASSERT_TRUE(after.size() == 12 || after.size() == 13) << after;
    EXPECT_EQ(after.size() == 12 ? "  %complete" : " % complete",
              after.substr(after.size() == 12 ? 1 : 2));
    ASSERT_TRUE(IsWindowVisible(cancel)) << "the file was done before the checks ended";

    ASSERT_TRUE(Click(main, kCancel));
    ASSERT_TRUE(WaitIdle());
    ExpectCancelled("large.bin", large, "largezel.bin", " 0 % complete");
    EXPECT_TRUE(IsWindow(main));

    // Idle again: Exit ends the program.
    app.ExitFrom(main);
}

TEST_F(CipherE2e, CancelWhileDecrypting)
{
    std::string large = PseudoRandomBytes(200 * 1024, 11);
    ASSERT_TRUE(WriteFileBytes(In("big.bin"), large));
    Encrypt("big.bin", 120000);
    std::string cipher = ReadFileBytes(In("bigzel.bin"));
    ASSERT_EQ(large.size() + 33, cipher.size());

    Decrypt("Alpha12", "beta", "bigzel.bin", nullptr);
    ASSERT_TRUE(WaitBusy(main));
    EXPECT_EQ("Decrypting file ...", WindowText(operationLine));
    ASSERT_TRUE(Click(main, kCancel));
    ASSERT_TRUE(WaitGone(keyWindow));
    ASSERT_TRUE(WaitIdle());
    ExpectCancelled("bigzel.bin", cipher, "bigzelzel.bin", "0 % complete");
    app.ExitFrom(main);
}

} // namespace
