// Typed text into signature form: the fixed 8 bytes every check compares.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/signatureform.h"

TEST(SignatureForm, SevenCharactersSpacesAndTheNul)
{
    struct Row {
        const char* typed;
        const char* form; // the 7 characters; byte 7 is always the NUL
    };
    static const Row rows[] = {
        {"", "       "},          {"a", "a      "},          {"abc", "abc    "},
        {"abc    ", "abc    "},   {"abcdefg", "abcdefg"},    {"abcdefgh", "abcdefg"},
        {"Key one", "Key one"},   {" lead", " lead  "},      {"\xF7\x80", "\xF7\x80     "},
    };
    for (const Row& row : rows) {
        char out[SIGNATURE_FORM_SIZE];
        memset(out, 'Z', sizeof out);
        ToSignatureForm(row.typed, out);
        EXPECT_EQ(std::string(row.form, 7) + '\0', std::string(out, SIGNATURE_FORM_SIZE))
            << "typed '" << row.typed << "'";
    }
    EXPECT_EQ(8, SIGNATURE_FORM_SIZE);
}
