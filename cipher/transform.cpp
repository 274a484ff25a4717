// Byte transforms of cipher files: modes 3 and 4 build on the header scramble.
#include "cipher/transform.h"

#include <cstdint>
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
    case 3: return Encode(b);
    case 4: return EndBitSwap(Encode(b));
    }
    return b;
}

unsigned char Inverse(int mode, unsigned char c)
{
    switch (mode) {
    case 0: return (unsigned char)(c ^ 0x08);
    case 1: return Swap(c);
    case 2: return Swap((unsigned char)(c ^ 0x08));
    case 3: return Decode(c);
    case 4: return Decode(EndBitSwap(c));
    }
    return c;
}

// Byte-wise steps on eight bytes at once.
static const uint64_t kLowNibbles = 0x0F0F0F0F0F0F0F0Full;
static const uint64_t kBit3 = 0x0808080808080808ull;
static const uint64_t kComplementBit3 = 0xF7F7F7F7F7F7F7F7ull;
static const uint64_t kMiddleBits = 0x7E7E7E7E7E7E7E7Eull;
static const uint64_t kBit0 = 0x0101010101010101ull;

static uint64_t SwapWord(uint64_t w)
{
    return ((w & kLowNibbles) << 4) | ((w >> 4) & kLowNibbles);
}

static uint64_t EndBitSwapWord(uint64_t w)
{
    return (w & kMiddleBits) | ((w & kBit0) << 7) | ((w >> 7) & kBit0);
}

static uint64_t TransformWord(int mode, uint64_t w)
{
    switch (mode) {
    case 0: return w ^ kBit3;
    case 1: return SwapWord(w);
    case 2: return SwapWord(w) ^ kBit3;
    case 3: return SwapWord(w) ^ kComplementBit3;
    case 4: return EndBitSwapWord(SwapWord(w) ^ kComplementBit3);
    }
    return w;
}

static uint64_t InverseWord(int mode, uint64_t w)
{
    switch (mode) {
    case 0: return w ^ kBit3;
    case 1: return SwapWord(w);
    case 2: return SwapWord(w ^ kBit3);
    case 3: return SwapWord(w ^ kComplementBit3);
    case 4: return SwapWord(EndBitSwapWord(w) ^ kComplementBit3);
    }
    return w;
}

// Whole words first, then the bytes left over one by one.
static void MapBytes(uint64_t (*wordMap)(int, uint64_t), unsigned char (*byteMap)(int, unsigned char),
                     int mode, unsigned char* bytes, size_t count)
{
    size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        uint64_t w;
        memcpy(&w, bytes + k, 8);
        w = wordMap(mode, w);
        memcpy(bytes + k, &w, 8);
    }
    for (; k < count; k++)
        bytes[k] = byteMap(mode, bytes[k]);
}

void TransformBytes(int mode, unsigned char* bytes, size_t count)
{
    MapBytes(TransformWord, Transform, mode, bytes, count);
}

void InverseBytes(int mode, unsigned char* bytes, size_t count)
{
    MapBytes(InverseWord, Inverse, mode, bytes, count);
}
