// The whitening pass of cipher files: the image is XORed in 8-byte blocks
// with a rolling key seeded from a signature and changed after every block.
// A streaming state, so callers feed whatever chunks their file reads give.
#ifndef ZORVANE_CIPHER_WHITENING_H
#define ZORVANE_CIPHER_WHITENING_H

#include <cstddef>
#include <cstdint>

enum { ROLLING_KEY_SIZE = 8, WHITENING_BLOCK_SIZE = 8, COUNTER_SOURCE_OFFSET = 3 };

// Encrypt: the input is the plain image. Decrypt: the output is. The block
// counter always starts from plain byte 3, whichever side that is.
enum WhiteningDirection { WHITEN_ENCRYPT, WHITEN_DECRYPT };

// One step of the rolling key: rule (counter mod 5) combines every key byte
// with one key byte read before anything changes, then the counter grows.
//   r  v     every K[i] becomes
//   0  K[1]  K[i] ^ v
//   1  K[4]  K[i] & v
//   2  K[3]  K[i] ^ v
//   3  K[7]  K[i] | v
//   4  K[6]  K[i] ^ v
void KeyUpdate(unsigned char key[ROLLING_KEY_SIZE], int32_t* counter);

struct WhiteningState {
    unsigned char key[ROLLING_KEY_SIZE]; // K(b) for the block being worked on
    int32_t counter;
    bool counterSet;      // taken from plain byte 3 of the first block
    size_t blockPosition; // 0..7: where the next byte falls in its block
    WhiteningDirection direction;
};

// Seeds the key with the 8 bytes of a signature-form buffer (7 characters
// and the NUL at index 7).
void WhiteningBegin(WhiteningState* state, const char seed[ROLLING_KEY_SIZE],
                    WhiteningDirection direction);

// Whitens `count` bytes of `in` into `out` (which may be `in`). Byte j of the
// whole stream is XORed with byte (j mod 8) of K(j div 8), so the result does
// not depend on how the stream is cut into chunks.
void WhiteningFeed(WhiteningState* state, const unsigned char* in, size_t count,
                   unsigned char* out);

// Once the counter is known the key no longer depends on the data, and it
// soon repeats: each bit of it moves only with the bits at the same place in
// the other key bytes, eight bits under five rules in turn, and every such
// column falls within 7 updates into a cycle of 5. From then on K(b + 5) =
// K(b), and whitening is an XOR with 40 bytes of key over and over.
enum { KEY_PERIOD_BLOCKS = 5, WHITENING_MASK_SIZE = 2 * KEY_PERIOD_BLOCKS * WHITENING_BLOCK_SIZE };

// At a block boundary, with the counter set and the key already repeating:
// writes two periods of the key stream to `mask` (80 bytes, so that 16-byte
// steps meet its end exactly), moves the state past the whole blocks of
// `count` bytes, as far as the counter goes without wrapping round, and
// returns how many bytes that is. Byte k of them is whitened by mask[k % 80].
// Otherwise returns 0 and leaves the state alone: WhiteningFeed goes on.
size_t WhiteningTakeRepeatingMask(WhiteningState* state, size_t count,
                                  unsigned char mask[WHITENING_MASK_SIZE]);

#endif
