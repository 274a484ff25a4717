// Byte transforms, header scramble, signature block and key check.
#include "cipher/transform.h"

#include <cstring>

static unsigned char Swap(unsigned char b)
{
    return (unsigned char)((b << 4) | (b >> 4));
}

// Exchanges bit 0 and bit 7, leaves bits 1 to 6 alone.
static unsigned char EndBitSwap(unsigned char b)
{
    return (unsigned char)((b & 0x7E) | ((b & 0x01) << 7) | ((b & 0x80) >> 7));
}

unsigned char Transform(int mode, unsigned char b)
{
    switch (mode) {
    case 0: return (unsigned char)(b ^ 0x08);
    case 1: return Swap(b);
    case 2: return (unsigned char)(Swap(b) ^ 0x08);
    case 3: return (unsigned char)(Swap(b) ^ 0xF7);
    case 4: return EndBitSwap((unsigned char)(Swap(b) ^ 0xF7));
    }
    return b;
}

unsigned char Inverse(int mode, unsigned char c)
{
    switch (mode) {
    case 0: return (unsigned char)(c ^ 0x08);
    case 1: return Swap(c);
    case 2: return Swap((unsigned char)(c ^ 0x08));
    case 3: return Swap((unsigned char)(c ^ 0xF7));
    case 4: return Swap((unsigned char)(EndBitSwap(c) ^ 0xF7));
    }
    return c;
}

unsigned char Encode(unsigned char b)
{
    return Transform(3, b);
}

unsigned char Decode(unsigned char c)
{
    return Inverse(3, c);
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

void SignatureBlockFromKeyFile(const unsigned char* keyFile, size_t keyFileLength,
                               unsigned char block[SIGNATURE_BLOCK_SIZE])
{
    HeldByteWalk(keyFile, keyFileLength, Encode, block);
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

void ToSignatureForm(const char* text, char out[SIGNATURE_FORM_SIZE])
{
    size_t n = 0;
    while (n < SIGNATURE_FORM_SIZE - 1 && text[n] != '\0') {
        out[n] = text[n];
        n++;
    }
    while (n < SIGNATURE_FORM_SIZE - 1)
        out[n++] = ' ';
    out[SIGNATURE_FORM_SIZE - 1] = '\0';
}
