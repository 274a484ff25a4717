// Reading the signatures and keys in the same form the window program uses:
// converted to its code page, the first seven bytes count, shorter texts are
// padded with spaces.
#include "cli/keys.h"

#include <cstdio>
#include <cstring>

#include "base/wipe.h"
#include "cli/codepage.h"
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
// is read and dropped, or it would become the next secret. The buffer may
// have cut a character: its first bytes go too, or they would not be UTF-8.
static void DropRestOfLine(char* line)
{
    if (strchr(line, '\n'))
        return;
    size_t start = strlen(line);
    while (start > 0 && ((unsigned char)line[start - 1] & 0xC0) == 0x80)
        start--;
    if (start > 0 && Utf8SequenceLength(line + start - 1) == 0)
        line[start - 1] = '\0';
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
    } else if (PlatformGetEnvironment(variable, line, sizeof line)) {
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
    char converted[SECRET_LINE_SIZE];
    if (ok) {
        StripLineEnd(line);
        // The same characters give the same bytes as in the window program;
        // what its code page cannot hold is refused, never made a '?'.
        size_t bad = 0;
        ConvertResult result = TextToCodePage(line, converted, sizeof converted, &bad);
        ok = result == CONVERT_OK;
        if (ok) {
            ToSignatureForm(converted, out);
        } else {
            char reason[160];
            DescribeConvertFailure(result, line, bad, reason, sizeof reason);
            Complain(label, reason);
        }
    }
    Wipe(line, sizeof line);
    Wipe(converted, sizeof converted);
    return ok;
}
