// Known-answer carriers: each recorded extraction step, read with the pure
// trailer code, must give the recorded hidden bytes and carrier remainder.
#include <gtest/gtest.h>

#include "tests/carrier/memory_carrier.h"
#include "tests/support/files.h"
#include "tests/support/paths.h"
#include "tests/support/sha256.h"
#include "tests/carrier/vectors.h"

TEST(CarrierVectors, EveryRequiredVectorIsPresent)
{
    std::vector<CarrierVectorStep> all = LoadVectorSteps();
    for (const RequiredVector& v : kRequiredVectors) {
        bool found = false;
        ReadFileBytes(TestDataPath(std::string("carrier/") + v.carrier), &found);
        EXPECT_TRUE(found) << "missing vector " << v.carrier;
        EXPECT_EQ((size_t)v.steps, StepsOf(all, v.carrier).size()) << v.carrier;
    }
}

TEST(CarrierVectors, ExtractionGivesTheRecordedBytes)
{
    std::vector<CarrierVectorStep> all = LoadVectorSteps();
    bool found = false;
    std::string image = ReadFileBytes(TestDataPath("carrier/image.png"), &found);
    ASSERT_TRUE(found);
    for (const RequiredVector& v : kRequiredVectors) {
        std::string file = ReadFileBytes(TestDataPath(std::string("carrier/") + v.carrier), &found);
        ASSERT_TRUE(found) << v.carrier;
        for (const CarrierVectorStep& s : StepsOf(all, v.carrier)) {
            SCOPED_TRACE(v.carrier + std::string(" step ") + std::to_string(s.step));
            std::string wrongKey = s.key;
            wrongKey[0] ^= 0x20; // the other letter case
            EXPECT_FALSE(ExtractInMemory(file, wrongKey).keyMatches);
            MemoryExtraction x = ExtractInMemory(file, s.key);
            ASSERT_EQ(TRAILER_OK, x.placed);
            ASSERT_TRUE(x.keyMatches);
            EXPECT_EQ(s.hiddenSize, (long long)x.hidden.size());
            EXPECT_EQ(s.hiddenSha256, Sha256Hex(x.hidden));
            EXPECT_EQ(s.remainingSha256, Sha256Hex(x.remaining));
            EXPECT_EQ(s.storedName, x.storedName);
            file = x.remaining;
        }
        // With every trailer gone the image is back and holds none.
        EXPECT_TRUE(file == image) << v.carrier;
        EXPECT_EQ(TRAILER_FILE_TOO_SHORT, ExtractInMemory(file, "x").placed);
    }
}
