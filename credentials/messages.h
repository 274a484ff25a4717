// The credentials' own texts: the titles of their windows, their messages
// and captions, and the parts of the message after a failed save.
#ifndef ZORVANE_CREDENTIALS_MESSAGES_H
#define ZORVANE_CREDENTIALS_MESSAGES_H

extern const char kPasswordTitle[];       // "Password"
extern const char kChangePasswordTitle[]; // "Change Password"
extern const char kFirstUseTitle[];       // "First time user: Create Password and keys"
extern const char kOptionTitle[];         // "Options"

extern const char kFirstUseText[];        // "This is your first usage of this software"
extern const char kFirstUseCaption[];     // "Cannot find signatures due to ..."
extern const char kCannotOpenCaption[];   // "Cannot Open due to ..."
extern const char kInvalidPasswordText[]; // "Invalid Password"
extern const char kPasswordsDifferText[]; // "Passwords do not match!!"
extern const char kPasswordCaption[];     // "Password confirmation"
extern const char kIncompleteText[];      // the signatures could not be read whole
extern const char kNotYetSetText[];       // the first start, before any password

// After a failed save: where, then how it ended, then what stays in force.
extern const char kSaveFailedText[];
extern const char kSaveNothingWrittenText[];
extern const char kSavePutBackText[];
extern const char kSaveRemovedText[];
extern const char kSavePartlyWrittenText[];
extern const char kSaveInForceText[];
extern const char kSaveAdministratorHint[];

#endif
