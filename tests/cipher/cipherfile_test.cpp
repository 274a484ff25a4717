// Output names, decrypt verdicts, the selection splitting of the file loop,
// and the known-answer cipher files decrypted and re-made by the library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cipher/cipherfile.h"
#include "cipher/transform.h"
#include "shell/selection.h"
#include "tests/support/sha256.h"
#include "tests/cipher/vectors.h"

TEST(OutputName, MarkerBeforeTheLastFourCharacters)
{
    // `utf8`: the command-line program's rule on UTF-8 text, when it differs.
    struct Case {
        const char* path;
        const char* name;
        const char* utf8 = nullptr;
    };
    const Case cases[] = {
        {"C:\\DATA\\REPORT.DOC", "C:\\DATA\\REPORTzel.DOC"},
        {"C:\\DATA\\README", "C:\\DATA\\REzelADME"},
        {"C:\\DATA\\A.GZ", "C:\\DATA\\zelA.GZ"},
        {"C:\\DATA\\REPORTzel.DOC", "C:\\DATA\\REPORTzelzel.DOC"},
        {"C:\\\\A.TXT", "C:\\\\Azel.TXT"},
        // File names under four characters: the marker goes before the name,
        // never into the folder part or before the drive.
        {"C:\\DATA\\ABC", "C:\\DATA\\zelABC"},
        {"C:\\A", "C:\\zelA"},
        {"C:\\", "C:\\zel"},
        {"AB", "zelAB"},
        {"", "zel"},
        {"D:X.Y", "D:zelX.Y"},
        // A separator as the very first character counts too.
        {"\\AB", "\\zelAB"},
        {"/ab", "/zelab"},
        // UTF-8 characters are never cut; bytes that are not UTF-8 count one each.
        {"\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82", "\xD0\x9E\xD1\x82\xD1\x87zel\xD1\x91\xD1\x82",
         "\xD0\x9Ezel\xD1\x82\xD1\x87\xD1\x91\xD1\x82"},
        {"/d/\xC3\xBC" "ber", "/d/\xC3zel\xBC" "ber", "/d/zel\xC3\xBC" "ber"},
        {"a\xF0\x9F\x98\x80" "b.c", "a\xF0\x9F\x98zel\x80" "b.c", "azel\xF0\x9F\x98\x80" "b.c"},
        {"\x80\x80\x80\x80\x80" "a", "\x80\x80zel\x80\x80\x80" "a", "zel\x80\x80\x80\x80\x80" "a"},
    };
    for (const Case& c : cases) {
        char out[260];
        EXPECT_EQ(OUTPUT_NAME_OK, MakeOutputName(c.path, out, sizeof out)) << c.path;
        EXPECT_STREQ(c.name, out) << c.path;
        EXPECT_EQ(OUTPUT_NAME_OK, MakeOutputNameUtf8(c.path, out, sizeof out)) << c.path;
        EXPECT_STREQ(c.utf8 ? c.utf8 : c.name, out) << c.path;
    }
}

TEST(OutputName, RefusesWhatWouldNotFit)
{
    char out[260];
    std::string path = "C:\\" + std::string(249, 'x') + ".DAT"; // 256 characters
    ASSERT_EQ(OUTPUT_NAME_OK, MakeOutputName(path.c_str(), out, sizeof out));
    EXPECT_EQ(259u, std::string(out).size());
    path.insert(3, "y"); // 257
    EXPECT_EQ(OUTPUT_NAME_TOO_LONG, MakeOutputName(path.c_str(), out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(OUTPUT_NAME_TOO_LONG, MakeOutputNameUtf8(path.c_str(), out, sizeof out));
}

TEST(ImageVerdict, RefusalsAndTheirOrder)
{
    struct Case {
        bool keyMatches;
        uint64_t size;
        unsigned char mode;
        ImageVerdict verdict;
    };
    const Case cases[] = {
        {true, 33, 3, IMAGE_DECRYPTABLE},     {true, 33, 0, IMAGE_DECRYPTABLE},
        {true, 33, 4, IMAGE_DECRYPTABLE},     {true, 33, 5, IMAGE_BAD_MODE},
        {true, 5000, 0xFF, IMAGE_BAD_MODE},   {true, 32, 3, IMAGE_TOO_SHORT},
        {true, 8, 3, IMAGE_TOO_SHORT},        {false, 5000, 3, IMAGE_WRONG_KEY},
        {false, 0, 9, IMAGE_WRONG_KEY},       {true, 1ull << 33, 2, IMAGE_DECRYPTABLE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.verdict, JudgeImage(c.keyMatches, c.size, c.mode))
            << c.keyMatches << " " << c.size << " " << (int)c.mode;
}

TEST(Selection, SinglePathAndLists)
{
    struct Case {
        const char* text;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"C:\\DATA\\A.TXT", {"C:\\DATA\\A.TXT"}},
        {"C:\\DATA A.TXT B.TXT C.TXT", {"C:\\DATA\\A.TXT", "C:\\DATA\\B.TXT", "C:\\DATA\\C.TXT"}},
        {"C:\\ A.TXT B.TXT", {"C:\\\\A.TXT", "C:\\\\B.TXT"}},
    };
    for (const Case& c : cases) {
        SelectionCursor cursor;
        SelectionBegin(&cursor, c.text, false);
        std::vector<std::string> got;
        do {
            char path[260];
            ASSERT_EQ(SELECTION_OK, SelectionNext(&cursor, path, sizeof path));
            got.push_back(path);
        } while (!cursor.last && got.size() < 10);
        EXPECT_EQ(c.paths, got) << c.text;
    }
}

TEST(Sha256, KnownDigests)
{
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", Sha256Hex(""));
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Sha256Hex("abc"));
    EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
              Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
}

TEST(KnownAnswer, LibraryDecryptsAndReencryptsEveryVector)
{
    ASSERT_EQ(12u, kCipherVectorCount);
    for (const CipherVector& v : kCipherVectors) {
        bool found = false;
        std::string cipher = ReadCipherVector(v, &found);
        ASSERT_TRUE(found) << "missing known-answer file " << v.file;
        ASSERT_EQ(v.payloadLength + IMAGE_HEADER_SIZE, cipher.size()) << v.file;

        std::string image = UnwhitenWithLibrary(cipher, v.signature2);
        unsigned char decoded[SIGNATURE_BLOCK_SIZE];
        DecodedBlockFromImage((const unsigned char*)image.data(), image.size(), decoded);
        char key1[SIGNATURE_FORM_SIZE];
        ToSignatureForm(v.signature1, key1);
        bool matches = DecodedKeyMatches(decoded, key1);
        ASSERT_EQ(IMAGE_DECRYPTABLE,
                  JudgeImage(matches, image.size(), (unsigned char)image[IMAGE_MODE_OFFSET]))
            << v.file;
        EXPECT_EQ(v.mode, image[IMAGE_MODE_OFFSET]) << v.file;
        std::string payload = DecodeVectorPayload(v, &found);
        EXPECT_EQ(v.payloadLength, payload.size()) << v.file;
        EXPECT_EQ(v.payloadSha256, Sha256Hex(payload)) << v.file;
        EXPECT_EQ(cipher, EncryptWithLibrary(v.signature1, v.signature2, v.mode, payload))
            << v.file;

        // The other signature as Key 1 fails the check.
        char other[SIGNATURE_FORM_SIZE];
        ToSignatureForm(v.signature2, other);
        EXPECT_FALSE(DecodedKeyMatches(decoded, other)) << v.file;
    }
}
