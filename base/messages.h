// The texts that more than one subsystem shows: the file failures and their
// caption, the failed key check, and the direction status line.
#ifndef ZORVANE_BASE_MESSAGES_H
#define ZORVANE_BASE_MESSAGES_H

extern const char kFileAccessError[];       // "File Access Error"
extern const char kErrorOpeningInput[];     // "Error Opening Input File"
extern const char kErrorOpeningOutput[];    // "Error Opening Output File"
// A failed key check, for cipher files and carriers alike.
extern const char kWrongKey[];              // "Wrong Key !!"
extern const char kSignatureErrorCaption[]; // "Signature Error.."
// The direction line while a command runs.
extern const char kDirectionText[];         // "to ..."

#endif
