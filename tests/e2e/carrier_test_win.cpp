// End to end, embed and extract on the real program: a file hidden in a real
// PNG image through the real dialogs, refused with a wrong key (carrier
// unchanged) and taken out with the right one (carrier back to its own bytes).
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/driver_win.h"

namespace {

const int kEmbed = 16, kExtract = 17;
const int kExtractOk = 19;

TEST(CarrierE2e, EmbedThenExtractWithWrongAndRightKey)
{
    StoreCredentials("Carry01", "other", "pw");
    std::string dir = MakeTempFolder("carrier");
    std::string image = ReadFileBytes(TestDataPath("carrier/image.png"));
    ASSERT_FALSE(image.empty());
    std::string hidden;
    for (int k = 0; k < 700; k++)
        hidden += (char)(k * 7 + 3);
    std::string carrierPath = dir + "\\photo.png";
    std::string hiddenPath = dir + "\\hidden.dat";
    ASSERT_TRUE(WriteFileBytes(carrierPath, image));
    ASSERT_TRUE(WriteFileBytes(hiddenPath, hidden));

    App app;
    HWND main = app.StartMain(dir);
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(Click(main, kEmbed));
    EXPECT_EQ("Get file to be embedded", AnswerFileDialog(app.pid, hiddenPath.c_str()));
    EXPECT_EQ("Get carrier file", AnswerFileDialog(app.pid, carrierPath.c_str()));
    std::string embedded;
    WaitUntil([&] {
        return (embedded = ReadFileBytes(carrierPath)).size() == image.size() + hidden.size() + 300;
    }, 10000, 50);
    ASSERT_EQ(image.size() + hidden.size() + 300, embedded.size());
    EXPECT_EQ(image, embedded.substr(0, image.size()));
    EXPECT_EQ(hidden, embedded.substr(image.size() + 32, hidden.size()));
    Sleep(200);
    EXPECT_EQ(nullptr, OpenDialog(app.pid)); // no message on success
    ExpectNoTemporaryFiles(dir, CarrierTemporaryFiles());

    struct Attempt {
        const char* key;
        const char* output;
        bool right;
    } attempts[] = {{"Carry02", "wrong.dat", false}, {"Carry01", "found.dat", true}};
    for (const Attempt& a : attempts) {
        SCOPED_TRACE(a.key);
        ASSERT_TRUE(Click(main, kExtract));
        HWND extract = WaitWindow(app.pid, "ExtractWindow", "Key to extract ...");
        ASSERT_NE(extract, nullptr);
        ASSERT_TRUE(TypeInto(ChildAt(extract, "Edit", 5, 50), a.key));
        if (a.right)
            Shot(extract, "extract");
        ASSERT_TRUE(Click(extract, kExtractOk));
        EXPECT_EQ("Get carrier file", AnswerFileDialog(app.pid, carrierPath.c_str()));
        std::string outputPath = dir + "\\" + a.output;
        EXPECT_EQ("Output file name", AnswerFileDialog(app.pid, outputPath.c_str()));
        // A new name: the dialog asks whether to create it.
        Box prompt = AnswerBox(app.pid, IDYES, 10000, a.right ? nullptr : "create-prompt");
        EXPECT_EQ("Output file name", prompt.caption);
        if (!a.right) {
            Box box = AnswerBox(app.pid, IDOK, 10000, "wrong-key-extract");
            EXPECT_EQ("Signature Error..", box.caption);
            EXPECT_EQ("Wrong Key !!", box.text);
        }
        ASSERT_TRUE(WaitGone(extract));
        EXPECT_EQ(nullptr, OpenDialog(app.pid));
        bool found = false;
        std::string output = ReadFileBytes(outputPath, &found);
        EXPECT_TRUE(found);
        EXPECT_EQ(a.right ? hidden : std::string(), output);
        EXPECT_EQ(a.right ? image : embedded, ReadFileBytes(carrierPath));
        ExpectNoTemporaryFiles(dir, CarrierTemporaryFiles());
    }
    EXPECT_EQ(hidden, ReadFileBytes(hiddenPath));

    app.ExitFrom(main);
}

} // namespace
