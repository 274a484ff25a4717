// A small SHA-256 for the tests: the known-answer vectors store the digest
// of each payload, and the tests compare what the decrypt side produced.
#ifndef ZORVANE_TESTS_CIPHER_SHA256_H
#define ZORVANE_TESTS_CIPHER_SHA256_H

#include <string>

// Lower-case hexadecimal digest of `bytes`.
std::string Sha256Hex(const std::string& bytes);

#endif
