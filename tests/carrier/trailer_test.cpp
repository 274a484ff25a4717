// Pure tests of the carrier trailer: the fixed parts byte for byte, the size
// field conversion, bounds checks on every truncation and crafted size
// field, nesting, the text-carrier name test and the carrier kind test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "carrier/carrierkind.h"
#include "carrier/trailer.h"
#include "tests/support/leftovers.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/support/files.h"

static std::string Field(const char* text, size_t length)
{
    return std::string(text, length);
}

TEST(TrailerSizeField, ConvertsDecimalTextWithinItsEightBytes)
{
    struct Case {
        std::string field;
        int64_t expected;
    };
    const Case cases[] = {
        {Field("0\0\0\0\0\0\0\0", 8), 0},
        {Field("12345\0xy", 8), 12345},
        {Field("99999999", 8), 99999999},
        {Field("  42\0\0\0\0", 8), 42},
        {Field("\t\n\v\f\r 7\0", 8), 7},
        {Field("       9", 8), 9},
        {Field("+5\0\0\0\0\0\0", 8), 5},
        {Field("-1\0\0\0\0\0\0", 8), -1},
        {Field("-0000012", 8), -12},
        {Field("-\0\0\0\0\0\0\0", 8), 0},
        {Field("+ 5\0\0\0\0\0", 8), 0},
        {Field("abc\0\0\0\0\0", 8), 0},
        {Field("0x1F\0\0\0\0", 8), 0},
        {Field("12a45\0\0\0", 8), 12},
        {Field("        ", 8), 0},
        {Field("\0\0\0\0\0\0\0\0", 8), 0},
        {Field("\xff\x80" "123\0\0\0", 8), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, TrailerReadSize((const unsigned char*)c.field.data()))
            << "field " << testing::PrintToString(c.field);
    }
}

TEST(TrailerSizeField, NeverLooksPastTheField)
{
    // Digits right after the field must not count; whitespace filling the
    // whole field must not make the reader run on.
    const struct { const char* text; int64_t size; } cases[] = {
        {"1234567890", 12345678}, {"        5", 0}, {"       -5", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.size, TrailerReadSize((const unsigned char*)c.text)) << c.text;
}

TEST(TrailerTail, SizeFieldHoldsPlainDecimalDigits)
{
    struct Case {
        int64_t size;
        std::string field;
    };
    const Case cases[] = {
        {0, Field("0\0\0\0\0\0\0\0", 8)},
        {7, Field("7\0\0\0\0\0\0\0", 8)},
        {12345, Field("12345\0\0\0", 8)},
        {9999999, Field("9999999\0", 8)},
        {10000000, Field("10000000", 8)},
        {99999999, Field("99999999", 8)},
    };
    for (const Case& c : cases) {
        unsigned char tail[TRAILER_TAIL_SIZE];
        memset(tail, 0xFF, sizeof tail);
        ASSERT_EQ(TRAILER_OK, TrailerBuildTail(c.size, "C:\\a.bin", tail));
        EXPECT_EQ(c.field, std::string((const char*)tail, 8)) << c.size;
        EXPECT_EQ(c.size, TrailerReadSize(tail));
    }
}

TEST(TrailerTail, RefusesSizesTheFieldCannotHold)
{
    unsigned char tail[TRAILER_TAIL_SIZE];
    for (int64_t size : {100000000LL, 5000000000LL, -1LL})
        EXPECT_EQ(TRAILER_HIDDEN_TOO_LARGE, TrailerBuildTail(size, "x", tail)) << size;
    unsigned char block[SIGNATURE_BLOCK_SIZE] = {}, head[TRAILER_HEAD_SIZE] = {1};
    EXPECT_EQ(TRAILER_HIDDEN_TOO_LARGE, TrailerBuild(block, 100000000, "x", head, tail));
    EXPECT_EQ(1, head[0]); // nothing written
}

TEST(TrailerTail, NameFieldIsThePathThenZeros)
{
    // Filled first: every byte after the name must be written as a NUL.
    unsigned char tail[TRAILER_TAIL_SIZE];
    memset(tail, 0xFF, sizeof tail);
    ASSERT_EQ(TRAILER_OK, TrailerBuildTail(1, "C:\\Users\\me\\x.doc", tail));
    std::string name((const char*)tail + 8, 260);
    EXPECT_EQ(std::string("C:\\Users\\me\\x.doc") + std::string(260 - 17, '\0'), name);

    // A name of 259 characters fills the field up to its NUL; a longer
    // buffer is cut there so the field always ends in a NUL.
    std::string longName(300, 'n');
    ASSERT_EQ(TRAILER_OK, TrailerBuildTail(1, longName.c_str(), tail));
    EXPECT_EQ(std::string(259, 'n') + '\0', std::string((const char*)tail + 8, 260));

    // The reader stops at the first NUL, or after 259 characters without one.
    char read[TRAILER_NAME_FIELD_SIZE];
    std::string field = std::string("D:\\b.zip\0garbage", 16) + std::string(244, 'g');
    TrailerReadName((const unsigned char*)field.data(), read);
    EXPECT_STREQ("D:\\b.zip", read);
    field = std::string(260, 'q');
    TrailerReadName((const unsigned char*)field.data(), read);
    EXPECT_EQ(std::string(259, 'q'), read);
}

TEST(TrailerHead, IsTheScrambledSignatureThenF7AndTheSeparator)
{
    // Worked values of the header scramble: 'A' 0x41 -> 0xE3, space -> 0xF5,
    // NUL -> 0xF7.
    const char signature[8] = {'A', ' ', ' ', ' ', ' ', ' ', ' ', '\0'};
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    EncodeSignatureBlock((const unsigned char*)signature, 8, block);
    // Filled first, so that a byte the builder does not write shows.
    unsigned char head[TRAILER_HEAD_SIZE], tail[TRAILER_TAIL_SIZE];
    memset(head, 0xFF, sizeof head);
    ASSERT_EQ(TRAILER_OK, TrailerBuild(block, 0, "", head, tail));
    std::string expected = std::string("\xE3") + std::string(6, '\xF5') +
                           std::string(24, '\xF7') + std::string(1, '\0');
    EXPECT_EQ(expected, std::string((const char*)head, sizeof head));
}

TEST(TrailerHead, DecodingWritesTheBlockAndNothingAfterIt)
{
    unsigned char block[SIGNATURE_BLOCK_SIZE + 8];
    for (size_t k = 0; k < sizeof block; k++)
        block[k] = Encode((unsigned char)k);
    unsigned char decoded[SIGNATURE_BLOCK_SIZE + 8];
    memset(decoded, 0xAA, sizeof decoded);
    TrailerDecodeBlock(block, decoded);
    for (size_t k = 0; k < sizeof decoded; k++)
        EXPECT_EQ(k < SIGNATURE_BLOCK_SIZE ? k : 0xAA, decoded[k]) << k;
}

TEST(TrailerLocate, PlacesEveryFieldOrRefuses)
{
    struct Case {
        int64_t fileLength, stored;
        TrailerError error;
        int64_t own;
    };
    const Case cases[] = {
        {0, 0, TRAILER_FILE_TOO_SHORT, 0},
        {299, 0, TRAILER_FILE_TOO_SHORT, 0},
        {300, 0, TRAILER_OK, 0},
        {300, 1, TRAILER_SIZE_OUTSIDE, 0},
        {300, -1, TRAILER_SIZE_OUTSIDE, 0},
        {1000, 700, TRAILER_OK, 0},
        {1000, 701, TRAILER_SIZE_OUTSIDE, 0},
        {1000, 0, TRAILER_OK, 700},
        {1000, -99999999, TRAILER_SIZE_OUTSIDE, 0},
        // Sizes past 4 GiB: positions are 64-bit.
        {5000000000LL, 99999999, TRAILER_OK, 5000000000LL - 99999999 - 300},
    };
    for (const Case& c : cases) {
        TrailerLayout layout;
        ASSERT_EQ(c.error, TrailerLocate(c.fileLength, c.stored, &layout))
            << c.fileLength << " " << c.stored;
        if (c.error != TRAILER_OK)
            continue;
        EXPECT_EQ(c.stored, layout.hiddenSize);
        EXPECT_EQ(c.own, layout.ownLength);
        EXPECT_EQ(c.own, layout.signatureOffset);
        EXPECT_EQ(c.fileLength - (c.stored + 268), layout.hiddenOffset);
        EXPECT_EQ(c.fileLength - 268, layout.sizeFieldOffset);
        EXPECT_EQ(c.fileLength - 260, layout.nameFieldOffset);
    }
}

// Hides `hidden` in `own` and takes it out again with the same key: the
// carrier grew by the hidden bytes and 300, and all comes back as it was.
static void ExpectRoundTrip(const std::string& own, const char* key, const std::string& hidden,
                            const char* name)
{
    std::string carrier = AppendTrailer(own, key, hidden, name);
    ASSERT_EQ(own.size() + hidden.size() + 300, carrier.size());
    MemoryExtraction x = ExtractInMemory(carrier, key);
    ASSERT_EQ(TRAILER_OK, x.placed);
    EXPECT_TRUE(x.keyMatches);
    EXPECT_TRUE(x.hidden == hidden);
    EXPECT_TRUE(x.remaining == own);
    EXPECT_EQ(name, x.storedName);
}

TEST(TrailerRoundTrip, EmptyHiddenFileGivesExactly300Bytes)
{
    std::string own = PseudoRandomBytes(77, 1);
    ExpectRoundTrip(own, "key", "", "C:\\e.txt");
    std::string carrier = AppendTrailer(own, "key", "", "C:\\e.txt");
    EXPECT_EQ(std::string("0\0", 2), carrier.substr(own.size() + 32, 2)); // the size field
    // A 0-byte carrier is the trailer alone and comes back empty.
    ExpectRoundTrip("", "key", "", "C:\\e.txt");
}

TEST(TrailerRoundTrip, SizesOfEveryDigitCountComeBack)
{
    // Sizes of every digit count come back whole, up to an 8-digit size field.
    const size_t sizes[] = {1, 9, 10, 12345, 1000000, 10000000};
    std::string own = PseudoRandomBytes(500, 2);
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        ExpectRoundTrip(own, "Sig1", PseudoRandomBytes(size, (unsigned)size), "C:\\h.bin");
    }
}

TEST(TrailerKey, OnlyTheSameSevenCharactersMatch)
{
    struct Case {
        const char* signature;
        const char* typed;
        bool matches;
    };
    const Case cases[] = {
        {"abc", "abc", true},
        {"abc", "abc    ", true},
        {"abc    ", "abc", true},
        {"abc", "ABC", false},
        {"abc", "abd", false},
        {"abcdefg", "abcdefgh", true},
        {"abcdefg", "abcdef", false},
        {"", "", true},
        {"", "x", false},
    };
    std::string own = PseudoRandomBytes(40, 3);
    for (const Case& c : cases) {
        std::string carrier = AppendTrailer(own, c.signature, "data", "n");
        EXPECT_EQ(c.matches, ExtractInMemory(carrier, c.typed).keyMatches)
            << c.signature << " / " << c.typed;
    }
}

// The check itself on stored blocks written out by hand: "abc" in signature
// form is E1 D1 C1, four F5 (spaces) and F7 (the NUL), then 23 bytes F7.
static std::string StoredBlock(const std::string& first8)
{
    return first8 + std::string(23, '\xF7');
}

static std::string s_staged;     // what the last stage was given
static std::string s_stageReply; // what it gives back
static bool s_stageWorks;

static bool TestStage(const unsigned char* bytes, size_t count, unsigned char* back,
                      size_t backSize, size_t* got)
{
    s_staged.assign((const char*)bytes, count);
    *got = s_stageReply.size() < backSize ? s_stageReply.size() : backSize;
    memcpy(back, s_stageReply.data(), *got);
    return s_stageWorks;
}

TEST(TrailerKey, StoredBlocksAgainstTypedKeysDirectAndStaged)
{
    const std::string abc = StoredBlock("\xE1\xD1\xC1\xF5\xF5\xF5\xF5\xF7");
    struct Case {
        std::string block;
        const char* key; // already in signature form
        bool matches;
    };
    const Case cases[] = {
        {abc, "abc    ", true},
        {abc, "ABC    ", false},
        {abc, "abc   x", false},
        {StoredBlock("\xE1\xD1\xC1\xF5\xF5\xF5\xF5\x70"), "abc    ", false}, // byte 7 'p', no NUL
        {StoredBlock("\xE1\xD1\xC1\xF7\xF5\xF5\xF5\xF7"), "abc    ", false}, // "abc" ends early
        {std::string(31, '\xF7'), "       ", false}, // decodes to an empty string
    };
    for (const Case& c : cases) {
        const unsigned char* block = (const unsigned char*)c.block.data();
        EXPECT_EQ(c.matches, TrailerKeyMatches(block, c.key)) << c.key;
    }

    // Staged: the 31 decoded bytes go in, and only what comes back counts.
    const std::string decodedAbc = std::string("abc    ", 8) + std::string(23, '\0');
    const unsigned char* block = (const unsigned char*)abc.data();
    struct Stage {
        std::string reply;
        bool works;
        bool matches;
    };
    const Stage stages[] = {
        {decodedAbc, true, true},
        {decodedAbc.substr(0, 8), true, true},
        {decodedAbc.substr(0, 7), true, false}, // short read back
        {decodedAbc, false, false},             // the staging failed
        {std::string("abd    ", 8), true, false},
        {std::string(), true, false},
    };
    for (const Stage& stage : stages) {
        s_stageReply = stage.reply;
        s_stageWorks = stage.works;
        s_staged.clear();
        EXPECT_EQ(stage.matches, TrailerKeyMatches(block, "abc    ", TestStage))
            << stage.reply.size() << " bytes back, works " << stage.works;
        EXPECT_EQ(decodedAbc, s_staged);
    }
    // A stage can turn a wrong block into a match: what it gives back decides.
    s_stageReply = decodedAbc;
    s_stageWorks = true;
    EXPECT_TRUE(TrailerKeyMatches((const unsigned char*)std::string(31, '\xF7').data(), "abc    ",
                                  TestStage));
}

// A stage that gives back what it was given, keeping no copy of its own.
static bool EchoStage(const unsigned char* bytes, size_t count, unsigned char* back,
                      size_t backSize, size_t* got)
{
    *got = count < backSize ? count : backSize;
    memcpy(back, bytes, *got);
    return true;
}

TEST(TrailerKey, LeavesNoDecodedKeyBehind)
{
    // The decoded block and what the stage gave back are wiped before the
    // check returns: neither copy of the key stays in the stack below.
    const std::string block = StoredBlock("\xE2\x61\x84\xC5\x50\x72\x64\xF7");
    const std::string key("Qi7#zX9", 7);
    ASSERT_FALSE(StackHoldsLeftover(key));
    EXPECT_TRUE(TrailerKeyMatches((const unsigned char*)block.data(), "Qi7#zX9"));
    EXPECT_FALSE(StackHoldsLeftover(key));
    EXPECT_TRUE(TrailerKeyMatches((const unsigned char*)block.data(), "Qi7#zX9", EchoStage));
    EXPECT_FALSE(StackHoldsLeftover(key));
}

TEST(TrailerRoundTrip, NestedTrailersComeOffLastFirst)
{
    std::string own = PseudoRandomBytes(333, 4);
    std::string a = PseudoRandomBytes(1000, 5), b = PseudoRandomBytes(20, 6);
    std::string once = AppendTrailer(own, "keyA", a, "C:\\a");
    // The first trailer's key does not open the second; the second comes off
    // whole and leaves the carrier of the first, which then comes off too.
    EXPECT_FALSE(ExtractInMemory(AppendTrailer(once, "keyB", b, "C:\\b"), "keyA").keyMatches);
    ExpectRoundTrip(once, "keyB", b, "C:\\b");
    ExpectRoundTrip(own, "keyA", a, "C:\\a");
}

TEST(TrailerBounds, EveryTruncationIsRefusedWithoutReadingOutside)
{
    // The own bytes hold no trailer, so no prefix may pass the key check;
    // ExtractInMemory fails the test on any read outside the prefix.
    std::string carrier =
        AppendTrailer(PseudoRandomBytes(150, 7), "trunc", PseudoRandomBytes(2000, 8), "C:\\t");
    for (size_t length = 0; length < carrier.size(); length++) {
        MemoryExtraction x = ExtractInMemory(carrier.substr(0, length), "trunc");
        EXPECT_FALSE(x.placed == TRAILER_OK && x.keyMatches) << "length " << length;
        if (length < 300) {
            EXPECT_EQ(TRAILER_FILE_TOO_SHORT, x.placed) << length;
        }
    }
    EXPECT_TRUE(ExtractInMemory(carrier, "trunc").keyMatches);

    // A source that cannot give the bytes asked for reads as a failure, never
    // as a trailer or a key: its tail, or the head of a trailer found whole.
    CarrierBytes all = {(const unsigned char*)carrier.data(), carrier.size()}, fewer = {all.bytes, 100};
    TrailerSource source = TrailerSourceOfBytes(&fewer);
    source.length = (int64_t)carrier.size();
    TrailerLayout layout;
    char name[TRAILER_NAME_FIELD_SIZE];
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    EXPECT_EQ(TRAILER_READ_FAILED, TrailerOpenLast(source, "trunc  ", &layout, name));
    EXPECT_STREQ("", name);
    ASSERT_EQ(TRAILER_OK, TrailerFindLast(TrailerSourceOfBytes(&all), &layout, name));
    EXPECT_EQ(TRAILER_READ_FAILED, TrailerCheckKey(source, layout, "trunc  "));
    EXPECT_EQ(TRAILER_READ_FAILED, TrailerDecodeStoredBlock(source, layout, decoded));
    ASSERT_EQ(TRAILER_OK, TrailerDecodeStoredBlock(TrailerSourceOfBytes(&all), layout, decoded));
    EXPECT_EQ(std::string("trunc  ", 8), std::string((const char*)decoded, 8));
}

TEST(TrailerBounds, CraftedSizeFieldsAreReadRightOrRefused)
{
    std::string hidden = PseudoRandomBytes(50, 9);
    std::string carrier = AppendTrailer(PseudoRandomBytes(400, 10), "craft", hidden, "C:\\c");
    const int64_t total = (int64_t)carrier.size();
    struct Case {
        std::string field;
        TrailerError placed;
        bool matches;
    };
    const Case cases[] = {
        {Field("50\0\0\0\0\0\0", 8), TRAILER_OK, true},
        {Field("+50\0\0\0\0\0", 8), TRAILER_OK, true},
        {Field(" 50abcde", 8), TRAILER_OK, true},
        {Field("0\0\0\0\0\0\0\0", 8), TRAILER_OK, false},
        {Field("-1\0\0\0\0\0\0", 8), TRAILER_SIZE_OUTSIDE, false},
        {Field("-50\0\0\0\0\0", 8), TRAILER_SIZE_OUTSIDE, false},
        {std::to_string(total - 300) + std::string(8 - std::to_string(total - 300).size(), '\0'),
         TRAILER_OK, false},
        {std::to_string(total - 299) + std::string(8 - std::to_string(total - 299).size(), '\0'),
         TRAILER_SIZE_OUTSIDE, false},
        {Field("99999999", 8), TRAILER_SIZE_OUTSIDE, false},
        {Field("abcdefgh", 8), TRAILER_OK, false},
    };
    for (const Case& c : cases) {
        std::string crafted = carrier;
        crafted.replace(crafted.size() - 268, 8, c.field);
        MemoryExtraction x = ExtractInMemory(crafted, "craft");
        EXPECT_EQ(c.placed, x.placed) << testing::PrintToString(c.field);
        EXPECT_EQ(c.matches, x.keyMatches) << testing::PrintToString(c.field);
        if (c.matches) {
            EXPECT_EQ(hidden, x.hidden);
        }
    }
}

TEST(TextCarrierName, OnlyTheFourExactEndingsAreText)
{
    struct Case {
        const char* path;
        bool text;
    };
    const Case cases[] = {
        {"C:\\a\\notes.txt", true}, {"C:\\a\\notes.TXT", true}, {"C:\\win.ini", true},
        {"C:\\WIN.INI", true},      {".txt", true},             {"C:\\a.Txt", false},
        {"C:\\a.Ini", false},       {"C:\\a.text", false},      {"C:\\a", false},
        {"", false},                {"txt", false},             {"C:\\a.txt ", false},
        {"C:\\x.txt\\b", false},    {"a.tXT", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, IsTextCarrierName(c.path)) << c.path;
}

TEST(CarrierKind, PdfAndZipByTheirFirstBytesOnly)
{
    const CarrierKind pdf = CARRIER_KIND_PDF, zip = CARRIER_KIND_ZIP, other = CARRIER_KIND_OTHER;
    // The kinds scripts/measure-carriers makes; the PNG one hides a ZIP archive.
    const std::string pad(1019, ' '), local("PK\3\4", 4), end("PK\5\6\0\0", 6);
    const struct { std::string head; CarrierKind kind; } cases[] = {
        {"%PDF-1.4\n", pdf}, {pad + "%PDF-", pdf}, {pad + " %PDF-", other}, {"%pdf-1.4", other},
        {local + "\x14", zip}, {end, zip}, {" " + local, other}, {"PK\1\2", other}, {"ID3\4", other},
        {"\x89PNG\r\n\x1a\n" + local + end, other}, {"\xff\xd8\xff\xe0", other}, {"GIF89a", other}, {"", other},
        {"BM6\x0c", other}, {"\x1f\x8b\x08", other}, {"RIFF$\b\1\1WAVEfmt ", other}, {"MZ\x90", other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.kind, CarrierKindOf((const unsigned char*)c.head.data(), c.head.size()))
            << c.head.substr(0, 16);
    EXPECT_EQ(other, CarrierKindOf((const unsigned char*)"%PDF-", 4)); // only the bytes given
    EXPECT_STREQ("PDF document", CarrierKindName(pdf));
    EXPECT_STREQ("ZIP archive or office document", CarrierKindName(zip));
}
