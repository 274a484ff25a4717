// The cipher stream on the known-answer cipher files: any chunking gives the
// same bytes, both ways, and every cut-short start of a cipher file is
// refused before a payload byte is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <string>

#include "cipher/cipherstream.h"
#include "tests/cipher/vectors.h"
#include "tests/support/leftovers.h"
#include "tests/support/files.h"
#include "tests/support/paths.h"
#include "tests/support/sha256.h"

static const size_t kChunkSizes[] = {1, 5, 8, 13, 4096};

static std::string Convert(CipherStream* stream, std::string bytes, size_t chunk,
                           void (*convert)(CipherStream*, unsigned char*, size_t))
{
    unsigned char* data = (unsigned char*)&bytes[0];
    for (size_t at = 0; at < bytes.size(); at += chunk)
        convert(stream, data + at, bytes.size() - at < chunk ? bytes.size() - at : chunk);
    return bytes;
}

TEST(CliStream, EveryVectorDecryptsAndReEncryptsInAnyChunks)
{
    std::unique_ptr<CipherStream> stream(new CipherStream); // 128 KiB of tables
    for (const CipherVector& vector : kCipherVectors) {
        bool found = false;
        std::string file = ReadCipherVector(vector, &found);
        ASSERT_TRUE(found) << vector.file;
        char sig1[SIGNATURE_FORM_SIZE], sig2[SIGNATURE_FORM_SIZE];
        ToSignatureForm(vector.signature1, sig1);
        ToSignatureForm(vector.signature2, sig2);
        for (size_t chunk : kChunkSizes) {
            SCOPED_TRACE(std::string(vector.file) + " chunk " + std::to_string(chunk));
            ASSERT_EQ(CipherDecryptBegin(stream.get(), sig1, sig2,
                                         (const unsigned char*)file.data(), file.size()),
                      IMAGE_DECRYPTABLE);
            EXPECT_EQ(stream->mode, vector.mode);
            std::string plain = Convert(stream.get(), file.substr(IMAGE_HEADER_SIZE), chunk,
                                        CipherDecryptChunk);
            EXPECT_EQ(plain.size(), vector.payloadLength);
            EXPECT_EQ(Sha256Hex(plain), vector.payloadSha256);

            unsigned char header[IMAGE_HEADER_SIZE];
            CipherEncryptBegin(stream.get(), sig1, sig2, vector.mode, header);
            std::string again((const char*)header, IMAGE_HEADER_SIZE);
            again += Convert(stream.get(), plain, chunk, CipherEncryptChunk);
            EXPECT_EQ(again, file);
        }
    }
}

// The one pass against the plain steps in every mode, kernel and rule order:
// lengths 0 to 100 cut at every place, long ones at random, both ways.
TEST(CliStream, OnePassEqualsThePlainStepsInAnyCut)
{
    std::vector<std::vector<size_t>> cuts;
    for (size_t length = 0; length <= 100; length++)
        for (size_t at = 0; at <= length; at++)
            cuts.push_back({at, length - at});
    std::mt19937 random(21);
    for (size_t left : {4099, 65613, 1 << 20})
        for (cuts.emplace_back(); left > 0; left -= cuts.back().back())
            cuts.back().push_back(std::min<size_t>(left, random() % 3 ? random() % 40000 : random() % 20));
    std::unique_ptr<CipherStream> stream(new CipherStream);
    auto pieces = [&](const std::vector<size_t>& cut, std::string bytes, auto convert) {
        for (size_t at = 0, k = 0; k < cut.size(); at += cut[k++])
            convert(stream.get(), (unsigned char*)&bytes[at], cut[k]);
        return bytes;
    };
    char sig1[SIGNATURE_FORM_SIZE], sig2[SIGNATURE_FORM_SIZE];
    ToSignatureForm("two 2", sig2);
    for (size_t c = 0; c < cuts.size(); c++) {
        const std::string name = std::string("Cut") + (char)('a' + c % 5); // counter 0..4 mod 5
        ToSignatureForm(name.c_str(), sig1);
        std::string payload(std::accumulate(cuts[c].begin(), cuts[c].end(), (size_t)0), '\0');
        std::generate(payload.begin(), payload.end(), [&] { return (char)random(); });
        for (int run = 0; run < 2 * TRANSFORM_MODE_COUNT; run++) {
            SCOPED_TRACE("cut " + std::to_string(c) + " run " + std::to_string(run));
            const std::string file = EncryptWithLibrary(name.c_str(), "two 2", run / 2, payload);
            unsigned char header[IMAGE_HEADER_SIZE];
            CipherEncryptBegin(stream.get(), sig1, sig2, run / 2, header);
            stream->kernel = run % 2 ? BestTransformKernel() : KERNEL_PORTABLE;
            ASSERT_EQ(file, std::string((const char*)header, IMAGE_HEADER_SIZE) +
                                pieces(cuts[c], payload, CipherEncryptChunk));
            ASSERT_EQ(IMAGE_DECRYPTABLE, CipherDecryptBegin(stream.get(), sig1, sig2,
                                                            (const unsigned char*)&file[0],
                                                            IMAGE_HEADER_SIZE));
            stream->kernel = run % 2 ? BestTransformKernel() : KERNEL_PORTABLE;
            ASSERT_EQ(payload, pieces(cuts[c], file.substr(IMAGE_HEADER_SIZE), CipherDecryptChunk));
        }
    }
}

// A start of fewer than 8 bytes cannot hold the key and its NUL; 8 to 32
// bytes pass the key check but have no mode byte: both are refused.
TEST(CliStream, EveryShortStartIsRefused)
{
    std::unique_ptr<CipherStream> stream(new CipherStream);
    bool found = false;
    std::string file = ReadFileBytes(TestDataPath("cipher/mode3-3000.zel"), &found);
    ASSERT_TRUE(found);
    char key1[SIGNATURE_FORM_SIZE], key2[SIGNATURE_FORM_SIZE];
    ToSignatureForm("Harbour", key1);
    ToSignatureForm("Lantern", key2);
    for (size_t length = 0; length < IMAGE_HEADER_SIZE; length++) {
        ImageVerdict verdict =
            CipherDecryptBegin(stream.get(), key1, key2, (const unsigned char*)file.data(), length);
        EXPECT_EQ(verdict, length < SIGNATURE_FORM_SIZE ? IMAGE_WRONG_KEY : IMAGE_TOO_SHORT)
            << length;
    }
}

// A mode byte the encrypt command never writes is refused, not guessed at.
TEST(CliStream, UnknownModeIsRefused)
{
    std::unique_ptr<CipherStream> stream(new CipherStream);
    char sig[SIGNATURE_FORM_SIZE];
    ToSignatureForm("mode", sig);
    for (int mode = TRANSFORM_MODE_COUNT; mode < 256; mode += 50) {
        unsigned char header[IMAGE_HEADER_SIZE];
        CipherEncryptBegin(stream.get(), sig, sig, mode, header);
        EXPECT_EQ(CipherDecryptBegin(stream.get(), sig, sig, header, sizeof header), IMAGE_BAD_MODE)
            << mode;
    }
}

// The signature block, the plain header and the decoded key are wiped before
// the calls return: no copy of Signature 1, plain or scrambled, stays in the
// stack below.
TEST(CliStream, LeavesNoCopyOfTheKeyBehind)
{
    std::unique_ptr<CipherStream> stream(new CipherStream);
    char sig1[SIGNATURE_FORM_SIZE], sig2[SIGNATURE_FORM_SIZE];
    ToSignatureForm("Vq3#Lz8", sig1);
    ToSignatureForm("Nw5&Kp2", sig2);
    std::string scrambled;
    for (int k = 0; k < SIGNATURE_FORM_SIZE - 1; k++)
        scrambled += (char)Encode((unsigned char)sig1[k]);
    const std::string plain(sig1, SIGNATURE_FORM_SIZE - 1);
    ASSERT_FALSE(StackHoldsLeftover(scrambled));
    unsigned char header[IMAGE_HEADER_SIZE];
    CipherEncryptBegin(stream.get(), sig1, sig2, 3, header);
    EXPECT_FALSE(StackHoldsLeftover(scrambled));
    EXPECT_EQ(IMAGE_DECRYPTABLE, CipherDecryptBegin(stream.get(), sig1, sig2, header, sizeof header));
    EXPECT_FALSE(StackHoldsLeftover(scrambled));
    EXPECT_FALSE(StackHoldsLeftover(plain));
}
