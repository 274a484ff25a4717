// The known-answer carriers in tests/data/carrier: their list, the key of
// each extraction step and the digests the step must give.
#ifndef ZORVANE_TESTS_CARRIER_VECTORS_H
#define ZORVANE_TESTS_CARRIER_VECTORS_H

#include <string>
#include <vector>

struct CarrierVectorStep {
    std::string carrier;      // file name in tests/data/carrier
    int step;                 // 1 = the last trailer, 2 = the one before, ...
    std::string key;
    long long hiddenSize;
    std::string hiddenSha256;    // of the hidden bytes this step writes out
    std::string remainingSha256; // of the carrier after this step
    std::string storedName;
};

// Every carrier the suite requires and how many trailers each holds; a
// vector missing from the folder or from vectors.tsv fails the suite.
struct RequiredVector {
    const char* carrier;
    int steps;
};
extern const RequiredVector kRequiredVectors[6];

// Reads vectors.tsv; an empty list when it is missing.
std::vector<CarrierVectorStep> LoadVectorSteps();
// The carrier's steps in extraction order.
std::vector<CarrierVectorStep> StepsOf(const std::vector<CarrierVectorStep>& all,
                                       const std::string& carrier);

#endif
