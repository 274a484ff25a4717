// The rolling key and the streaming whitening pass of cipher files.
#include "cipher/whitening.h"

#include <cstring>

void KeyUpdate(unsigned char key[ROLLING_KEY_SIZE], int32_t* counter)
{
    // The counter starts at 0..255 and grows by one per 8-byte block, so it
    // stays far below the signed limit for any file the 64-bit sizes allow
    // (2^31 blocks = 16 GiB); unsigned arithmetic keeps the mod defined past it.
    unsigned rule = (uint32_t)*counter % 5u;
    unsigned char v;
    switch (rule) {
    case 0:
        v = key[1];
        for (int i = 0; i < ROLLING_KEY_SIZE; i++)
            key[i] ^= v;
        break;
    case 1:
        v = key[4];
        for (int i = 0; i < ROLLING_KEY_SIZE; i++)
            key[i] &= v;
        break;
    case 2:
        v = key[3];
        for (int i = 0; i < ROLLING_KEY_SIZE; i++)
            key[i] ^= v;
        break;
    case 3:
        v = key[7];
        for (int i = 0; i < ROLLING_KEY_SIZE; i++)
            key[i] |= v;
        break;
    default:
        v = key[6];
        for (int i = 0; i < ROLLING_KEY_SIZE; i++)
            key[i] ^= v;
        break;
    }
    *counter = (int32_t)((uint32_t)*counter + 1u);
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
    for (size_t k = 0; k < count; k++) {
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
    }
}
