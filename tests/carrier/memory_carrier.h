// Carriers held in memory for the pure tests: built and read with the
// trailer code alone, every field taken only where the layout allows.
#ifndef ZORVANE_TESTS_CARRIER_MEMORY_CARRIER_H
#define ZORVANE_TESTS_CARRIER_MEMORY_CARRIER_H

#include <string>

#include "carrier/trailer.h"

// own + one trailer hiding `hidden` under `signature` (up to 7 characters).
std::string AppendTrailer(const std::string& own, const std::string& signature,
                          const std::string& hidden, const std::string& name);

struct MemoryExtraction {
    TrailerError placed;
    bool keyMatches;
    std::string hidden;
    std::string remaining;
    std::string storedName;
};

// What the extract command reads from a carrier with this typed key.
MemoryExtraction ExtractInMemory(const std::string& file, const std::string& key);

#endif
