// The rolling key and the whitening pass, against values computed once by
// the independent reference in tests/data/cipher/make-vectors.py.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "cipher/transform.h"
#include "cipher/whitening.h"
#include "tests/support/files.h"

static std::vector<unsigned char> FromHex(const std::string& hex)
{
    std::string bytes = BytesFromHex(hex);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

TEST(KeyUpdate, EachRuleOnABCDEFG)
{
    struct Case {
        int32_t counter;
        const char* after;
    };
    const Case cases[] = {
        {0, "0300010607040542"}, {1, "4140414445444500"}, {2, "0506070001020344"},
        {3, "4142434445464700"}, {4, "0605040302010047"},
        {5, "0300010607040542"}, {259, "0605040302010047"}, // only counter mod 5 counts
    };
    for (const Case& c : cases) {
        char seed[ROLLING_KEY_SIZE];
        ToSignatureForm("ABCDEFG", seed);
        unsigned char key[ROLLING_KEY_SIZE];
        memcpy(key, seed, ROLLING_KEY_SIZE);
        int32_t counter = c.counter;
        KeyUpdate(key, &counter);
        EXPECT_EQ(FromHex(c.after), std::vector<unsigned char>(key, key + ROLLING_KEY_SIZE))
            << "counter " << c.counter;
        EXPECT_EQ(c.counter + 1, counter);
    }
}

// The plain side and the cipher side of each row, whitened both ways.
struct WhiteningVector {
    const char* seed;
    const char* plain;
    const char* cipher;
};

// Computed by the reference. The ABCDEFG row has plain byte 3 = 1 mod 5 and
// cipher byte 3 = 4 mod 5, so a counter taken from the wrong side fails it in
// both directions. ABCDBFG decays to an all-zero key after two blocks.
static const WhiteningVector kVectors[] = {
    {"ABCDEFG", "303132333435363738393A3B3C3D3E3F404142434445464748494A4B4C4D4E4F505152535455565758", "717371777173713779797B7F79797B3F45454743454547030D0D0F0F09090B0B505052525454565659"},
    {"Bravo12", "691B6B6734017961FE2438335BD774993DFDC52D807FF23AEE31993F004E1C22F85387C2DE012A16AF6E4B40F1C6A1BA84B71062B255E387DDD92EAFCE3153B3", "2B690A115B304B61BC56594534E646994DBD9669DD7CF208DE318A3B1D0D5C50E85396C6C3002A06BB6A5E40E8C3A5AE90A30576AF40F793DDD92FAFC73053B3"},
    {"s3cr t", "000102", "733261"},
    {"ABCDBFG", "11111105111111111111111111111111111111111111111111111111111111111111111111111111", "50535241535756111211101711151453111111111111111111111111111111111111111111111111"},
};

static std::vector<unsigned char> Whiten(const char* seedText, WhiteningDirection direction,
                                         const std::vector<unsigned char>& input,
                                         const std::vector<size_t>& chunks)
{
    char seed[ROLLING_KEY_SIZE];
    ToSignatureForm(seedText, seed);
    WhiteningState state;
    WhiteningBegin(&state, seed, direction);
    std::vector<unsigned char> out(input.size());
    size_t at = 0;
    size_t next = 0;
    while (at < input.size()) {
        size_t n = chunks.empty() ? input.size() : chunks[next++ % chunks.size()];
        if (n > input.size() - at)
            n = input.size() - at;
        WhiteningFeed(&state, input.data() + at, n, out.data() + at);
        at += n;
    }
    return out;
}

TEST(Whitening, ReferenceVectorsInAnyChunking)
{
    const std::vector<std::vector<size_t>> chunkings = {
        {}, {1}, {3}, {7}, {8}, {9}, {1, 2, 5, 13}, {0, 4, 0, 11},
    };
    for (const WhiteningVector& v : kVectors) {
        for (WhiteningDirection direction : {WHITEN_ENCRYPT, WHITEN_DECRYPT}) {
            const bool encrypt = direction == WHITEN_ENCRYPT;
            std::vector<unsigned char> input = FromHex(encrypt ? v.plain : v.cipher);
            std::vector<unsigned char> expected = FromHex(encrypt ? v.cipher : v.plain);
            for (const std::vector<size_t>& chunks : chunkings) {
                EXPECT_EQ(expected, Whiten(v.seed, direction, input, chunks))
                    << v.seed << (encrypt ? " encrypt" : " decrypt") << ", " << chunks.size()
                    << " chunk sizes starting " << (chunks.empty() ? 0 : chunks[0]);
            }
        }
    }
}

TEST(Whitening, DecayedKeyPassesBlocksThrough)
{
    std::vector<unsigned char> plain(4096, 0x11);
    plain[3] = 0x05;
    std::vector<unsigned char> out = Whiten("ABCDBFG", WHITEN_ENCRYPT, plain, {});
    EXPECT_NE(plain[0], out[0]);
    EXPECT_EQ(std::vector<unsigned char>(plain.begin() + 16, plain.end()),
              std::vector<unsigned char>(out.begin() + 16, out.end()));
}

TEST(Whitening, RoundTripsWhateverTheCounterStart)
{
    // Every value of plain byte 3, so all five rule sequences run.
    for (int third = 0; third < 256; third++) {
        std::vector<unsigned char> plain(77);
        for (size_t k = 0; k < plain.size(); k++)
            plain[k] = (unsigned char)(k * 37 + third);
        plain[3] = (unsigned char)third;
        std::vector<unsigned char> cipher = Whiten("Sig 2!", WHITEN_ENCRYPT, plain, {5});
        EXPECT_EQ(plain, Whiten("Sig 2!", WHITEN_DECRYPT, cipher, {3})) << third;
    }
}

// The repeating key stream against the rolling key from every rule order,
// and up to and past the counter's wrap; most blocks must take it.
TEST(Whitening, RepeatingMaskIsTheRollingKey)
{
    char seed[ROLLING_KEY_SIZE];
    ToSignatureForm("Sig 2!", seed);
    for (uint32_t start : {0u, 1u, 2u, 3u, 4u, UINT32_MAX - 3, UINT32_MAX - 31}) {
        WhiteningState plain, fast;
        WhiteningBegin(&plain, seed, WHITEN_ENCRYPT);
        plain.counter = (int32_t)start;
        plain.counterSet = true;
        fast = plain;
        std::vector<unsigned char> expected(403, (unsigned char)start), got = expected;
        WhiteningFeed(&plain, expected.data(), expected.size(), expected.data());
        size_t repeated = 0;
        for (size_t at = 0, span; at < got.size(); at += span) {
            unsigned char mask[WHITENING_MASK_SIZE];
            span = WhiteningTakeRepeatingMask(&fast, got.size() - at, mask);
            for (size_t k = 0; k < span; k++)
                got[at + k] ^= mask[k % WHITENING_MASK_SIZE];
            repeated += span;
            if (span == 0)
                WhiteningFeed(&fast, &got[at], span = 1, &got[at]);
        }
        EXPECT_EQ(expected, got) << "from counter " << start;
        EXPECT_GE(repeated, got.size() - 160) << start;
    }
}
