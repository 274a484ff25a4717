// The password transform and the stored password form.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "credentials/password.h"
#include "tests/support/leftovers.h"

TEST(PasswordTransform, KnownValues)
{
    struct Case {
        unsigned char in, out;
    } cases[] = {
        {0x00, 0x20}, {' ', 0x20}, {'a', 0x60}, {'A', 0x60}, {'b', 0xA0}, {'c', 0xE0},
        {'1', 0x60}, {0x80, 0x1F}, {0x81, 0x5F}, {0x82, 0x9F}, {0x83, 0xDF}, {0xFF, 0xDF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.out, PasswordTransform(c.in)) << "input " << (int)c.in;
}

TEST(PasswordTransform, OnlyEightValuesAndNeverNul)
{
    std::set<unsigned char> values;
    for (int c = 0; c < 256; c++) {
        unsigned char t = PasswordTransform((unsigned char)c);
        EXPECT_NE(0, t);
        // Bits 7 and 6 come from bits 1 and 0; bit 5 is the inverse of bit 7;
        // bits 4..0 each equal bit 7.
        unsigned char want = (unsigned char)(((c & 3) << 6) | ((c & 0x80) ? 0x1F : 0x20));
        EXPECT_EQ(want, t) << "input " << c;
        values.insert(t);
    }
    std::set<unsigned char> expected = {0x1F, 0x20, 0x5F, 0x60, 0x9F, 0xA0, 0xDF, 0xE0};
    EXPECT_EQ(expected, values);
}

TEST(StoredPasswordForm, LengthIsCharactersPlusOneEndingInSpace)
{
    const char* entries[] = {"", "a", "secret7", "a much longer password than seven"};
    for (const char* entry : entries) {
        char form[PASSWORD_BUFFER_SIZE];
        size_t n = BuildStoredPasswordForm(entry, form);
        EXPECT_EQ(strlen(entry) + 1, n) << entry;
        EXPECT_EQ(n, strlen(form)) << entry;
        EXPECT_EQ(' ', form[n - 1]) << entry;
        for (size_t k = 0; k + 1 < n; k++)
            EXPECT_EQ((char)PasswordTransform((unsigned char)entry[k]), form[k]) << entry;
    }
}

TEST(StoredPasswordForm, EntryIsCutAtNinetyEightCharacters)
{
    std::string entry(150, 'x');
    char form[PASSWORD_BUFFER_SIZE];
    EXPECT_EQ(99u, BuildStoredPasswordForm(entry.c_str(), form));
    EXPECT_EQ(99u, strlen(form));
    EXPECT_TRUE(PasswordMatches(std::string(98, 'x').c_str(), form));
    EXPECT_FALSE(PasswordMatches(std::string(97, 'x').c_str(), form));
}

TEST(PasswordMatches, Table)
{
    char form[PASSWORD_BUFFER_SIZE];
    BuildStoredPasswordForm("Secret", form);
    struct Case {
        const char* entry;
        bool accepted;
    } cases[] = {
        {"Secret", true},
        {"sECRET", true},   // letter case differs in bit 5 only
        {"Secreta", false}, // one character longer
        {"Secre", false},
        {"", false},
        {"Wicbat", true},   // same bits 0, 1 and 7 in every character
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.accepted, PasswordMatches(c.entry, form)) << c.entry;
}

TEST(PasswordMatches, EmptyStoredFormNeverAccepts)
{
    const char* entries[] = {"", " ", "a", "anything"};
    for (const char* entry : entries)
        EXPECT_FALSE(PasswordMatches(entry, "")) << entry;
}

TEST(PasswordMatches, EmptyPasswordIsASingleSpace)
{
    char form[PASSWORD_BUFFER_SIZE];
    EXPECT_EQ(1u, BuildStoredPasswordForm("", form));
    EXPECT_STREQ(" ", form);
    EXPECT_TRUE(PasswordMatches("", form));
    EXPECT_FALSE(PasswordMatches("a", form));
}

TEST(PasswordMatches, LeavesNoStoredFormOfTheEntryBehind)
{
    const char* entry = "Tq8!vR2#pL5@xW9$mK3%nJ7^bH4&cF6*";
    char form[PASSWORD_BUFFER_SIZE];
    size_t length = BuildStoredPasswordForm(entry, form);
    const std::string secret(form, length);
    ASSERT_FALSE(StackHoldsLeftover(secret));
    EXPECT_TRUE(PasswordMatches(entry, form));
    EXPECT_FALSE(StackHoldsLeftover(secret));
}
