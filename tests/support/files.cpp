// Whole files as byte strings.
#include "tests/support/files.h"

#include <cstdio>

std::string ReadFileBytes(const std::string& path, bool* found)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (found)
        *found = f != nullptr;
    if (!f)
        return bytes;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, got);
    fclose(f);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}
