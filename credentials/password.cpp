// The password transform and the stored password form.
#include "credentials/password.h"

#include <cstring>

#include "base/wipe.h"

unsigned char PasswordTransform(unsigned char c)
{
    unsigned char t = (unsigned char)((c << 6) | (c >= 0x80 ? 0x3F : 0x00));
    return (unsigned char)(t ^ 0x20);
}

size_t BuildStoredPasswordForm(const char* entry, char out[PASSWORD_BUFFER_SIZE])
{
    size_t n = 0;
    while (n < PASSWORD_ENTRY_SIZE - 1 && entry[n] != '\0') {
        out[n] = (char)PasswordTransform((unsigned char)entry[n]);
        n++;
    }
    // The terminator is transformed too: every stored form ends in a space.
    out[n] = (char)PasswordTransform(0);
    out[n + 1] = '\0';
    return n + 1;
}

bool PasswordMatches(const char* entry, const char* storedForm)
{
    char transformed[PASSWORD_BUFFER_SIZE];
    BuildStoredPasswordForm(entry, transformed);
    bool same = strcmp(transformed, storedForm) == 0;
    Wipe(transformed, sizeof transformed);
    return same;
}
