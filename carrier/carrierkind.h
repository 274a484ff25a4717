// The kinds of carrier whose own programs read a file from its end, so that
// the bytes a hidden file appends make them call it damaged and offer a
// repair that drops the hidden file. Told by the carrier's first bytes, never
// by its name: a renamed office document is still a ZIP archive.
#ifndef ZORVANE_CARRIER_CARRIERKIND_H
#define ZORVANE_CARRIER_CARRIERKIND_H

#include <cstddef>

enum CarrierKind {
    CARRIER_KIND_OTHER, // every other file, an empty one too
    CARRIER_KIND_PDF,   // "%PDF-" within the first 1,024 bytes
    CARRIER_KIND_ZIP    // starts with a local file header "PK\3\4" or an empty
                        // archive's end record "PK\5\6"
};

// How many of a carrier's first bytes the test looks at.
enum { CARRIER_KIND_HEAD_SIZE = 1024 };

// The kind of a carrier from its first `length` bytes (the whole file when it
// is shorter than CARRIER_KIND_HEAD_SIZE; bytes beyond that are not looked
// at). The end of the file is never read: a picture whose hidden file is a
// ZIP archive ends in a ZIP end record and is still a picture.
CarrierKind CarrierKindOf(const unsigned char* head, size_t length);

// The kind as the messages name it ("PDF document"); null for the others.
const char* CarrierKindName(CarrierKind kind);

#endif
