// A small SHA-256 for the tests: known-answer vectors record the digests of
// what decryption and extraction must give.
#ifndef ZORVANE_TESTS_SUPPORT_SHA256_H
#define ZORVANE_TESTS_SUPPORT_SHA256_H

#include <string>

// Lower-case hexadecimal digest of `bytes`.
std::string Sha256Hex(const std::string& bytes);

#endif
