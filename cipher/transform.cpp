// Byte transforms of cipher files: modes 3 and 4 build on the header scramble.
#include "cipher/transform.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define ZORVANE_SSE2_KERNEL 1
// The 32-bit build runs on processors without SSE2 too: only these functions
// use it, and only after BestTransformKernel has asked the processor.
#if defined(__i386__)
#define SSE2_FUNCTION __attribute__((target("sse2")))
#else
#define SSE2_FUNCTION
#endif
#endif

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

TransformKernel BestTransformKernel()
{
#if defined(__x86_64__)
    return KERNEL_SSE2;
#elif defined(__i386__)
    return __builtin_cpu_supports("sse2") ? KERNEL_SSE2 : KERNEL_PORTABLE;
#else
    return KERNEL_PORTABLE;
#endif
}

// The portable kernel: whole words, each XORed with the mask's word at the
// same place (a word never straddles the mask's end, 80 being a multiple
// of 8), then the bytes left over.
static void MaskWords(bool inverse, int mode, unsigned char* bytes, size_t count,
                      const unsigned char mask[TRANSFORM_MASK_SIZE])
{
    size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        uint64_t w, m;
        memcpy(&w, bytes + k, 8);
        memcpy(&m, mask + k % TRANSFORM_MASK_SIZE, 8);
        w = inverse ? InverseWord(mode, w ^ m) : TransformWord(mode, w) ^ m;
        memcpy(bytes + k, &w, 8);
    }
    for (; k < count; k++) {
        unsigned char m = mask[k % TRANSFORM_MASK_SIZE];
        bytes[k] = inverse ? Inverse(mode, (unsigned char)(bytes[k] ^ m))
                           : (unsigned char)(Transform(mode, bytes[k]) ^ m);
    }
}

#ifdef ZORVANE_SSE2_KERNEL
// The same byte-wise steps on sixteen bytes: the 16-bit shifts carry no bit
// across a byte because the masks keep only the bits that stay inside.
SSE2_FUNCTION static inline __m128i SwapVector(__m128i v)
{
    const __m128i low = _mm_set1_epi8(0x0F);
    return _mm_or_si128(_mm_slli_epi16(_mm_and_si128(v, low), 4),
                        _mm_and_si128(_mm_srli_epi16(v, 4), low));
}

SSE2_FUNCTION static inline __m128i EndBitSwapVector(__m128i v)
{
    const __m128i middle = _mm_set1_epi8(0x7E);
    const __m128i bit0 = _mm_set1_epi8(0x01);
    return _mm_or_si128(_mm_and_si128(v, middle),
                        _mm_or_si128(_mm_slli_epi16(_mm_and_si128(v, bit0), 7),
                                     _mm_and_si128(_mm_srli_epi16(v, 7), bit0)));
}

template <int Mode, bool Inverted>
SSE2_FUNCTION static inline __m128i MapVector(__m128i v)
{
    const __m128i bit3 = _mm_set1_epi8(0x08);
    const __m128i complementBit3 = _mm_set1_epi8((char)0xF7);
    switch (Mode) {
    case 0: return _mm_xor_si128(v, bit3);
    case 1: return SwapVector(v);
    case 2: return Inverted ? SwapVector(_mm_xor_si128(v, bit3)) : _mm_xor_si128(SwapVector(v), bit3);
    case 3:
        return Inverted ? SwapVector(_mm_xor_si128(v, complementBit3))
                        : _mm_xor_si128(SwapVector(v), complementBit3);
    default:
        return Inverted ? SwapVector(_mm_xor_si128(EndBitSwapVector(v), complementBit3))
                        : EndBitSwapVector(_mm_xor_si128(SwapVector(v), complementBit3));
    }
}

template <int Mode, bool Inverted>
SSE2_FUNCTION static inline __m128i MaskVector(__m128i v, __m128i m)
{
    return Inverted ? MapVector<Mode, true>(_mm_xor_si128(v, m))
                    : _mm_xor_si128(MapVector<Mode, false>(v), m);
}

template <int Mode, bool Inverted>
SSE2_FUNCTION static inline void MaskOneVector(unsigned char* at, __m128i m)
{
    __m128i v = _mm_loadu_si128((const __m128i*)at);
    _mm_storeu_si128((__m128i*)at, MaskVector<Mode, Inverted>(v, m));
}

// The whole mask in five registers, 80 bytes a turn; then sixteen bytes at a
// time, then the bytes left over through the portable kernel.
template <int Mode, bool Inverted>
SSE2_FUNCTION static void MaskVectors(unsigned char* bytes, size_t count,
                                      const unsigned char mask[TRANSFORM_MASK_SIZE])
{
    const __m128i m0 = _mm_loadu_si128((const __m128i*)mask);
    const __m128i m1 = _mm_loadu_si128((const __m128i*)(mask + 16));
    const __m128i m2 = _mm_loadu_si128((const __m128i*)(mask + 32));
    const __m128i m3 = _mm_loadu_si128((const __m128i*)(mask + 48));
    const __m128i m4 = _mm_loadu_si128((const __m128i*)(mask + 64));
    size_t k = 0;
    for (; k + TRANSFORM_MASK_SIZE <= count; k += TRANSFORM_MASK_SIZE) {
        MaskOneVector<Mode, Inverted>(bytes + k, m0);
        MaskOneVector<Mode, Inverted>(bytes + k + 16, m1);
        MaskOneVector<Mode, Inverted>(bytes + k + 32, m2);
        MaskOneVector<Mode, Inverted>(bytes + k + 48, m3);
        MaskOneVector<Mode, Inverted>(bytes + k + 64, m4);
    }
    // From here k % 80 is 0, 16, 32, 48 or 64: every load stays inside the mask.
    for (; k + 16 <= count; k += 16) {
        __m128i m = _mm_loadu_si128((const __m128i*)(mask + k % TRANSFORM_MASK_SIZE));
        MaskOneVector<Mode, Inverted>(bytes + k, m);
    }
    MaskWords(Inverted, Mode, bytes + k, count - k, mask + k % TRANSFORM_MASK_SIZE);
}
#endif

static void MaskBytes(TransformKernel kernel, bool inverse, int mode, unsigned char* bytes,
                      size_t count, const unsigned char mask[TRANSFORM_MASK_SIZE])
{
#ifdef ZORVANE_SSE2_KERNEL
    typedef void (*VectorLoop)(unsigned char*, size_t, const unsigned char*);
    static const VectorLoop kLoops[2][TRANSFORM_MODE_COUNT] = {
        {MaskVectors<0, false>, MaskVectors<1, false>, MaskVectors<2, false>,
         MaskVectors<3, false>, MaskVectors<4, false>},
        {MaskVectors<0, true>, MaskVectors<1, true>, MaskVectors<2, true>, MaskVectors<3, true>,
         MaskVectors<4, true>},
    };
    if (kernel == KERNEL_SSE2 && mode >= 0 && mode < TRANSFORM_MODE_COUNT) {
        kLoops[inverse][mode](bytes, count, mask);
        return;
    }
#else
    (void)kernel;
#endif
    MaskWords(inverse, mode, bytes, count, mask);
}

void TransformMaskBytes(TransformKernel kernel, int mode, unsigned char* bytes, size_t count,
                        const unsigned char mask[TRANSFORM_MASK_SIZE])
{
    MaskBytes(kernel, false, mode, bytes, count, mask);
}

void MaskInverseBytes(TransformKernel kernel, int mode, unsigned char* bytes, size_t count,
                      const unsigned char mask[TRANSFORM_MASK_SIZE])
{
    MaskBytes(kernel, true, mode, bytes, count, mask);
}
