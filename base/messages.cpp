// The texts more than one subsystem shows.
#include "base/messages.h"

const char kFileAccessError[] = "File Access Error";
const char kErrorOpeningInput[] = "Error Opening Input File";
const char kErrorOpeningOutput[] = "Error Opening Output File";
const char kWrongKey[] = "Wrong Key !!";
const char kSignatureErrorCaption[] = "Signature Error..";
const char kDirectionText[] = "to ...";
