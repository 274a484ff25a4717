// Whole files as byte strings, for tests native and under Wine alike.
#ifndef ZORVANE_TESTS_SUPPORT_FILES_H
#define ZORVANE_TESTS_SUPPORT_FILES_H

#include <string>

// The file's bytes; empty when it cannot be read (then *found is false).
std::string ReadFileBytes(const std::string& path, bool* found = nullptr);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

#endif
