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

// The transform and a repeating XOR mask in one pass over a run, for the
// payload of a cipher file once its rolling key repeats (cipher/whitening.h):
// byte k becomes Transform(mode, byte k) ^ mask[k % TRANSFORM_MASK_SIZE]; the
// inverse pass takes the XOR first. Two kernels give the same bytes: the
// portable one a word at a time, the SSE2 one sixteen bytes at a time.
enum { TRANSFORM_MASK_SIZE = 80 };
enum TransformKernel { KERNEL_PORTABLE, KERNEL_SSE2 };

// SSE2 where the processor has it (every x86-64 one; on 32-bit x86 it is
// asked at run time), otherwise the portable kernel.
TransformKernel BestTransformKernel();

void TransformMaskBytes(TransformKernel kernel, int mode, unsigned char* bytes, size_t count,
                        const unsigned char mask[TRANSFORM_MASK_SIZE]);
void MaskInverseBytes(TransformKernel kernel, int mode, unsigned char* bytes, size_t count,
                      const unsigned char mask[TRANSFORM_MASK_SIZE]);

#endif
