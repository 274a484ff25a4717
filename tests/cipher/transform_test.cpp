// Byte transforms, header scramble, signature blocks and the key check.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "cipher/transform.h"

TEST(Transform, WorkedValues)
{
    struct Row {
        unsigned char b;
        unsigned char out[TRANSFORM_MODE_COUNT];
    };
    static const Row rows[] = {
        {0x00, {0x08, 0x00, 0x08, 0xF7, 0xF7}}, {0x10, {0x18, 0x01, 0x09, 0xF6, 0x77}},
        {0x20, {0x28, 0x02, 0x0A, 0xF5, 0xF5}}, {0x41, {0x49, 0x14, 0x1C, 0xE3, 0xE3}},
        {0x80, {0x88, 0x08, 0x00, 0xFF, 0xFF}}, {0xFF, {0xF7, 0xFF, 0xF7, 0x08, 0x08}},
    };
    for (const Row& row : rows) {
        for (int mode = 0; mode < TRANSFORM_MODE_COUNT; mode++) {
            EXPECT_EQ(row.out[mode], Transform(mode, row.b))
                << "mode " << mode << " byte " << (int)row.b;
            EXPECT_EQ(row.b, Inverse(mode, row.out[mode])) << "mode " << mode;
        }
    }
}

TEST(Transform, EveryModeIsOneToOneAndInverted)
{
    for (int mode = 0; mode < TRANSFORM_MODE_COUNT; mode++) {
        bool seen[256] = {};
        bool selfInverse = true;
        for (int b = 0; b < 256; b++) {
            unsigned char t = Transform(mode, (unsigned char)b);
            EXPECT_FALSE(seen[t]) << "mode " << mode << " maps two bytes to " << (int)t;
            seen[t] = true;
            EXPECT_EQ(b, Inverse(mode, t)) << "mode " << mode << " byte " << b;
            if (Transform(mode, t) != b)
                selfInverse = false;
        }
        EXPECT_EQ(mode <= 1, selfInverse) << "mode " << mode;
    }
}

TEST(Transform, HeaderScramble)
{
    EXPECT_EQ(0xF7, Encode(0x00));
    EXPECT_EQ(0x00, Decode(0xF7));
    EXPECT_EQ(0xF5, Encode(' '));
    for (int b = 0; b < 256; b++)
        EXPECT_EQ(b, Decode(Encode((unsigned char)b)));
}

static std::string BlockOf(const char* text)
{
    char form[SIGNATURE_FORM_SIZE];
    ToSignatureForm(text, form);
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    EncodeSignatureBlock((const unsigned char*)form, SIGNATURE_FORM_SIZE, block);
    return std::string((const char*)block, SIGNATURE_BLOCK_SIZE);
}

TEST(SignatureBlock, SevenCharactersThenF7)
{
    const char* text = "Abc1234";
    std::string block = BlockOf(text);
    for (int k = 0; k < SIGNATURE_BLOCK_SIZE; k++)
        EXPECT_EQ(k < 7 ? Encode((unsigned char)text[k]) : 0xF7, (unsigned char)block[k]) << k;
}

TEST(SignatureBlock, ShortAndPaddedAreTheSameCaseIsNot)
{
    std::string shortBlock = BlockOf("ab");
    EXPECT_EQ(shortBlock, BlockOf("ab     "));
    EXPECT_EQ(0xF5, (unsigned char)shortBlock[2]); // padding space
    EXPECT_NE(shortBlock, BlockOf("AB"));
    EXPECT_EQ(BlockOf("1234567"), BlockOf("12345678")); // typed text beyond 7 ignored
}

TEST(SignatureBlock, StaleKeyFileBytesWouldLeakIn)
{
    // Why the writers create the key file empty: bytes after the 8 written
    // ones feed the block.
    unsigned char keyFile[12] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0, 'X', 'Y', 'Z', 'Q'};
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    EncodeSignatureBlock(keyFile, sizeof keyFile, block);
    EXPECT_EQ(Encode('X'), block[8]);
    EXPECT_EQ(Encode('Q'), block[30]);
    EXPECT_NE(BlockOf("abcdefg"), std::string((const char*)block, SIGNATURE_BLOCK_SIZE));
}

TEST(SignatureBlock, ShortKeyFilesHoldWhatTheyHave)
{
    // One byte read back: it is held for the whole block. None: a NUL is
    // held, whatever lies in the buffer.
    const unsigned char keyFile[2] = {'k', 'x'};
    unsigned char block[SIGNATURE_BLOCK_SIZE];
    for (size_t held : {1u, 0u}) {
        EncodeSignatureBlock(keyFile, held, block);
        EXPECT_EQ(std::string(SIGNATURE_BLOCK_SIZE, (char)Encode(held ? 'k' : 0)),
                  std::string((const char*)block, SIGNATURE_BLOCK_SIZE)) << held;
    }
}

TEST(SignatureBlock, DecodedWalkHoldsTheLastByte)
{
    struct Case {
        std::string image;
        const char* key;
        bool matches;
    };
    std::string good = BlockOf("Key one");
    std::string seven = good.substr(0, 7);
    const Case cases[] = {
        {good + std::string("\x00\x03", 2), "Key one", true},
        {good, "key one", false},
        {good.substr(0, 8), "Key one", true},
        {seven, "Key one", false},                  // the 7th byte is held as byte 7
        {std::string(), "       ", false},          // empty: nothing to decode
        {std::string(8, (char)0xF7), "       ", false}, // decodes to an empty string
    };
    for (const Case& c : cases) {
        unsigned char decoded[SIGNATURE_BLOCK_SIZE];
        DecodedBlockFromImage((const unsigned char*)c.image.data(), c.image.size(), decoded);
        char key[SIGNATURE_FORM_SIZE];
        ToSignatureForm(c.key, key);
        EXPECT_EQ(c.matches, DecodedKeyMatches(decoded, key))
            << "image of " << c.image.size() << " bytes, key '" << c.key << "'";
    }
    unsigned char decoded[SIGNATURE_BLOCK_SIZE];
    DecodedBlockFromImage((const unsigned char*)seven.data(), seven.size(), decoded);
    EXPECT_EQ(decoded[6], decoded[30]);
}

TEST(SignatureBlock, NothingIsWrittenPastTheFixedSizes)
{
    // Output buffers one row longer than the result, filled first: the bytes
    // after the 31 of a block (or the 8 of a signature form) stay as they were.
    unsigned char source[40];
    for (size_t k = 0; k < sizeof source; k++)
        source[k] = (unsigned char)('A' + k);
    unsigned char out[SIGNATURE_BLOCK_SIZE + 8];
    const std::string untouched(8, '\xAA');
    for (auto fill : {EncodeSignatureBlock, DecodedBlockFromImage}) {
        memset(out, 0xAA, sizeof out);
        fill(source, sizeof source, out);
        EXPECT_EQ(untouched, std::string((const char*)out + SIGNATURE_BLOCK_SIZE, 8));
    }
    char form[SIGNATURE_FORM_SIZE + 8];
    memset(form, 0xAA, sizeof form);
    ToSignatureForm("longer than seven", form);
    EXPECT_EQ(std::string("longer ") + '\0' + untouched, std::string(form, sizeof form));
}

// Also through a mask (the first 80 bytes of `all`) in each kernel.
TEST(TransformBytes, AgreeWithTheByteMapsForEveryModeLengthAndAlignment)
{
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(KERNEL_SSE2, BestTransformKernel()); // the kernel that ships is the one tested
#endif
    unsigned char all[256 + 16];
    for (int k = 0; k < (int)sizeof all; k++)
        all[k] = (unsigned char)(k * 7 + 3);
    const unsigned char* mask = all;
#ifndef _WIN32
    // Natively a copy that ends where readable memory ends: a kernel reading past its mask faults.
    size_t page = (size_t)sysconf(_SC_PAGESIZE);
    unsigned char* two = (unsigned char*)mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE,
                                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_EQ(0, mprotect(two + page, page, PROT_NONE));
    mask = (const unsigned char*)memcpy(two + page - TRANSFORM_MASK_SIZE, all, TRANSFORM_MASK_SIZE);
#endif
    for (int mode = 0; mode < TRANSFORM_MODE_COUNT; mode++) {
        for (size_t offset = 0; offset < 8; offset++) {
            for (size_t count : {0, 1, 7, 8, 9, 15, 16, 17, 79, 80, 95, 96, 175, 256}) {
                unsigned char forward[sizeof all];
                memcpy(forward, all, sizeof all);
                TransformBytes(mode, forward + offset, count);
                for (size_t k = 0; k < sizeof all; k++) {
                    bool inside = k >= offset && k < offset + count;
                    ASSERT_EQ(inside ? Transform(mode, all[k]) : all[k], forward[k])
                        << "mode " << mode << " offset " << offset << " count " << count;
                }
                InverseBytes(mode, forward + offset, count);
                ASSERT_EQ(0, memcmp(all, forward, sizeof all)) << "mode " << mode;
                for (TransformKernel kernel : {KERNEL_PORTABLE, BestTransformKernel()}) {
                    TransformMaskBytes(kernel, mode, forward + offset, count, mask);
                    for (size_t k = offset; k < offset + count; k++)
                        ASSERT_EQ(Transform(mode, all[k]) ^ all[(k - offset) % TRANSFORM_MASK_SIZE],
                                  forward[k]) << "kernel " << kernel << " count " << count;
                    ASSERT_EQ(all[offset + count], forward[offset + count]) << "kernel " << kernel;
                    MaskInverseBytes(kernel, mode, forward + offset, count, mask);
                    ASSERT_EQ(0, memcmp(all, forward, sizeof all)) << "kernel " << kernel;
                }
            }
        }
    }
}
