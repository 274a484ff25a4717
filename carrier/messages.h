// The carrier subsystem's own texts: its status line, window and chooser
// titles, and the messages of the embed and extract commands.
#ifndef ZORVANE_CARRIER_MESSAGES_H
#define ZORVANE_CARRIER_MESSAGES_H

extern const char kExtractingText[];         // "Extracting file ..."
extern const char kExtractTitle[];           // "Key to extract ..."
extern const char kHiddenChooserTitle[];     // "Get file to be embedded"
extern const char kCarrierChooserTitle[];    // "Get carrier file"
extern const char kOutputChooserTitle[];     // "Output file name"
extern const char kTextCarrierRefused[];     // "Carrier file CANNOT be a text file!"
extern const char kTextCarrierCaption[];     // "Invalid Carrier File Type"
// The question before embedding into a carrier its own programs would call
// damaged: a format with one %s for the kind's name.
extern const char kCarrierKindQuestion[];
extern const char kCarrierKindCaption[];     // "Carrier File Type"
extern const char kCarrierKindPdf[];         // "PDF document"
extern const char kCarrierKindZip[];         // "ZIP archive or office document"
extern const char kHiddenTooLarge[];
extern const char kHiddenTooLargeCaption[];  // "File Too Large"
extern const char kKeyFileFailed[];
extern const char kAppendFailedRestored[];
extern const char kAppendFailedNotRestored[];
extern const char kHiddenWriteFailed[];
extern const char kTrailerNotRemoved[];
// "%s already exists.\nDo you want to replace it?", the chosen output's path
// in place of %s.
extern const char kReplaceOutputQuestion[];

#endif
