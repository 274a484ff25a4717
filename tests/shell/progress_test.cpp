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
    // The largest 32-bit size, and the largest 64-bit one, where index * 100 overflows.
    for (uint64_t count : {4294967295ull, 0xFFFFFFFFFFFFFFFFull}) {
        EXPECT_EQ(PercentOfIndex(count - 1, count), 99) << count;
        EXPECT_EQ(PercentOfIndex(count / 100, count), 0) << count; // count / 100 * 100 < count
        EXPECT_EQ(PercentOfIndex(count / 100 + 1, count), 1) << count;
        EXPECT_EQ(PercentOfIndex(count / 2, count), 49) << count;
    }
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
    // Each index with the percentage it shows.
    const int shown[][2] = {{0, 0}, {1, 0}, {2, 1}, {20, 10}, {198, 99}, {199, 99}};
    for (const auto& s : shown)
        EXPECT_EQ(seen[s[0]], s[1]) << "index " << s[0];
}

TEST(PercentLabel, RunningTextsForEveryPercentage)
{
    for (int p = 1; p <= 99; p++) {
        char label[32];
        FormatPercentLabel(p, label, sizeof label);
        char expected[32];
        snprintf(expected, sizeof expected, p < 10 ? "%d  %%complete" : "%d %% complete", p);
        EXPECT_STREQ(label, expected) << p;
        EXPECT_EQ(strlen(label), p < 10 ? 12u : 13u);
    }
}

TEST(PercentLabel, IdleTexts)
{
    EXPECT_STREQ(kLabelIdleAfterEncrypt, " 0 % complete");
    EXPECT_STREQ(kLabelIdleAfterDecrypt, "0 % complete");
}
