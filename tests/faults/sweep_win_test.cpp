// Fault injection over the four file commands (encrypt, decrypt, embed,
// extract): every file call of a run is made to fail in turn, as an error and
// as a short write, and each run is judged on the user's files, leftovers,
// the message shown, and a clean run of the same command right after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "carrier/carrier_win.h"
#include "cipher/cipher_win.h"
#include "cipher/fileloop_win.h"
#include "credentials/credentials_win.h"
#include "base/fileio_win.h"
#include "base/modal_win.h"
#include "base/pathname.h"
#include "shell/shell_win.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/cipher/vectors.h"
#include "tests/support/drive_win.h"
#include "tests/support/testing_win.h"

// Cases run by every sweep of this program, printed at its end.
static int s_totalCases = 0;

class CaseCountPrinter : public testing::Environment {
public:
    void TearDown() override { printf("[ faults   ] %d fault cases in all\n", s_totalCases); }
};
static testing::Environment* const s_printer =
    testing::AddGlobalTestEnvironment(new CaseCountPrinter);

// One command under the sweep.
struct SweptCommand {
    const char* name;
    // Lays out the inputs as they were before any run, and removes outputs.
    std::function<void()> fresh;
    // Lays out the inputs again, leaving whatever a failed run left behind.
    std::function<void()> again;
    std::function<void()> run;
    // The inputs after any run: unchanged, or (extraction) cut to the
    // carrier's own bytes with the hidden file complete.
    std::function<void()> expectInputsKept;
    // The complete result of a run that went through.
    std::function<void()> expectDone;
    // What a refused run leaves: no partial output, windows as designed.
    std::function<void(const std::string& text)> expectRefused;
    // A message that must come up in the sweep: proof that it reached the
    // copy in the middle of the command, not only the opens around it.
    const char* mustSee;
    // The caption of a question the command asks before it writes (replace
    // an existing output?): answered Yes, and not counted as a message.
    const char* question = nullptr;
};

// Every message of a run but the command's question, answered Yes.
struct SweptMessages : MessageRecorder {
    explicit SweptMessages(const SweptCommand& c) : MessageRecorder(IDYES), question(c.question) {}
    std::vector<RecordedMessage> Shown() const
    {
        std::vector<RecordedMessage> shown;
        for (const RecordedMessage& m : messages) {
            if (question == nullptr || m.caption != question)
                shown.push_back(m);
        }
        return shown;
    }
    const char* question;
};

class FaultSweep : public testing::Test {
protected:
    void SetUp() override { StartCommandsWindow(); }
    void TearDown() override { EndCommandsWindow(); }

    std::string Path(const char* name) const { return scratch.Path(name); }
    std::string Bytes(const char* name) const { return ReadFileBytes(scratch.Path(name)); }
    bool There(const char* name) const { return FileIsThere(scratch.Path(name)); }
    void Write(const char* name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(scratch.Path(name), bytes)) << name;
    }
    void Remove(const char* name) { DeleteFileA(scratch.Path(name).c_str()); }

    void ExpectNoTemporaryFiles() const
    {
        for (const char* name : kTemporaryFiles)
            EXPECT_FALSE(There(name)) << name << " left behind";
    }

    // Loops N = 1, 2, ... for both fault kinds until a run ends without
    // reaching call N; returns the number of runs the fault hit.
    int Sweep(const SweptCommand& command);

    ScratchDir scratch;
    HWND keyWindow = nullptr;
    HWND extractWindow = nullptr;
    // Operations whose failure the commands pass over in silence.
    std::set<std::string> silentOperations;
    // The calls of the run under way, "operation file" (call N at N - 1),
    // up to the one that failed.
    std::vector<std::string> calls;
};

int FaultSweep::Sweep(const SweptCommand& c)
{
    int cases = 0;
    bool seen = false;
    for (FileFaultKind kind : {FILE_FAULT_ERROR, FILE_FAULT_SHORT_WRITE}) {
        long call = 1;
        calls.clear();
        for (;; call++) {
            c.fresh();
            SweptMessages recorder(c);
            FileFaultArm(call, kind);
            c.run();
            long hits = g_fileFaults.hits;
            std::string operation = g_fileFaults.operation;
            std::string faultPath = g_fileFaults.subject;
            std::string faultFile = LastPathComponent(faultPath.c_str());
            FileFaultDisarm();
            const struct {
                std::vector<RecordedMessage> messages;
            } messages = {recorder.Shown()};
            if (hits == 0) {
                // Past the last file call: the plain run.
                c.expectDone();
                EXPECT_TRUE(messages.messages.empty());
                ExpectNoTemporaryFiles();
                break;
            }
            cases++;
            calls.push_back(operation + " " + faultFile);
            SCOPED_TRACE(testing::Message()
                         << c.name << (kind == FILE_FAULT_ERROR ? " error" : " short write")
                         << " at call " << call << ": " << operation << " " << faultPath);
            EXPECT_FALSE(g_busy);
            c.expectInputsKept();
            // A temporary file may stay only when its own deletion failed.
            for (const char* name : kTemporaryFiles) {
                if (There(name)) {
                    EXPECT_EQ("FileDelete", operation) << name << " left behind";
                    EXPECT_EQ(name, faultFile) << name << " left behind";
                }
            }
            if (messages.messages.empty()) {
                // Silence is kept only where nothing was lost.
                silentOperations.insert(faultPath.empty() ? operation : operation + " " + faultFile);
                c.expectDone();
            } else {
                EXPECT_EQ(1u, messages.messages.size());
                const RecordedMessage& m = messages.messages[0];
                EXPECT_TRUE(m.caption == "File Access Error" || m.caption == "Signature Error..")
                    << m.caption;
                EXPECT_EQ((UINT)(MB_ICONERROR | MB_SYSTEMMODAL),
                          m.type & (MB_ICONERROR | MB_SYSTEMMODAL));
                c.expectRefused(m.text);
                seen |= m.text == c.mustSee;
            }
            // The next run starts from whatever this one left and goes through.
            c.again();
            SweptMessages next(c);
            c.run();
            EXPECT_TRUE(next.Shown().empty()) << next.Shown()[0].text;
            c.expectDone();
            ExpectNoTemporaryFiles();
            if (call == 1000) {
                ADD_FAILURE() << "the sweep does not end";
                break;
            }
        }
        EXPECT_GT(call, 5) << "too few file calls seen";
    }
    EXPECT_TRUE(seen) << c.name << ": never saw \"" << c.mustSee << "\"";
    printf("[ faults   ] %s: %d cases; silent on:", c.name, cases);
    for (const std::string& op : silentOperations)
        printf(" %s", op.c_str());
    printf("\n");
    s_totalCases += cases;
    return cases;
}

// An output that is already there (longer than the new one) may stay as it
// was, or go, or hold the whole new content: never a mix of the two.
static const char* VariantName(const char* command, bool older)
{
    static std::string name;
    name = std::string(command) + (older ? " over an older output" : "");
    return name.c_str();
}

// Small payloads: the cipher byte loops pump a message per byte under Wine.
TEST_F(FaultSweep, Encrypt)
{
    const std::string payload = PseudoRandomBytes(150, 14);
    const std::string cipher = EncryptWithLibrary("Sig one", "Sig 2", 3, payload);
    const std::string older(4000, 'o');
    for (bool hasOlder : {false, true}) {
        SweptCommand c;
        c.name = VariantName("encrypt", hasOlder);
        c.mustSee = kErrorOutputDeleted;
        c.fresh = [&] {
            Write("S.TXT", payload);
            if (hasOlder)
                Write("Szel.TXT", older);
            else
                Remove("Szel.TXT");
        };
        c.again = [&] { Write("S.TXT", payload); };
        c.run = [&] { RunEncrypt(Path("S.TXT").c_str()); };
        c.expectInputsKept = [&] { EXPECT_TRUE(Bytes("S.TXT") == payload); };
        c.expectDone = [&] { EXPECT_TRUE(Bytes("Szel.TXT") == cipher); };
        c.expectRefused = [&](const std::string& text) {
            EXPECT_TRUE(!There("Szel.TXT") || (hasOlder && Bytes("Szel.TXT") == older)) << text;
        };
        EXPECT_GT(Sweep(c), 20);
    }
}

TEST_F(FaultSweep, Decrypt)
{
    const std::string payload = PseudoRandomBytes(150, 26);
    const std::string cipher = EncryptWithLibrary("Sig one", "Sig 2", 3, payload);
    const std::string older(4000, 'o');
    for (bool hasOlder : {false, true}) {
        SweptCommand c;
        c.name = VariantName("decrypt", hasOlder);
        c.mustSee = kErrorOutputDeleted;
        c.fresh = [&] {
            Write("Dzel.TXT", cipher);
            if (hasOlder)
                Write("Dzelzel.TXT", older);
            else
                Remove("Dzelzel.TXT");
        };
        c.again = [&] { Write("Dzel.TXT", cipher); };
        c.run = [&] {
            keyWindow = RunDecrypt("Sig one", "Sig 2", Path("Dzel.TXT").c_str()).window;
        };
        c.expectInputsKept = [&] {
            EXPECT_TRUE(Bytes("Dzel.TXT") == cipher);
            EXPECT_FALSE(IsWindow(keyWindow)); // every run ends the key window
        };
        c.expectDone = [&] { EXPECT_TRUE(Bytes("Dzelzel.TXT") == payload); };
        c.expectRefused = [&](const std::string& text) {
            if (text == kWrongKey) {
                // A cipher file that cannot be read checks like a wrong key:
                // the output opened for it stays as it was (a new one empty).
                EXPECT_TRUE(There("Dzelzel.TXT"));
                EXPECT_TRUE(Bytes("Dzelzel.TXT") == (hasOlder ? older : ""));
            } else {
                EXPECT_TRUE(!There("Dzelzel.TXT") || (hasOlder && Bytes("Dzelzel.TXT") == older))
                    << text;
            }
        };
        EXPECT_GT(Sweep(c), 20);
    }
}

// The hidden file spans two of the 1 MiB copy blocks.
TEST_F(FaultSweep, Embed)
{
    const std::string own = PseudoRandomBytes(5000, 31);
    const std::string hidden = PseudoRandomBytes(1536 * 1024, 32);
    Write("h.bin", hidden);
    const std::string complete = AppendTrailer(own, "Sig one", hidden, Path("h.bin"));
    for (bool carrierExists : {true, false}) {
        const std::string before = carrierExists ? own : "";
        const std::string after = complete.substr(carrierExists ? 0 : own.size());
        SweptCommand c;
        c.name = carrierExists ? "embed" : "embed into a new carrier";
        c.mustSee = kAppendFailedRestored;
        c.fresh = [&] {
            Remove("c.png");
            if (carrierExists)
                Write("c.png", own);
        };
        c.again = c.fresh;
        c.run = [&] { RunEmbed(Path("h.bin").c_str(), Path("c.png").c_str()); };
        c.expectInputsKept = [&] {
            EXPECT_TRUE(Bytes("h.bin") == hidden);
            std::string now = Bytes("c.png");
            EXPECT_TRUE(now == before || now == after) << now.size();
        };
        c.expectDone = [&] { EXPECT_TRUE(Bytes("c.png") == after); };
        c.expectRefused = [&](const std::string& text) {
            EXPECT_NE(kAppendFailedNotRestored, text);
            EXPECT_EQ(carrierExists, There("c.png")) << text;
            EXPECT_TRUE(Bytes("c.png") == before) << text;
        };
        EXPECT_GT(Sweep(c), 10);
    }
}

TEST_F(FaultSweep, Extract)
{
    const std::string own = PseudoRandomBytes(5000, 41);
    const std::string hidden = PseudoRandomBytes(1536 * 1024, 42);
    const std::string trailered = AppendTrailer(own, "Sig one", hidden, "C:\\h.bin");
    const std::string older(2 * 1024 * 1024, 'o');
    for (bool hasOlder : {false, true}) {
        SweptCommand c;
        c.name = VariantName("extract", hasOlder);
        c.mustSee = kHiddenWriteFailed;
        c.question = kOutputChooserTitle;
        c.fresh = [&] {
            Write("c.png", trailered);
            if (hasOlder)
                Write("out.bin", older);
            else
                Remove("out.bin");
        };
        c.again = [&] { Write("c.png", trailered); };
        c.run = [&] {
            extractWindow =
                RunExtract("Sig one", Path("c.png").c_str(), Path("out.bin").c_str()).window;
        };
        c.expectInputsKept = [&] {
            // The carrier is its old self, or its own bytes once the hidden
            // file is wholly out; never anything in between.
            std::string now = Bytes("c.png");
            EXPECT_TRUE(now == trailered || (now == own && Bytes("out.bin") == hidden))
                << now.size();
        };
        c.expectDone = [&] {
            EXPECT_TRUE(Bytes("c.png") == own);
            EXPECT_TRUE(Bytes("out.bin") == hidden);
            EXPECT_FALSE(IsWindow(extractWindow));
        };
        c.expectRefused = [&](const std::string& text) {
            EXPECT_TRUE(Bytes("c.png") == trailered) << text;
            std::string out = Bytes("out.bin");
            if (text == kWrongKey) {
                // The stored block could not be read: a mismatch, window closed,
                // the output left as it was (a new one empty), as for any
                // wrong key.
                EXPECT_FALSE(IsWindow(extractWindow));
                EXPECT_TRUE(There("out.bin"));
                EXPECT_TRUE(out == (hasOlder ? older : ""));
            } else {
                // No output, the older one untouched, or the whole hidden
                // file (the carrier could not be cut): never a part of it.
                EXPECT_TRUE(!There("out.bin") || out == hidden || (hasOlder && out == older))
                    << text << ": " << out.size() << " bytes";
                // An older output goes only once a write into it was tried:
                // the first write after the key file is gone.
                auto keyFileGone = std::find(calls.begin(), calls.end(), "FileDelete tmpKeyOut.txt");
                bool wrote = std::find(keyFileGone, calls.end(), "FileWrite ") != calls.end();
                if (hasOlder && !wrote) {
                    EXPECT_TRUE(out == older) << text << ": " << out.size() << " bytes";
                }
                EXPECT_TRUE(IsWindow(extractWindow)) << text;
            }
        };
        EXPECT_GT(Sweep(c), 20);
    }
}
