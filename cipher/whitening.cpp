// The rolling key and the streaming whitening pass of cipher files.
#include "cipher/whitening.h"

#include <cstring>

// The key as one 64-bit word, K[i] in bits 8i..8i+7 whatever the machine's
// byte order, so that a block's eight XORs and a key update are single word
// operations the whitening loop keeps in a register.
static inline uint64_t LoadWord(const unsigned char bytes[8])
{
    uint64_t word = 0;
    for (int i = 0; i < 8; i++)
        word |= (uint64_t)bytes[i] << (8 * i);
    return word;
}

static inline void StoreWord(uint64_t word, unsigned char bytes[8])
{
    for (int i = 0; i < 8; i++)
        bytes[i] = (unsigned char)(word >> (8 * i));
}

// One key update on the word form (see KeyUpdate in the header).
static inline uint64_t UpdateKeyWord(uint64_t key, int32_t* counter)
{
    // Which byte each rule reads: K[1], K[4], K[3], K[7], K[6].
    static const int kSourceByte[5] = {1, 4, 3, 7, 6};
    // The counter starts at 0..255 and grows by one per 8-byte block, so it
    // stays far below the signed limit for any file the 64-bit sizes allow
    // (2^31 blocks = 16 GiB); unsigned arithmetic keeps the mod defined past it.
    unsigned rule = (uint32_t)*counter % 5u;
    // v in every byte of a word: combining with it combines every K[i] with v.
    uint64_t v = ((key >> (8 * kSourceByte[rule])) & 0xFF) * 0x0101010101010101ull;
    if (rule == 1)
        key &= v;
    else if (rule == 3)
        key |= v;
    else
        key ^= v;
    *counter = (int32_t)((uint32_t)*counter + 1u);
    return key;
}

void KeyUpdate(unsigned char key[ROLLING_KEY_SIZE], int32_t* counter)
{
    StoreWord(UpdateKeyWord(LoadWord(key), counter), key);
}

void WhiteningBegin(WhiteningState* state, const char seed[ROLLING_KEY_SIZE],
                    WhiteningDirection direction)
{
    memcpy(state->key, seed, ROLLING_KEY_SIZE);
    state->counter = 0;
    state->counterSet = false;
    state->blockPosition = 0;
    state->direction = direction;
}

void WhiteningFeed(WhiteningState* state, const unsigned char* in, size_t count,
                   unsigned char* out)
{
    size_t k = 0;
    while (k < count) {
        // Whole blocks once the counter is known, the bulk of any long
        // stream: one word XOR and one word update per block.
        if (state->blockPosition == 0 && state->counterSet) {
            uint64_t key = LoadWord(state->key);
            int32_t counter = state->counter;
            for (; count - k >= WHITENING_BLOCK_SIZE; k += WHITENING_BLOCK_SIZE) {
                StoreWord(LoadWord(in + k) ^ key, out + k);
                key = UpdateKeyWord(key, &counter);
            }
            StoreWord(key, state->key);
            state->counter = counter;
            if (k == count)
                break;
        }
        unsigned char input = in[k];
        unsigned char output = (unsigned char)(input ^ state->key[state->blockPosition]);
        if (!state->counterSet && state->blockPosition == COUNTER_SOURCE_OFFSET) {
            state->counter = state->direction == WHITEN_ENCRYPT ? input : output;
            state->counterSet = true;
        }
        out[k] = output;
        // The key moves on once a block is complete. A first block shorter
        // than 4 bytes never sets the counter, and then no later byte needs it.
        if (++state->blockPosition == WHITENING_BLOCK_SIZE) {
            KeyUpdate(state->key, &state->counter);
            state->blockPosition = 0;
        }
        k++;
    }
}

size_t WhiteningTakeRepeatingMask(WhiteningState* state, size_t count,
                                  unsigned char mask[WHITENING_MASK_SIZE])
{
    if (state->blockPosition != 0 || !state->counterSet || count < WHITENING_BLOCK_SIZE)
        return 0;
    // The rules repeat every 5 updates only while the counter does not wrap
    // round (counter mod 5 jumps there, 32 GiB into a stream): the blocks
    // taken stop before it.
    uint32_t start = (uint32_t)state->counter;
    uint32_t beforeWrap = UINT32_MAX - start;
    uint64_t keys[KEY_PERIOD_BLOCKS + 1];
    keys[0] = LoadWord(state->key);
    int32_t counter = state->counter;
    for (int j = 0; j < KEY_PERIOD_BLOCKS; j++)
        keys[j + 1] = UpdateKeyWord(keys[j], &counter);
    // The same key and the same rule five blocks on: the same from then on.
    if (keys[KEY_PERIOD_BLOCKS] != keys[0])
        return 0;
    size_t blocks = count / WHITENING_BLOCK_SIZE;
    if (blocks > beforeWrap)
        blocks = beforeWrap;
    for (int j = 0; j < 2 * KEY_PERIOD_BLOCKS; j++)
        StoreWord(keys[j % KEY_PERIOD_BLOCKS], mask + WHITENING_BLOCK_SIZE * j);
    StoreWord(keys[blocks % KEY_PERIOD_BLOCKS], state->key);
    state->counter = (int32_t)(start + (uint32_t)blocks);
    return blocks * WHITENING_BLOCK_SIZE;
}
