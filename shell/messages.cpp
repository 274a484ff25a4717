// The application shell's texts.
#include "shell/messages.h"

#include "shell/progress.h"

const char kMainTitle[] = PROGRAM_TITLE;
const char kAboutTitle[] = "About " PROGRAM_TITLE " ...";
const char kAboutText[] =
    "Keeps your files away from casual eyes. Mirelock turns a file into a "
    "cipher file beside it; Unveil turns it back with your two keys. Embed "
    "hides one file at the end of another; Extract takes it out again.\r\n\r\n"
    "Your two signatures, kept behind your password, key everything. This is "
    "light protection, not strong encryption.";
const char kSourceTitle[] = "Select File(s)";
const char kSelectionRefused[] = "The selected files could not be found. Please choose them again.";
const char kLabelIdleAfterEncrypt[] = " 0 % complete";
const char kLabelIdleAfterDecrypt[] = "0 % complete";
