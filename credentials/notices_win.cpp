// The one way the credentials' messages are shown (no owner, information
// icon, OK only), and the two messages built from their texts: a failed
// save, and a command refused while the signatures are incomplete.
#include "credentials/credentials_win.h"

#include <cstdio>
#include <cstring>

#include "base/modal_win.h"

int ShowCredentialMessage(const char* text, const char* caption)
{
    return ShowMessage(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

BOOL SystemErrorText(LONG code, char* text, size_t size)
{
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             (DWORD)code, 0, text, (DWORD)size, nullptr);
    if (n == 0) {
        text[0] = '\0';
        return FALSE;
    }
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' '))
        text[--n] = '\0';
    return TRUE;
}

// Appends to a message being built; the text is cut at the buffer's end.
static void Append(char* message, size_t size, const char* text)
{
    size_t used = strlen(message);
    if (used + 1 < size)
        snprintf(message + used, size - used, "%s", text);
}

void ShowSaveFailure(const StoreSaveResult& result)
{
    char message[2048] = "";
    Append(message, sizeof message, kSaveFailedText);
    for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
        if (!(result.failed & (1u << k)))
            continue;
        char reason[256];
        if (!SystemErrorText(result.errors[k], reason, sizeof reason))
            snprintf(reason, sizeof reason, "error %ld.", result.errors[k]);
        char line[400];
        snprintf(line, sizeof line, "\nLocation %d, %s: %s", k + 1, kStoreLocationNames[k],
                 reason);
        Append(message, sizeof message, line);
    }
    Append(message, sizeof message, "\n\n");
    static const char* const kOutcomeTexts[] = {"", kSaveNothingWrittenText, kSavePutBackText,
                                                kSaveRemovedText, kSavePartlyWrittenText};
    Append(message, sizeof message, kOutcomeTexts[result.outcome]);
    Append(message, sizeof message, " ");
    Append(message, sizeof message, kSaveInForceText);
    if (result.failed & (1u << 2)) {
        Append(message, sizeof message, "\n\n");
        Append(message, sizeof message, kSaveAdministratorHint);
    }
    ShowCredentialMessage(message, kCannotOpenCaption);
}

bool RefuseWhileSignaturesIncomplete()
{
    if (g_signatureState == SIGNATURES_COMPLETE)
        return false;
    // Before the first password there is no way to the signature window but
    // the first-use one.
    bool firstStart = g_signatureState == SIGNATURES_NOT_YET_SET && !PasswordIsStored();
    ShowCredentialMessage(firstStart ? kNotYetSetText : kIncompleteText, kFirstUseCaption);
    return true;
}
