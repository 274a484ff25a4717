// The signature store's fragments: how the fourteen characters of Signature 1
// and Signature 2 are cut into six short strings and put back together.
#ifndef ZORVANE_CREDENTIALS_FRAGMENTS_H
#define ZORVANE_CREDENTIALS_FRAGMENTS_H

#include <cstddef>

#include "base/signatureform.h"

enum {
    FRAGMENT_COUNT = 6,
    FRAGMENT_MAX_CHARS = 3,
    FRAGMENT_TEXT_SIZE = FRAGMENT_MAX_CHARS + 1,
    // Every fragment is queried with this size limit.
    FRAGMENT_QUERY_SIZE = 30,
    SIGNATURE_CHARS = SIGNATURE_FORM_SIZE - 1
};

// One character of a fragment: which signature (1 or 2) and which index.
struct FragmentChar {
    unsigned char signature;
    unsigned char index;
};

// A fragment: its length (2 or 3) and its characters in stored order.
struct FragmentLayout {
    size_t length;
    FragmentChar chars[FRAGMENT_MAX_CHARS];
};

// Fragments 1..6 at indices 0..5; fragments 2k+1 and 2k+2 are the values
// "Signature1" and "Signature2" of location k+1.
extern const FragmentLayout kFragmentLayout[FRAGMENT_COUNT];

// The text of one fragment (index 0..5) of two signature-form buffers,
// NUL-terminated. Returns its character count.
size_t SplitFragment(const char signature1[SIGNATURE_FORM_SIZE],
                     const char signature2[SIGNATURE_FORM_SIZE], int fragment,
                     char out[FRAGMENT_TEXT_SIZE]);

// A fragment as load read it: `filled` is how many leading bytes of `text`
// the read actually produced before any NUL (0 when nothing was read).
struct FragmentRead {
    char text[FRAGMENT_QUERY_SIZE];
    size_t filled;
};

// Rebuilds both signatures from the six fragments read back. A character
// whose fragment position was not filled becomes a space, so both buffers
// always hold seven characters and a NUL at index 7; characters after a
// fragment's length are ignored. Returns true when every one of the fourteen
// characters came from a stored fragment, false when any was made up.
bool ReassembleSignatures(const FragmentRead fragments[FRAGMENT_COUNT],
                          char signature1[SIGNATURE_FORM_SIZE],
                          char signature2[SIGNATURE_FORM_SIZE]);

#endif
