// Fault injection over the four file commands (encrypt, decrypt, embed,
// extract): every file call of a run is made to fail in turn, as an error and
// as a short write, and each run is judged on the user's files, leftovers,
// the message shown, and a clean run of the same command right after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
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
    std::string name;
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

class FaultSweep : public CommandTest {
protected:
    // Loops N = 1, 2, ... for both fault kinds until a run ends without
    // reaching call N; returns the number of runs the fault hit.
    int Sweep(const SweptCommand& command);
    void SweepCipher(bool decrypt, unsigned seed);

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
        calls.clear();
        std::unique_ptr<SweptMessages> recorder;
        std::string heldAtMessage;
        auto run = [&](long call) {
            c.fresh();
            recorder.reset();
            recorder.reset(new SweptMessages(c));
            // While a failure is shown, the user may already act on the files:
            // the command has closed them.
            heldAtMessage.clear();
            recorder->onShow = [&](const RecordedMessage& m) {
                if (c.question == nullptr || m.caption != c.question)
                    heldAtMessage += HeldFiles(scratch.Root());
            };
            FileFaultArm(call, kind);
            c.run();
        };
        auto judge = [&](const FaultHit& hit) {
            std::string faultFile = LastPathComponent(hit.subject.c_str());
            const std::vector<RecordedMessage> shown = recorder->Shown();
            if (hit.hits == 0) {
                // Past the last file call: the plain run.
                c.expectDone();
                EXPECT_TRUE(shown.empty());
                ExpectNoTemporaryFiles();
                return;
            }
            cases++;
            calls.push_back(hit.operation + " " + faultFile);
            SCOPED_TRACE(testing::Message()
                         << c.name << (kind == FILE_FAULT_ERROR ? " error" : " short write")
                         << " at call " << hit.call << ": " << hit.operation << " " << hit.subject);
            EXPECT_FALSE(g_busy);
            c.expectInputsKept();
            // A temporary file may stay only when its own deletion failed.
            for (const char* name : kTemporaryFiles) {
                if (There(name)) {
                    EXPECT_EQ("FileDelete", hit.operation) << name << " left behind";
                    EXPECT_EQ(name, faultFile) << name << " left behind";
                }
            }
            if (shown.empty()) {
                // Silence is kept only where nothing was lost.
                silentOperations.insert(hit.subject.empty() ? hit.operation
                                                            : hit.operation + " " + faultFile);
                c.expectDone();
            } else {
                EXPECT_EQ(1u, shown.size());
                const RecordedMessage& m = shown[0];
                EXPECT_TRUE(m.caption == "File Access Error" || m.caption == "Signature Error..")
                    << m.caption;
                EXPECT_EQ((UINT)(MB_ICONERROR | MB_SYSTEMMODAL),
                          m.type & (MB_ICONERROR | MB_SYSTEMMODAL));
                c.expectRefused(m.text);
                // A wrong key's box comes before its turn ends (its output stays).
                if (m.text != kWrongKey) {
                    EXPECT_EQ("", heldAtMessage) << "held while \"" << m.text << "\" was shown";
                }
                seen |= m.text == c.mustSee;
            }
            // The next run starts from whatever this one left and goes through.
            c.again();
            SweptMessages next(c);
            c.run();
            EXPECT_TRUE(next.Shown().empty()) << next.Shown()[0].text;
            c.expectDone();
            ExpectNoTemporaryFiles();
        };
        EXPECT_GT(SweepFaults(g_fileFaults, FileFaultDisarm, run, judge), 5)
            << "too few file calls seen";
    }
    EXPECT_TRUE(seen) << c.name << ": never saw \"" << c.mustSee << "\"";
    printf("[ faults   ] %s: %d cases; silent on:", c.name.c_str(), cases);
    for (const std::string& op : silentOperations)
        printf(" %s", op.c_str());
    printf("\n");
    s_totalCases += cases;
    return cases;
}

// Small payloads: the cipher byte loops pump a message per byte under Wine.
// The two cipher commands alike: source `in` (the plain payload, or its
// cipher file), output `out`, with and without an older output there.
void FaultSweep::SweepCipher(bool decrypt, unsigned seed)
{
    const std::string payload = PseudoRandomBytes(150, seed);
    const std::string cipher = EncryptWithLibrary("Sig one", "Sig 2", 3, payload);
    const std::string input = decrypt ? cipher : payload, output = decrypt ? payload : cipher;
    const char* in = decrypt ? "Dzel.TXT" : "S.TXT";
    const char* out = decrypt ? "Dzelzel.TXT" : "Szel.TXT";
    const std::string older(4000, 'o');
    // An output that is already there (longer than the new one) may stay as
    // it was, or go, or hold the whole new content: never a mix of the two.
    for (bool hasOlder : {false, true}) {
        SweptCommand c;
        c.name = std::string(decrypt ? "decrypt" : "encrypt") +
                 (hasOlder ? " over an older output" : "");
        c.mustSee = kErrorOutputDeleted;
        c.fresh = [&] {
            Write(in, input);
            if (hasOlder)
                Write(out, older);
            else
                Remove(out);
        };
        c.again = [&] { Write(in, input); };
        c.run = [&] {
            if (decrypt)
                keyWindow = RunDecrypt("Sig one", "Sig 2", Path(in).c_str()).window;
            else
                RunEncrypt(Path(in).c_str());
        };
        c.expectInputsKept = [&] {
            EXPECT_TRUE(Bytes(in) == input);
            if (decrypt) {
                EXPECT_FALSE(IsWindow(keyWindow)); // every run ends the key window
            }
        };
        c.expectDone = [&] { EXPECT_TRUE(Bytes(out) == output); };
        c.expectRefused = [&](const std::string& text) {
            if (decrypt && text == kWrongKey) {
                // A cipher file that cannot be read checks like a wrong key:
                // the output opened for it stays as it was (a new one empty).
                EXPECT_TRUE(There(out));
                EXPECT_TRUE(Bytes(out) == (hasOlder ? older : ""));
            } else {
                EXPECT_TRUE(!There(out) || (hasOlder && Bytes(out) == older)) << text;
            }
        };
        EXPECT_GT(Sweep(c), 20);
    }
}

TEST_F(FaultSweep, Encrypt)
{
    SweepCipher(false, 14);
}

TEST_F(FaultSweep, Decrypt)
{
    SweepCipher(true, 26);
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
        c.name = hasOlder ? "extract over an older output" : "extract";
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
