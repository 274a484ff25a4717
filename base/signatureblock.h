// The 31-byte signature block that opens cipher files and carrier trailers,
// the header scramble it is made with, and the key check that reads it.
#ifndef ZORVANE_BASE_SIGNATUREBLOCK_H
#define ZORVANE_BASE_SIGNATUREBLOCK_H

#include <cstddef>

#include "base/signatureform.h"

enum { SIGNATURE_BLOCK_SIZE = 31 };

// Header scramble: exchange the two 4-bit halves, then XOR 0xF7; Decode is
// its inverse.
unsigned char Encode(unsigned char b);
unsigned char Decode(unsigned char c);

// The signature block of `source`, encoded as the writers walk it; touches
// no file. `source` is normally the 8 bytes of Signature 1, or what the
// window program read back from its temporary key file. The first byte is
// held, then 31 times its encoding is emitted and the next byte read; a read
// past the end keeps the byte held.
void EncodeSignatureBlock(const unsigned char* source, size_t sourceLength,
                          unsigned char block[SIGNATURE_BLOCK_SIZE]);

// The reverse walk of a decrypting turn over the start of an un-whitened
// image (`imageLength` may be anything, 0 included): the same held-byte rule
// with Decode. Its first 8 bytes are what the key check compares.
void DecodedBlockFromImage(const unsigned char* image, size_t imageLength,
                           unsigned char decoded[SIGNATURE_BLOCK_SIZE]);

// Key check: the first 8 decoded bytes of a block, as a NUL-terminated
// string, equal the key (signature form: 7 characters and a NUL) exactly.
bool DecodedKeyMatches(const unsigned char decoded[SIGNATURE_FORM_SIZE],
                       const char key[SIGNATURE_FORM_SIZE]);

#endif
