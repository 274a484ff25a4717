// A small SHA-256 for the carrier tests: known-answer vectors are recorded
// as the digests of what extraction must give.
#ifndef ZORVANE_TESTS_CARRIER_SHA256_H
#define ZORVANE_TESTS_CARRIER_SHA256_H

#include <string>

// Lower-case hex digest of the bytes.
std::string Sha256Hex(const std::string& bytes);

#endif
