// The credentials' texts: window titles, messages and captions, and the
// parts of the message after a failed save.
#include "credentials/messages.h"

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
const char kIncompleteText[] =
    "The signatures could not be read completely. Set them again under Signature.";
const char kNotYetSetText[] = "Create the password and the signatures first: start Zorvane "
                              "again if their window is closed.";

// The parts of the message after a save that failed somewhere.
const char kSaveFailedText[] = "The signatures could not be saved at:";
const char kSaveNothingWrittenText[] =
    "Nothing was written: the stored signatures are still the previous ones.";
const char kSavePutBackText[] =
    "The values already written were put back: the stored signatures are still the previous "
    "ones.";
const char kSaveRemovedText[] =
    "The values already written could not be put back, so all stored signature values were "
    "removed: from the next start Mirelock and Embed refuse until the signatures are set again "
    "under Signature.";
const char kSavePartlyWrittenText[] =
    "The other values were written: the stored signatures now mix new and previous "
    "characters, and the next start would rebuild signatures that nobody set. Set them again "
    "under Signature.";
const char kSaveInForceText[] = "The new signatures are in force until Zorvane ends.";
const char kSaveAdministratorHint[] =
    "On current Windows the HKEY_CURRENT_CONFIG key can be written only by a program started "
    "as administrator: start Zorvane with \"Run as administrator\" each time you change the "
    "signatures.";
