// The wipe clears exactly the bytes it is given: every one of them, and
// nothing before or after.
#include <gtest/gtest.h>

#include <string>

#include "base/wipe.h"

TEST(Wipe, ClearsExactlyTheGivenBytes)
{
    struct Case {
        size_t offset, count;
    };
    const Case cases[] = {{0, 0}, {5, 0}, {0, 1}, {3, 1}, {0, 8}, {1, 7}, {2, 31}, {0, 64}};
    for (const Case& c : cases) {
        unsigned char buffer[64];
        for (size_t k = 0; k < sizeof buffer; k++)
            buffer[k] = (unsigned char)(0x80 | k);
        Wipe(buffer + c.offset, c.count);
        for (size_t k = 0; k < sizeof buffer; k++) {
            bool inside = k >= c.offset && k < c.offset + c.count;
            EXPECT_EQ(inside ? 0 : (0x80 | k), buffer[k])
                << "byte " << k << " of a wipe of " << c.count << " at " << c.offset;
        }
    }
}
