// The store's fragment split and reassembly: known layout, round trips, and
// what load makes of short, long and missing values.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "credentials/fragments.h"

static void SplitAll(const char* s1, const char* s2, FragmentRead reads[FRAGMENT_COUNT])
{
    for (int f = 0; f < FRAGMENT_COUNT; f++) {
        char text[FRAGMENT_TEXT_SIZE];
        size_t n = SplitFragment(s1, s2, f, text);
        memset(reads[f].text, 'X', sizeof reads[f].text);
        memcpy(reads[f].text, text, n + 1);
        reads[f].filled = n;
    }
}

TEST(Fragments, SplitMatchesTheStoredLayout)
{
    // Signature 1 "ABCDEFG", Signature 2 "abcdefg".
    static const char* const expected[FRAGMENT_COUNT] = {"fCF", "eA", "BGa", "bd", "gD", "cE"};
    for (int f = 0; f < FRAGMENT_COUNT; f++) {
        char text[FRAGMENT_TEXT_SIZE];
        size_t n = SplitFragment("ABCDEFG", "abcdefg", f, text);
        EXPECT_STREQ(expected[f], text) << "fragment " << f + 1;
        EXPECT_EQ(strlen(expected[f]), n);
    }
}

TEST(Fragments, EveryCharacterIsStoredExactlyOnce)
{
    int seen[3][SIGNATURE_CHARS] = {};
    size_t total = 0;
    for (const FragmentLayout& layout : kFragmentLayout) {
        for (size_t p = 0; p < layout.length; p++)
            seen[layout.chars[p].signature][layout.chars[p].index]++;
        total += layout.length;
    }
    EXPECT_EQ(14u, total);
    for (int s = 1; s <= 2; s++)
        for (int i = 0; i < SIGNATURE_CHARS; i++)
            EXPECT_EQ(1, seen[s][i]) << "S" << s << "[" << i << "]";
}

TEST(Fragments, SplitThenReassembleGivesEveryCharacterBack)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> printable(0x21, 0xFF);
    std::string cases[][2] = {{"       ", "       "}, {"ABCDEFG", "abcdefg"}, {"a      ", " b c d "}};
    for (auto& pair : cases) {
        FragmentRead reads[FRAGMENT_COUNT];
        SplitAll(pair[0].c_str(), pair[1].c_str(), reads);
        char s1[SIGNATURE_FORM_SIZE] = "zzzzzzz";
        char s2[SIGNATURE_FORM_SIZE] = "zzzzzzz";
        EXPECT_TRUE(ReassembleSignatures(reads, s1, s2));
        EXPECT_EQ(0, memcmp(pair[0].c_str(), s1, SIGNATURE_FORM_SIZE));
        EXPECT_EQ(0, memcmp(pair[1].c_str(), s2, SIGNATURE_FORM_SIZE));
    }
    for (int round = 0; round < 200; round++) {
        char in1[SIGNATURE_FORM_SIZE] = {};
        char in2[SIGNATURE_FORM_SIZE] = {};
        for (int i = 0; i < SIGNATURE_CHARS; i++) {
            in1[i] = (char)printable(random);
            in2[i] = (char)printable(random);
        }
        FragmentRead reads[FRAGMENT_COUNT];
        SplitAll(in1, in2, reads);
        char s1[SIGNATURE_FORM_SIZE];
        char s2[SIGNATURE_FORM_SIZE];
        ASSERT_TRUE(ReassembleSignatures(reads, s1, s2)) << "round " << round;
        ASSERT_EQ(0, memcmp(in1, s1, SIGNATURE_FORM_SIZE)) << "round " << round;
        ASSERT_EQ(0, memcmp(in2, s2, SIGNATURE_FORM_SIZE)) << "round " << round;
    }
}

TEST(Fragments, LongerValuesLoadByTheirFirstCharacters)
{
    FragmentRead reads[FRAGMENT_COUNT];
    SplitAll("ABCDEFG", "abcdefg", reads);
    // Five characters in location 2's "Signature2" and extra text elsewhere.
    strcpy(reads[3].text, "bdXYZ");
    reads[3].filled = 5;
    strcpy(reads[0].text, "fCF0123456789");
    reads[0].filled = 13;
    char s1[SIGNATURE_FORM_SIZE];
    char s2[SIGNATURE_FORM_SIZE];
    EXPECT_TRUE(ReassembleSignatures(reads, s1, s2));
    EXPECT_STREQ("ABCDEFG", s1);
    EXPECT_STREQ("abcdefg", s2);
}

// Every character a fragment cannot give is made up, and reported so.
TEST(Fragments, UnfilledCharactersBecomeSpacesAndMakeTheSignaturesIncomplete)
{
    struct Case {
        const char* name;
        int fragment;       // first fragment cut short
        int fragmentCount;  // how many fragments from there on
        size_t filled;      // what the read gave each of them
        const char* s1;
        const char* s2;
    } cases[] = {
        {"location 1 missing", 0, 2, 0, " B DE G", "abcd  g"},
        {"fragment 3 one character", 2, 1, 1, "ABCDEF ", " bcdefg"},
        {"location 3 missing", 4, 2, 0, "ABC  FG", "ab def "},
        {"fragment 6 one character", 5, 1, 1, "ABCD FG", "abcdefg"},
        {"fragment 1 two characters", 0, 1, 2, "ABCDE G", "abcdefg"},
        {"fragment 4 one character", 3, 1, 1, "ABCDEFG", "abc efg"},
        {"nothing read", 0, 6, 0, "       ", "       "},
    };
    for (const Case& c : cases) {
        FragmentRead reads[FRAGMENT_COUNT];
        SplitAll("ABCDEFG", "abcdefg", reads);
        for (int f = c.fragment; f < c.fragment + c.fragmentCount; f++)
            reads[f].filled = c.filled;
        char s1[SIGNATURE_FORM_SIZE];
        char s2[SIGNATURE_FORM_SIZE];
        memset(s1, 'Q', sizeof s1);
        memset(s2, 'Q', sizeof s2);
        EXPECT_FALSE(ReassembleSignatures(reads, s1, s2)) << c.name;
        EXPECT_EQ(std::string(c.s1), std::string(s1, 7)) << c.name;
        EXPECT_EQ(std::string(c.s2), std::string(s2, 7)) << c.name;
        EXPECT_EQ('\0', s1[7]) << c.name;
        EXPECT_EQ('\0', s2[7]) << c.name;
    }
}
