// The carrier subsystem's texts.
#include "carrier/messages.h"

const char kExtractingText[] = "Extracting file ...";
const char kExtractTitle[] = "Key to extract ...";
const char kHiddenChooserTitle[] = "Get file to be embedded";
const char kCarrierChooserTitle[] = "Get carrier file";
const char kOutputChooserTitle[] = "Output file name";
const char kTextCarrierRefused[] = "Carrier file CANNOT be a text file!";
const char kTextCarrierCaption[] = "Invalid Carrier File Type";
const char kCarrierKindQuestion[] =
    "This carrier is a %s. While a file is hidden in it, programs that open it may call it "
    "damaged, and repairing it there loses the hidden file.\n\nEmbed anyway?";
const char kCarrierKindCaption[] = "Carrier File Type";
const char kCarrierKindPdf[] = "PDF document";
const char kCarrierKindZip[] = "ZIP archive or office document";
const char kHiddenTooLarge[] =
    "The file to be embedded is larger than 99,999,999 bytes and cannot be hidden. "
    "Nothing was changed.";
const char kHiddenTooLargeCaption[] = "File Too Large";
const char kKeyFileFailed[] =
    "The temporary key file could not be made in the current folder. Nothing was embedded.";
const char kAppendFailedRestored[] =
    "Writing to the carrier file failed. The carrier was restored to its original length.";
const char kAppendFailedNotRestored[] =
    "Writing to the carrier file failed, and it could not be restored to its original length.";
const char kHiddenWriteFailed[] =
    "The hidden file could not be written completely. The carrier still holds it.";
const char kTrailerNotRemoved[] =
    "The hidden file was written, but the carrier could not be rewritten without it. "
    "The carrier still holds it.";
const char kReplaceOutputQuestion[] = "%s already exists.\nDo you want to replace it?";
