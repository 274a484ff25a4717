// Percentage arithmetic and the running label of the progress display.
#include "shell/progress.h"

#include <cstdio>

int PercentOfIndex(uint64_t index, uint64_t count)
{
    // index * 100 may not fit 64 bits, so add index a hundred times modulo
    // count and count the wraps: the wraps are the quotient.
    if (count == 0)
        return 0;
    index %= count;
    uint64_t acc = 0;
    int quotient = 0;
    for (int k = 0; k < 100; k++) {
        if (index >= count - acc) {
            acc = index - (count - acc);
            quotient++;
        } else {
            acc += index;
        }
    }
    return quotient;
}

void PercentBegin(PercentCounter* counter, uint64_t count)
{
    counter->count = count;
    counter->remainder = 0;
    counter->percent = 0;
}

int PercentNext(PercentCounter* counter)
{
    int current = counter->percent;
    // Going from index i to i + 1 adds 100 to index * 100.
    uint64_t add = 100;
    while (add > 0) {
        uint64_t room = counter->count - counter->remainder;
        if (add >= room) {
            add -= room;
            counter->remainder = 0;
            counter->percent++;
        } else {
            counter->remainder += add;
            add = 0;
        }
    }
    return current;
}

void FormatPercentLabel(int percent, char* out, size_t outSize)
{
    if (outSize < 5) {
        if (outSize > 0)
            out[0] = '\0';
        return;
    }
    snprintf(out, outSize, "%d   complete", percent);
    out[3] = '%';
}
