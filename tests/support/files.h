// Whole files as byte strings, the tab-separated tables of tests/data, and
// pseudo-random contents, for tests native and under Wine alike.
#ifndef ZORVANE_TESTS_SUPPORT_FILES_H
#define ZORVANE_TESTS_SUPPORT_FILES_H

#include <string>
#include <vector>

// The file's bytes; empty when it cannot be read (then *found is false).
std::string ReadFileBytes(const std::string& path, bool* found = nullptr);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// The rows of a tab-separated table, each split into its fields; empty lines
// and lines that start with '#' are skipped. No rows when it cannot be read.
std::vector<std::vector<std::string>> ReadTable(const std::string& path);
// The bytes a field of hex digits stands for (the tables keep 8-bit text so).
std::string BytesFromHex(const std::string& hex);

// Deterministic pseudo-random bytes: the high bytes of a linear congruential
// sequence that starts at `seed` (some tables depend on these exact bytes).
std::string PseudoRandomBytes(size_t count, unsigned seed);

#endif
