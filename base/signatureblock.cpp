// The signature block, the header scramble and the key check.
#include "base/signatureblock.h"

unsigned char Encode(unsigned char b)
{
    return (unsigned char)(((b << 4) | (b >> 4)) ^ 0xF7);
}

unsigned char Decode(unsigned char c)
{
    unsigned char b = (unsigned char)(c ^ 0xF7);
    return (unsigned char)((b << 4) | (b >> 4));
}

// The held-byte walk shared by both directions of the signature block: the
// first byte is held, then 31 times `scramble` of it is emitted and the next
// byte read; a read past the end keeps the byte held. An empty source leaves
// nothing read; the result must still be defined, so a NUL is held.
static void HeldByteWalk(const unsigned char* source, size_t sourceLength,
                         unsigned char (*scramble)(unsigned char),
                         unsigned char block[SIGNATURE_BLOCK_SIZE])
{
    unsigned char held = sourceLength > 0 ? source[0] : 0;
    size_t next = 1;
    for (int k = 0; k < SIGNATURE_BLOCK_SIZE; k++) {
        block[k] = scramble(held);
        if (next < sourceLength)
            held = source[next++];
    }
}

void EncodeSignatureBlock(const unsigned char* source, size_t sourceLength,
                          unsigned char block[SIGNATURE_BLOCK_SIZE])
{
    HeldByteWalk(source, sourceLength, Encode, block);
}

void DecodedBlockFromImage(const unsigned char* image, size_t imageLength,
                           unsigned char decoded[SIGNATURE_BLOCK_SIZE])
{
    HeldByteWalk(image, imageLength, Decode, decoded);
}

bool DecodedKeyMatches(const unsigned char decoded[SIGNATURE_FORM_SIZE],
                       const char key[SIGNATURE_FORM_SIZE])
{
    // strcmp semantics bounded to the 8 bytes: equal up to and including the
    // first NUL of the decoded bytes. Without a NUL among them they cannot
    // equal a 7-character key.
    for (int k = 0; k < SIGNATURE_FORM_SIZE; k++) {
        if (decoded[k] != (unsigned char)key[k])
            return false;
        if (decoded[k] == 0)
            return true;
    }
    return false;
}
