// The keyless byte transforms of cipher files (the signature block they open
// with is in base/signatureblock.h).
#ifndef ZORVANE_CIPHER_TRANSFORM_H
#define ZORVANE_CIPHER_TRANSFORM_H

#include <cstddef>

#include "base/signatureblock.h"

enum { TRANSFORM_MODE_COUNT = 5 };

// Modes 0..4; mode 3 is what the encrypt command writes. Any other mode is
// treated by the callers as "not a cipher file".
unsigned char Transform(int mode, unsigned char b);
unsigned char Inverse(int mode, unsigned char c);

// The same maps over a run of bytes in place, eight at a time where they can
// be: every step works within each byte, so a 64-bit word carries eight.
void TransformBytes(int mode, unsigned char* bytes, size_t count);
void InverseBytes(int mode, unsigned char* bytes, size_t count);

#endif
