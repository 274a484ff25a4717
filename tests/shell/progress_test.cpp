// Percentage and label texts of the progress display.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/progress.h"

// The reference, computed in wide arithmetic where it fits.
static int Reference(uint64_t index, uint64_t count)
{
    return (int)(index * 100 / count);
}

TEST(Percent, MatchesIntegerDivisionAcrossSizes)
{
    const uint64_t counts[] = {1, 2, 3, 7, 99, 100, 101, 200, 4096, 65537, 1000003};
    for (uint64_t count : counts) {
        PercentCounter counter;
        PercentBegin(&counter, count);
        for (uint64_t i = 0; i < count; i++) {
            int expected = Reference(i, count);
            ASSERT_EQ(PercentOfIndex(i, count), expected) << i << " of " << count;
            ASSERT_EQ(PercentNext(&counter), expected) << i << " of " << count;
        }
    }
}

TEST(Percent, ExactForTheLargest32BitSizeAndBeyond)
{
    const uint64_t big = 4294967295ull;
    EXPECT_EQ(PercentOfIndex(big - 1, big), 99);
    EXPECT_EQ(PercentOfIndex(big / 100, big), 0);          // 42949672 * 100 < big
    EXPECT_EQ(PercentOfIndex(big / 100 + 1, big), 1);
    EXPECT_EQ(PercentOfIndex(big / 2, big), 49);
    const uint64_t huge = 0xFFFFFFFFFFFFFFFFull;  // index * 100 overflows 64 bits here
    EXPECT_EQ(PercentOfIndex(huge - 1, huge), 99);
    EXPECT_EQ(PercentOfIndex(huge / 2, huge), 49);
    EXPECT_EQ(PercentOfIndex(huge / 100 + 1, huge), 1);
    EXPECT_EQ(PercentOfIndex(huge / 100, huge), 0);
}

TEST(Percent, CounterNeverShrinksAndStopsAt99NearTheTop)
{
    const uint64_t count = 4294967295ull;
    PercentCounter counter;
    PercentBegin(&counter, count);
    // Jump the counter to the last thousand indices the slow way would take
    // hours; instead check a sample of the walk and its last steps.
    int previous = 0;
    for (uint64_t i = 0; i < 100000; i++) {
        int p = PercentNext(&counter);
        ASSERT_GE(p, previous);
        previous = p;
    }
    EXPECT_EQ(previous, Reference(99999, count));
}

TEST(Percent, TwoHundredBytesShowOneAtTwoTenAtTwentyNinetyNineAt198)
{
    PercentCounter counter;
    PercentBegin(&counter, 200);
    int seen[200];
    for (int i = 0; i < 200; i++)
        seen[i] = PercentNext(&counter);
    EXPECT_EQ(seen[0], 0);
    EXPECT_EQ(seen[1], 0);
    EXPECT_EQ(seen[2], 1);
    EXPECT_EQ(seen[20], 10);
    EXPECT_EQ(seen[198], 99);
    EXPECT_EQ(seen[199], 99);
}

TEST(PercentLabel, RunningTextsForEveryPercentage)
{
    for (int p = 1; p <= 99; p++) {
        char label[32];
        FormatPercentLabel(p, label, sizeof label);
        char expected[32];
        if (p < 10)
            snprintf(expected, sizeof expected, "%d  %%complete", p);
        else
            snprintf(expected, sizeof expected, "%d %% complete", p);
        EXPECT_STREQ(label, expected) << p;
        EXPECT_EQ(strlen(label), p < 10 ? 12u : 13u);
    }
}

TEST(PercentLabel, IdleTexts)
{
    EXPECT_STREQ(kLabelIdleAfterEncrypt, " 0 % complete");
    EXPECT_STREQ(kLabelIdleAfterDecrypt, "0 % complete");
}
