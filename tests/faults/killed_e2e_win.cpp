// The real program killed (TerminateProcess) in the middle of an embedding,
// an extraction (at several points of a 64 MB copy) and an encryption: no
// carrier is lost or cut short, and hidden leftovers do not leak into the next runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/e2e/driver_win.h"

static const char kSignature[] = "Kill me";
static const long long kBig = 64LL * 1024 * 1024;

static long long SizeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

static std::string ReadPrefix(const std::string& path, DWORD count)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    std::string bytes(count, '\0');
    DWORD got = 0;
    ReadFile(h, &bytes[0], count, &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

static std::string Pattern(size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    unsigned state = seed;
    for (size_t k = 0; k < count; k++) {
        state = state * 1103515245u + 12345u;
        bytes[k] = (char)(state >> 16);
    }
    return bytes;
}

// A file of `size` zero bytes whose length is set, not written.
static bool MakeSparse(const std::string& path, long long size)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = size;
    BOOL ok = h != INVALID_HANDLE_VALUE && SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
              SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

static bool Append(const std::string& path, long long at, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER offset;
    offset.QuadPart = at;
    DWORD written = 0;
    BOOL ok = h != INVALID_HANDLE_VALUE && SetFilePointerEx(h, offset, nullptr, FILE_BEGIN) &&
              WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

// The trailer written here from its layout, independently of the program:
// the header scramble of the signature (halves exchanged, XOR 0xF7), 0xF7 up
// to 31 bytes, the separator; then the size field and the name field.
static std::string TrailerHead(const char* signature)
{
    char form[8];
    snprintf(form, sizeof form, "%-7s", signature);
    std::string head;
    for (int k = 0; k < 8; k++) {
        unsigned char c = (unsigned char)(k < 7 ? form[k] : 0);
        head += (char)((((c << 4) | (c >> 4)) & 0xFF) ^ 0xF7);
    }
    head += std::string(23, '\xF7');
    head += '\0';
    return head;
}

static std::string TrailerTail(long long size, const std::string& name)
{
    std::string field = std::to_string(size);
    field.resize(8, '\0');
    std::string nameField = name;
    nameField.resize(260, '\0');
    return field + nameField;
}

class Killed : public testing::Test {
protected:
    void SetUp() override { StoreCredentials(kSignature, "second", "pw"); }

    // Starts the program and waits for its main window.
    HWND Start(App& app, const std::string& dir)
    {
        EXPECT_TRUE(app.Start("zorvane.exe", dir));
        HWND main = WaitWindow(app.pid, "clsWindow", "Zorvane V1.30");
        EXPECT_TRUE(main != nullptr);
        return main;
    }
    // The old-style source chooser carries a static of id 0xFFFF, which the
    // driver's dialog finder takes for a message box: answered here by title.
    static bool AnswerSourceChooser(App& app, const std::string& path)
    {
        HWND dialog = WaitWindow(app.pid, "#32770", "Select File(s)");
        HWND name = dialog ? GetDlgItem(dialog, 0x480) : nullptr;
        return name && TypeInto(name, path) &&
               PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                            (LPARAM)GetDlgItem(dialog, IDOK));
    }
    // Answers the dialog, and its prompt to create a file that is not there.
    // Before another dialog, waits for this one to go; after the last one it
    // returns at once: the command's copy then runs without answering
    // messages, and asking its windows for their titles would wait for it.
    void Choose(App& app, const std::string& title, const std::string& path, bool last = false)
    {
        bool prompt = !Exists(path);
        if (title == "Select File(s)") {
            EXPECT_TRUE(AnswerSourceChooser(app, path));
        } else {
            EXPECT_EQ(title, AnswerFileDialog(app.pid, path.c_str()));
        }
        if (prompt) {
            EXPECT_NE(nullptr, AnswerBox(app.pid, IDYES, 5000).window);
        }
        // The next dialog must not be mistaken for this one.
        for (int k = 0; !last && k < 250 && WaitWindow(app.pid, "#32770", title.c_str(), 0); k++)
            Sleep(20);
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
    // Kills the program once the file grows past `size`; false when it had
    // already reached `done` (the copy ended first).
    static bool KillWhenPast(App& app, const std::string& path, long long size, long long done,
                             long long* seen)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 20000) {
            long long now = SizeOf(path);
            if (now > size || now >= done) {
                app.Kill();
                *seen = SizeOf(path);
                return now < done;
            }
        }
        app.Kill();
        *seen = SizeOf(path);
        return false;
    }

    // Plants hidden leftovers full of junk, as a killed run could leave them.
    static void PlantLeftovers(const std::string& dir)
    {
        for (const char* name : kTemporaryFiles) {
            std::string path = dir + "\\" + name;
            HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_HIDDEN, nullptr);
            std::string junk(5000, 'J');
            DWORD written;
            WriteFile(h, junk.data(), (DWORD)junk.size(), &written, nullptr);
            CloseHandle(h);
        }
    }

    // After a kill: a run of both commands in the same folder, over the
    // leftovers, gives exact files back.
    void NextRunsAreClean(const std::string& dir)
    {
        PlantLeftovers(dir);
        const std::string own = Pattern(4000, 77), hidden = Pattern(3000, 78);
        ASSERT_TRUE(WriteFileBytes(dir + "\\small.png", own));
        ASSERT_TRUE(WriteFileBytes(dir + "\\small.doc", hidden));
        App app;
        HWND main = Start(app, dir);
        ASSERT_TRUE(main != nullptr);
        Embed(app, main, dir + "\\small.doc", dir + "\\small.png");
        for (int k = 0; k < 100 && SizeOf(dir + "\\small.png") != (long long)(4000 + 3000 + 300); k++)
            Sleep(50);
        Extract(app, main, dir + "\\small.png", dir + "\\small.out");
        for (int k = 0; k < 100 && SizeOf(dir + "\\small.png") != 4000; k++)
            Sleep(50);
        EXPECT_TRUE(ReadFileBytes(dir + "\\small.png") == own);
        EXPECT_TRUE(ReadFileBytes(dir + "\\small.out") == hidden);
        EXPECT_TRUE(TopWindows(app.pid, "#32770").empty()) << "a message came up";
        ASSERT_TRUE(Click(main, 1000));
        EXPECT_TRUE(app.WaitExit(10000, nullptr));
    }
};

TEST_F(Killed, InTheMiddleOfAnEmbedding)
{
    const std::string dir = MakeWorkDir("killed-embed");
    const std::string own = Pattern(1024 * 1024, 5);
    const std::string hidden = dir + "\\big.bin";
    ASSERT_TRUE(MakeSparse(hidden, kBig));
    const long long complete = (long long)own.size() + kBig + 300;
    int midCopy = 0;
    for (int eighth : {1, 4, 7}) {
        SCOPED_TRACE(eighth);
        const std::string carrier = dir + "\\carrier.png";
        ASSERT_TRUE(WriteFileBytes(carrier, own));
        App app;
        HWND main = Start(app, dir);
        ASSERT_TRUE(main != nullptr);
        Embed(app, main, hidden, carrier);
        long long seen = 0;
        bool mid = KillWhenPast(app, carrier, (long long)own.size() + kBig / 8 * eighth, complete,
                                &seen);
        midCopy += mid;
        printf("[ killed   ] embed: killed at %lld of %lld bytes%s\n", seen, complete,
               mid ? "" : " (the copy had ended)");
        EXPECT_GE(seen, (long long)own.size());
        EXPECT_TRUE(ReadPrefix(carrier, (DWORD)own.size()) == own);
    }
    EXPECT_GT(midCopy, 0) << "no kill landed in the middle of the copy";
    NextRunsAreClean(dir);
}

TEST_F(Killed, InTheMiddleOfAnExtraction)
{
    const std::string dir = MakeWorkDir("killed-extract");
    const std::string own = Pattern(1024 * 1024, 6);
    const std::string carrier = dir + "\\carrier.png";
    const std::string output = dir + "\\out.bin";
    const long long complete = (long long)own.size() + kBig + 300;
    int midCopy = 0;
    for (int eighth : {1, 4, 7, 8}) {
        SCOPED_TRACE(eighth);
        // Own bytes, head, a sparse hole of hidden bytes, tail.
        ASSERT_TRUE(WriteFileBytes(carrier, own));
        ASSERT_TRUE(Append(carrier, (long long)own.size(), TrailerHead(kSignature)));
        ASSERT_TRUE(Append(carrier, (long long)own.size() + 32 + kBig,
                           TrailerTail(kBig, "C:\\big.bin")));
        ASSERT_EQ(complete, SizeOf(carrier));
        DeleteFileA(output.c_str());
        App app;
        HWND main = Start(app, dir);
        ASSERT_TRUE(main != nullptr);
        Extract(app, main, carrier, output);
        long long seen = 0;
        bool mid = KillWhenPast(app, output, kBig / 8 * eighth - 1, kBig, &seen);
        midCopy += mid;
        long long left = SizeOf(carrier);
        printf("[ killed   ] extract: killed with %lld of %lld hidden bytes out; carrier %lld\n",
               seen, kBig, left);
        // Whole, or cut to its own bytes once the hidden file was all out.
        EXPECT_TRUE(left == complete || (left == (long long)own.size() && seen == kBig)) << left;
        EXPECT_TRUE(ReadPrefix(carrier, (DWORD)own.size()) == own);
    }
    EXPECT_GT(midCopy, 0) << "no kill landed in the middle of the copy";
    NextRunsAreClean(dir);
}

// Killed in the middle of an encryption's byte loop: no cipher file, the
// source untouched; the hidden staging file it leaves does not leak into
// the next encryption, which decrypts back to its source exactly.
TEST_F(Killed, InTheMiddleOfAnEncryption)
{
    const std::string dir = MakeWorkDir("killed-encrypt");
    const std::string source = dir + "\\big.dat", staging = dir + "\\tmpFile.txt";
    const std::string payload = Pattern(8 * 1024 * 1024, 9);
    ASSERT_TRUE(WriteFileBytes(source, payload));
    {
        App app;
        HWND main = Start(app, dir);
        ASSERT_TRUE(main != nullptr);
        ASSERT_TRUE(Click(main, 1));
        Choose(app, "Select File(s)", source);
        // The staging writes go out in 64 KiB blocks: the first one shows
        // the byte loop running, and the rest of 8 MB keeps it running.
        for (int k = 0; k < 2000 && SizeOf(staging) <= 0; k++)
            Sleep(10);
        bool busy = SizeOf(staging) > 0 && !Exists(dir + "\\bigzel.dat");
        app.Kill();
        EXPECT_TRUE(busy) << "the encryption was not in its byte loop";
        printf("[ killed   ] encrypt: killed in the byte loop: %s\n", busy ? "yes" : "no");
    }
    EXPECT_TRUE(ReadFileBytes(source) == payload);
    EXPECT_FALSE(Exists(dir + "\\bigzel.dat"));
    PlantLeftovers(dir);

    const std::string next = dir + "\\next.dat", plain = Pattern(3000, 10);
    ASSERT_TRUE(WriteFileBytes(next, plain));
    App app;
    HWND main = Start(app, dir);
    ASSERT_TRUE(main != nullptr);
    ASSERT_TRUE(Click(main, 1));
    Choose(app, "Select File(s)", next);
    for (int k = 0; k < 400 && (Exists(staging) || SizeOf(dir + "\\nextzel.dat") != 3033); k++)
        Sleep(50);
    EXPECT_EQ(3033, SizeOf(dir + "\\nextzel.dat"));
    ASSERT_TRUE(Click(main, 2));
    HWND keys = WaitWindow(app.pid, "keyWindow", "Key to unlock ...");
    ASSERT_TRUE(keys != nullptr);
    TypeInto(NthChild(keys, "Edit", 0), kSignature);
    TypeInto(NthChild(keys, "Edit", 1), "second");
    ASSERT_TRUE(Click(keys, 10));
    Choose(app, "Select File(s)", dir + "\\nextzel.dat");
    EXPECT_TRUE(WaitGone(keys, 20000));
    EXPECT_TRUE(ReadFileBytes(dir + "\\nextzelzel.dat") == plain);
    for (const std::string& name : CipherTemporaryFiles())
        EXPECT_FALSE(Exists(dir + "\\" + name)) << name;
    EXPECT_TRUE(TopWindows(app.pid, "#32770").empty()) << "a message came up";
    ASSERT_TRUE(Click(main, 1000));
    EXPECT_TRUE(app.WaitExit(10000, nullptr));
}
