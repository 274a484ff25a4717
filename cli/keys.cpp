// Reading the signatures and keys in the same form the window program uses:
// the first seven characters count, shorter texts are padded with spaces.
#include "cli/keys.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/wipe.h"
#include "cli/commands.h"
#include "cli/platform.h"

enum { SECRET_LINE_SIZE = 1024 };

static void StripLineEnd(char* text)
{
    size_t length = strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
}

// Only the start of a line counts; the rest of a line longer than the buffer
// is read and dropped, or it would become the next secret.
static void DropRestOfLine(const char* line)
{
    if (strchr(line, '\n'))
        return;
    int c;
    do
        c = getchar();
    while (c != EOF && c != '\n');
}

bool ObtainSecret(KeySource source, const char* label, const char* variable,
                  char out[SIGNATURE_FORM_SIZE])
{
    char line[SECRET_LINE_SIZE];
    bool ok;
    if (source == KEYS_FROM_STDIN) {
        ok = fgets(line, sizeof line, stdin) != nullptr;
        if (ok)
            DropRestOfLine(line);
        else
            Complain(label, "standard input ended before it");
    } else if (const char* value = getenv(variable)) {
        snprintf(line, sizeof line, "%s", value);
        ok = true;
    } else {
        char prompt[64];
        snprintf(prompt, sizeof prompt, "%s: ", label);
        ok = PlatformReadSecret(prompt, line, sizeof line);
        if (!ok) {
            char reason[160];
            snprintf(reason, sizeof reason,
                     "no terminal to ask on; use --keys-from-stdin or set %s", variable);
            Complain(label, reason);
        }
    }
    if (ok) {
        StripLineEnd(line);
        ToSignatureForm(line, out);
    }
    Wipe(line, sizeof line);
    return ok;
}
