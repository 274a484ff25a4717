// Reads the known-answer list of tests/data/carrier/vectors.tsv.
#include "tests/carrier/vectors.h"

#include <cstdlib>

#include "tests/support/files.h"
#include "tests/support/paths.h"

const RequiredVector kRequiredVectors[6] = {
    {"image-empty.png", 1},
    {"image-one.png", 1},
    {"image-text.png", 1},
    {"image-nested.png", 2},
    {"image-umlaut.png", 1},
    {"image-cyrillic.png", 1},
};

std::vector<CarrierVectorStep> LoadVectorSteps()
{
    std::vector<CarrierVectorStep> steps;
    for (const std::vector<std::string>& row : ReadTable(TestDataPath("carrier/vectors.tsv"))) {
        if (row.size() < 7)
            continue;
        // Keys and stored names are the hex of their bytes in a code page.
        steps.push_back({row[0], atoi(row[1].c_str()), BytesFromHex(row[2]),
                         atoll(row[3].c_str()), row[4], row[5], BytesFromHex(row[6])});
    }
    return steps;
}

std::vector<CarrierVectorStep> StepsOf(const std::vector<CarrierVectorStep>& all,
                                       const std::string& carrier)
{
    std::vector<CarrierVectorStep> found;
    for (const CarrierVectorStep& s : all) {
        if (s.carrier == carrier)
            found.push_back(s);
    }
    return found;
}
