// Reads the stack below the caller's frame: the frames of the calls that
// just returned lie there until something overwrites them.
#include "tests/support/leftovers.h"

__attribute__((noinline)) bool StackHoldsLeftover(const std::string& secret)
{
    // Not initialised on purpose: it holds what earlier calls left. Read in
    // place, so that nothing of this frame overwrites what is looked for.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
    volatile unsigned char area[16384];
    const size_t n = secret.size();
    for (size_t at = 0; at + n <= sizeof area; at++) {
        size_t k = 0;
        while (k < n && area[at + k] == (unsigned char)secret[k])
            k++;
        if (k == n)
            return true;
    }
    return false;
#pragma GCC diagnostic pop
}
