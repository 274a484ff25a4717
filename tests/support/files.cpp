// Whole files as byte strings, tab-separated tables, pseudo-random bytes.
#include "tests/support/files.h"

#include <cstdio>
#include <sstream>

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

std::vector<std::vector<std::string>> ReadTable(const std::string& path)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(ReadFileBytes(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        size_t start = 0;
        for (;;) {
            size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        rows.push_back(fields);
    }
    return rows;
}

std::string BytesFromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t k = 0; k + 1 < hex.size(); k += 2)
        bytes += (char)std::stoi(hex.substr(k, 2), nullptr, 16);
    return bytes;
}

std::string PseudoRandomBytes(size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    unsigned state = seed;
    for (size_t k = 0; k < count; k++) {
        state = state * 1103515245u + 12345u;
        bytes[k] = (char)(state >> 16);
    }
    return bytes;
}
