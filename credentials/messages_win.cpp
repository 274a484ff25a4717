// The credentials' message texts and window titles, kept in one place, and
// the one way they are shown: no owner, information icon, OK only.
#include "credentials/credentials_win.h"

#include "shell/modal_win.h"

const char kPasswordTitle[] = "Password";
const char kChangePasswordTitle[] = "Change Password";
const char kFirstUseTitle[] = "First time user: Create Password and keys";
const char kOptionTitle[] = "Options";

const char kFirstUseText[] = "This is your first usage of this software";
const char kFirstUseCaption[] = "Cannot find signatures due to ...";
const char kCannotOpenCaption[] = "Cannot Open due to ...";
const char kInvalidPasswordText[] = "Invalid Password";
const char kPasswordsDifferText[] = "Passwords do not match!!";
const char kPasswordCaption[] = "Password confirmation";

int ShowCredentialMessage(const char* text, const char* caption)
{
    return ShowMessage(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}
