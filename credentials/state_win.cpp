// The credentials' program-wide state, defined in one place;
// credentials/credentials_win.h declares each with who writes it and who
// reads it.
#include "credentials/credentials_win.h"

char g_signature1[SIGNATURE_FORM_SIZE] = "       ";
char g_signature2[SIGNATURE_FORM_SIZE] = "       ";
int g_firstUse = 0;
PasswordLeadsTo g_changePassword = PASSWORD_TO_SIGNATURES;
int g_passwordAccepted = 0;
char g_storedPasswordForm[PASSWORD_BUFFER_SIZE];
SignatureState g_signatureState = SIGNATURES_COMPLETE;
