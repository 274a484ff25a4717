// Signatures that load could not rebuild whole: Mirelock and Embed refuse
// before any dialog, in both wordings, and touch nothing, while Unveil and
// Extract (which compare with typed keys) work; once the signature window's
// "OK" has set them, Mirelock and Embed make exact files.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "credentials/credentials_win.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/cipher/vectors.h"
#include "tests/credentials/credentials_fixture_win.h"
#include "tests/support/drive_win.h"

using IncompleteSignaturesTest = CredentialsTest;

namespace {

const char kIncomplete[] =
    "The signatures could not be read completely. Set them again under Signature.";
const char kNotYetSet[] =
    "Create the password and the signatures first: start Zorvane again if their window is "
    "closed.";

} // namespace

TEST_F(IncompleteSignaturesTest, MirelockAndEmbedRefuseUntilTheSignatureWindowSetsThem)
{
    const CipherVector* vector = nullptr;
    std::string cipher, payload;
    ASSERT_TRUE(LoadCipherVector("mode3-3000.zel", &vector, &cipher, &payload));
    const std::string own = PseudoRandomBytes(700, 17);
    const std::string hidden = "the hidden file";

    struct Case {
        const char* name;
        std::function<void()> damage;
        bool password;
        const char* text;
    } cases[] = {
        {"location 3 missing",
         [] { DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey"); }, true, kIncomplete},
        {"a value too short",
         [] {
             WriteStringValue(HKEY_CURRENT_USER, "Control Panel", "Signature2",
                              std::string("b\0", 2));
         },
         true, kIncomplete},
        {"the first start",
         [] { DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT"); }, false, kNotYetSet},
        {"the first start, a password from an earlier run",
         [] { DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT"); }, true, kIncomplete},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StoreFragments("ABCDEFG", "abcdefg");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\MirelockPass");
        if (c.password)
            StorePassword("pw");
        c.damage();
        DestroyCredentialWindows();
        SignatureStoreLoad();
        EXPECT_NE(SIGNATURES_COMPLETE, g_signatureState);
        recorder->messages.clear();

        ScratchDir dir;
        ASSERT_TRUE(WriteFileBytes(dir.Path("plain.bin"), payload));
        ASSERT_TRUE(WriteFileBytes(dir.Path("hidden.bin"), hidden));
        ASSERT_TRUE(WriteFileBytes(dir.Path("carrier.png"), own));
        const std::map<std::string, std::string> before = FolderContents(dir.Root());
        {
            DialogAnswers answers; // refused before any dialog: none is answered
            Click(mainWindow, IDC_MAIN_MIRELOCK);
            Click(mainWindow, IDC_MAIN_EMBED);
            EXPECT_TRUE(answers.titles.empty());
        }
        ExpectSameMessages(*recorder, 2, c.text, "Cannot find signatures due to ...", nullptr,
                           MB_OK | MB_ICONINFORMATION);
        EXPECT_TRUE(before == FolderContents(dir.Root()));

        // Unveil and Extract take typed keys and are not refused.
        ASSERT_TRUE(WriteFileBytes(dir.Path("vector.zel"), cipher));
        ASSERT_TRUE(WriteFileBytes(dir.Path("held.png"),
                                   AppendTrailer(own, "Carry 1", hidden, "C:\\held.txt")));
        RunDecrypt(vector->signature1, vector->signature2, dir.Path("vector.zel").c_str());
        RunExtract("Carry 1", dir.Path("held.png").c_str(), dir.Path("held.txt").c_str());
        CloseCommandWindows();
        EXPECT_TRUE(recorder->messages.size() == 2u);
        EXPECT_TRUE(payload == ReadFileBytes(dir.Path("vectorzel.zel")));
        EXPECT_EQ(hidden, ReadFileBytes(dir.Path("held.txt")));
        EXPECT_TRUE(own == ReadFileBytes(dir.Path("held.png")));

        // The signature window: from the first-use window before any
        // password, from "Signature" after one.
        if (!c.password) {
            HWND change = FindThreadWindow("chgpassWindow", kFirstUseTitle);
            ASSERT_TRUE(change != nullptr);
            SetWindowTextA(NewPasswordBox(change, 1), "pw");
            SetWindowTextA(NewPasswordBox(change, 2), "pw");
            Click(change, IDC_CHGPASS_ACCEPT);
        } else {
            Click(mainWindow, IDC_MAIN_SIGNATURE);
            HWND pass = FindThreadWindow("passWindow", nullptr);
            ASSERT_TRUE(pass != nullptr);
            SetWindowTextA(PasswordBox(pass), "pw");
            Click(pass, IDC_PASS_CONFIRM);
        }
        HWND options = FindThreadWindow("optionWindow", nullptr);
        ASSERT_TRUE(options != nullptr);
        SetWindowTextA(SignatureBox(options, 1), vector->signature1);
        SetWindowTextA(SignatureBox(options, 2), vector->signature2);
        Click(options, IDC_OPTION_OK);
        EXPECT_EQ(SIGNATURES_COMPLETE, g_signatureState);

        recorder->messages.clear();
        {
            DialogAnswers answers;
            answers.Queue(dir.Path("plain.bin").c_str());
            Click(mainWindow, IDC_MAIN_MIRELOCK);
            answers.Queue(dir.Path("hidden.bin").c_str());
            answers.Queue(dir.Path("carrier.png").c_str());
            Click(mainWindow, IDC_MAIN_EMBED);
            EXPECT_EQ(0u, answers.Pending());
        }
        EXPECT_TRUE(recorder->messages.empty());
        EXPECT_TRUE(cipher == ReadFileBytes(dir.Path("plainzel.bin")));
        EXPECT_TRUE(ReadFileBytes(dir.Path("carrier.png")) ==
                    AppendTrailer(own, vector->signature1, hidden, dir.Path("hidden.bin")));
        DestroyCredentialWindows();
    }
}
