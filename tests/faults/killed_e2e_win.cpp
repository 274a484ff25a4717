// The real program killed (TerminateProcess) in the middle of an embedding,
// an extraction (at several points of a 64 MB copy) and an encryption: no
// carrier is lost or cut short, and hidden leftovers do not leak into the next runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/signatureblock.h"
#include "base/signatureform.h"
#include "carrier/trailer.h"
#include "tests/e2e/driver_win.h"

static const char kSignature[] = "Kill me";
static const long long kBig = 64LL * 1024 * 1024;

// The carrier is read while the program may still write to it.
static std::string ReadPrefix(const std::string& path, DWORD count)
{
    return ReadBytesAt(path, 0, count, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

// The trailer of a hidden file of `size` bytes, in the two parts that go
// before and after them (the hidden bytes themselves are a sparse hole).
static void BuildTrailer(long long size, const char* name, std::string* head, std::string* tail)
{
    char form[SIGNATURE_FORM_SIZE];
    ToSignatureForm(kSignature, form);
    unsigned char block[SIGNATURE_BLOCK_SIZE], h[TRAILER_HEAD_SIZE], t[TRAILER_TAIL_SIZE];
    EncodeSignatureBlock((const unsigned char*)form, sizeof form, block);
    EXPECT_EQ(TRAILER_OK, TrailerBuild(block, size, name, h, t));
    head->assign((const char*)h, sizeof h);
    tail->assign((const char*)t, sizeof t);
}

class Killed : public testing::Test {
protected:
    void SetUp() override { StoreCredentials(kSignature, "second", "pw"); }

    // Answers the dialog, and its prompt to create a file that is not there.
    // Before another dialog, waits for this one to go; after the last one it
    // returns at once: the command's copy then runs without answering
    // messages, and asking its windows for their titles would wait for it.
    void Choose(App& app, const std::string& title, const std::string& path, bool last = false)
    {
        bool prompt = !FileIsThere(path);
        EXPECT_EQ(title, AnswerFileDialog(app.pid, path.c_str()));
        if (prompt) {
            EXPECT_NE(nullptr, AnswerBox(app.pid, IDYES, 5000).window);
        }
        // The next dialog must not be mistaken for this one.
        if (!last)
            WaitUntil([&] { return !WaitWindow(app.pid, "#32770", title.c_str(), 0); }, 5000);
    }
    void Embed(App& app, HWND main, const std::string& hidden, const std::string& carrier)
    {
        ASSERT_TRUE(Click(main, 16));
        Choose(app, "Get file to be embedded", hidden);
        Choose(app, "Get carrier file", carrier, true);
    }
    void Extract(App& app, HWND main, const std::string& carrier, const std::string& output)
    {
        ASSERT_TRUE(Click(main, 17));
        HWND window = WaitWindow(app.pid, "ExtractWindow", "Key to extract ...");
        ASSERT_TRUE(window != nullptr);
        TypeInto(NthChild(window, "Edit", 0), kSignature);
        ASSERT_TRUE(Click(window, 19));
        Choose(app, "Get carrier file", carrier);
        Choose(app, "Output file name", output, true);
    }
    // Kills the program once the file grows past `size`, and returns the
    // file's size then. A kill before the file reached `done` (the end of the
    // copy) is counted in midCopyKills.
    long long KillWhenPast(App& app, const std::string& path, long long size, long long done)
    {
        long long now = 0;
        bool past = WaitUntil([&] { return (now = FileSizeOf(path)) > size || now >= done; }, 20000, 0);
        app.Kill();
        midCopyKills += past && now < done;
        return FileSizeOf(path);
    }
    int midCopyKills = 0;

    // Plants hidden leftovers full of junk, as a killed run could leave them.
    static void PlantLeftovers(const std::string& dir)
    {
        for (const char* name : kTemporaryFiles)
            WriteHiddenFile(dir + "\\" + name, std::string(5000, 'J'));
    }

    // After a kill: a run of both commands in the same folder, over the
    // leftovers, gives exact files back.
    void NextRunsAreClean(const std::string& dir)
    {
        PlantLeftovers(dir);
        const std::string own = PseudoRandomBytes(4000, 77), hidden = PseudoRandomBytes(3000, 78);
        ASSERT_TRUE(WriteFileBytes(dir + "\\small.png", own));
        ASSERT_TRUE(WriteFileBytes(dir + "\\small.doc", hidden));
        App app;
        HWND main = app.StartMain(dir);
        ASSERT_TRUE(main != nullptr);
        Embed(app, main, dir + "\\small.doc", dir + "\\small.png");
        WaitUntil([&] { return FileSizeOf(dir + "\\small.png") == 4000 + 3000 + 300; }, 5000, 50);
        Extract(app, main, dir + "\\small.png", dir + "\\small.out");
        WaitUntil([&] { return FileSizeOf(dir + "\\small.png") == 4000; }, 5000, 50);
        EXPECT_TRUE(ReadFileBytes(dir + "\\small.png") == own);
        EXPECT_TRUE(ReadFileBytes(dir + "\\small.out") == hidden);
        EXPECT_TRUE(TopWindows(app.pid, "#32770").empty()) << "a message came up";
        app.ExitFrom(main);
    }
};

TEST_F(Killed, InTheMiddleOfAnEmbedding)
{
    const std::string dir = MakeTempFolder("killed-embed");
    const std::string own = PseudoRandomBytes(1024 * 1024, 5);
    const std::string hidden = dir + "\\big.bin";
    ASSERT_TRUE(MakeSparseFile(hidden, kBig));
    const long long complete = (long long)own.size() + kBig + 300;
    for (int eighth : {1, 4, 7}) {
        SCOPED_TRACE(eighth);
        const std::string carrier = dir + "\\carrier.png";
        ASSERT_TRUE(WriteFileBytes(carrier, own));
        App app;
        HWND main = app.StartMain(dir);
        ASSERT_TRUE(main != nullptr);
        Embed(app, main, hidden, carrier);
        long long seen =
            KillWhenPast(app, carrier, (long long)own.size() + kBig / 8 * eighth, complete);
        printf("[ killed   ] embed: killed at %lld of %lld bytes%s\n", seen, complete,
               seen < complete ? "" : " (the copy had ended)");
        EXPECT_GE(seen, (long long)own.size());
        EXPECT_TRUE(ReadPrefix(carrier, (DWORD)own.size()) == own);
    }
    EXPECT_GT(midCopyKills, 0) << "no kill landed in the middle of the copy";
    NextRunsAreClean(dir);
}

TEST_F(Killed, InTheMiddleOfAnExtraction)
{
    const std::string dir = MakeTempFolder("killed-extract");
    const std::string own = PseudoRandomBytes(1024 * 1024, 6);
    const std::string carrier = dir + "\\carrier.png";
    const std::string output = dir + "\\out.bin";
    const long long complete = (long long)own.size() + kBig + 300;
    std::string head, tail;
    BuildTrailer(kBig, "C:\\big.bin", &head, &tail);
    for (int eighth : {1, 4, 7, 8}) {
        SCOPED_TRACE(eighth);
        // Own bytes, head, a sparse hole of hidden bytes, tail.
        ASSERT_TRUE(WriteFileBytes(carrier, own));
        ASSERT_TRUE(WriteBytesAt(carrier, (long long)own.size(), head));
        ASSERT_TRUE(WriteBytesAt(carrier, (long long)own.size() + 32 + kBig, tail));
        ASSERT_EQ(complete, FileSizeOf(carrier));
        DeleteFileA(output.c_str());
        App app;
        HWND main = app.StartMain(dir);
        ASSERT_TRUE(main != nullptr);
        Extract(app, main, carrier, output);
        long long seen = KillWhenPast(app, output, kBig / 8 * eighth - 1, kBig);
        long long left = FileSizeOf(carrier);
        printf("[ killed   ] extract: killed with %lld of %lld hidden bytes out; carrier %lld\n",
               seen, kBig, left);
        // Whole, or cut to its own bytes once the hidden file was all out.
        EXPECT_TRUE(left == complete || (left == (long long)own.size() && seen == kBig)) << left;
        EXPECT_TRUE(ReadPrefix(carrier, (DWORD)own.size()) == own);
    }
    EXPECT_GT(midCopyKills, 0) << "no kill landed in the middle of the copy";
    NextRunsAreClean(dir);
}

// Killed in the middle of an encryption's byte loop: no cipher file, the
// source untouched; the hidden staging file it leaves does not leak into
// the next encryption, which decrypts back to its source exactly.
TEST_F(Killed, InTheMiddleOfAnEncryption)
{
    const std::string dir = MakeTempFolder("killed-encrypt");
    const std::string source = dir + "\\big.dat", staging = dir + "\\tmpFile.txt";
    const std::string payload = PseudoRandomBytes(8 * 1024 * 1024, 9);
    ASSERT_TRUE(WriteFileBytes(source, payload));
    {
        App app;
        HWND main = app.StartMain(dir);
        ASSERT_TRUE(main != nullptr);
        ASSERT_TRUE(Click(main, 1));
        Choose(app, "Select File(s)", source);
        // The staging writes go out in 64 KiB blocks: the first one shows
        // the byte loop running, and the rest of 8 MB keeps it running.
        WaitUntil([&] { return FileSizeOf(staging) > 0; }, 20000, 10);
        bool busy = FileSizeOf(staging) > 0 && !FileIsThere(dir + "\\bigzel.dat");
        app.Kill();
        EXPECT_TRUE(busy) << "the encryption was not in its byte loop";
        printf("[ killed   ] encrypt: killed in the byte loop: %s\n", busy ? "yes" : "no");
    }
    EXPECT_TRUE(ReadFileBytes(source) == payload);
    EXPECT_FALSE(FileIsThere(dir + "\\bigzel.dat"));
    PlantLeftovers(dir);

    const std::string next = dir + "\\next.dat", plain = PseudoRandomBytes(3000, 10);
    ASSERT_TRUE(WriteFileBytes(next, plain));
    App app;
    HWND main = app.StartMain(dir);
    ASSERT_TRUE(main != nullptr);
    ASSERT_TRUE(Click(main, 1));
    Choose(app, "Select File(s)", next);
    WaitUntil([&] { return !FileIsThere(staging) && FileSizeOf(dir + "\\nextzel.dat") == 3033; },
              20000, 50);
    EXPECT_EQ(3033, FileSizeOf(dir + "\\nextzel.dat"));
    ASSERT_TRUE(Click(main, 2));
    HWND keys = WaitWindow(app.pid, "keyWindow", "Key to unlock ...");
    ASSERT_TRUE(keys != nullptr);
    TypeInto(NthChild(keys, "Edit", 0), kSignature);
    TypeInto(NthChild(keys, "Edit", 1), "second");
    ASSERT_TRUE(Click(keys, 10));
    Choose(app, "Select File(s)", dir + "\\nextzel.dat");
    EXPECT_TRUE(WaitGone(keys, 20000));
    EXPECT_TRUE(ReadFileBytes(dir + "\\nextzelzel.dat") == plain);
    ExpectNoTemporaryFiles(dir, CipherTemporaryFiles());
    EXPECT_TRUE(TopWindows(app.pid, "#32770").empty()) << "a message came up";
    app.ExitFrom(main);
}
