// The keyless byte transforms of cipher files, the header scramble and the
// 31-byte signature block that opens cipher files and carrier trailers.
#ifndef ZORVANE_CIPHER_TRANSFORM_H
#define ZORVANE_CIPHER_TRANSFORM_H

#include <cstddef>

#include "base/signatureform.h"

enum { TRANSFORM_MODE_COUNT = 5, SIGNATURE_BLOCK_SIZE = 31 };

// Modes 0..4; mode 3 is what the encrypt command writes. Any other mode is
// treated by the callers as "not a cipher file".
unsigned char Transform(int mode, unsigned char b);
unsigned char Inverse(int mode, unsigned char c);

// The same maps over a run of bytes in place, eight at a time where they can
// be: every step works within each byte, so a 64-bit word carries eight.
void TransformBytes(int mode, unsigned char* bytes, size_t count);
void InverseBytes(int mode, unsigned char* bytes, size_t count);

// Header scramble: Encode = Transform(3, .), Decode = Inverse(3, .).
unsigned char Encode(unsigned char b);
unsigned char Decode(unsigned char c);

// The signature block as the writers make it through the temporary key file:
// keyFile holds the bytes read back from that file (normally exactly the 8
// bytes of Signature 1). The first byte is held, then 31 times its encoding
// is emitted and the next byte read; a read past the end keeps the byte held.
void SignatureBlockFromKeyFile(const unsigned char* keyFile, size_t keyFileLength,
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
