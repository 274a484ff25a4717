// Reads the known-answer list of tests/data/carrier/vectors.txt.
#include "tests/carrier/vectors.h"

#include <fstream>
#include <iterator>
#include <sstream>

const RequiredVector kRequiredVectors[4] = {
    {"image-empty.png", 1},
    {"image-one.png", 1},
    {"image-text.png", 1},
    {"image-nested.png", 2},
};

std::string VectorPath(const std::string& name)
{
#ifdef _WIN32
    // Under Wine the build's Unix path is reached through drive Z:.
    const std::string drive = ZORVANE_TESTDATA[0] == '/' ? "Z:" : "";
#else
    const std::string drive;
#endif
    return drive + ZORVANE_TESTDATA + "/carrier/" + name;
}

std::string ReadWholeFile(const std::string& path, bool* found)
{
    std::ifstream in(path, std::ios::binary);
    *found = in.good();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<CarrierVectorStep> LoadVectorSteps()
{
    std::vector<CarrierVectorStep> steps;
    std::ifstream in(VectorPath("vectors.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        CarrierVectorStep s;
        if (fields >> s.carrier >> s.step >> s.key >> s.hiddenSize >> s.hiddenSha256 >>
            s.remainingSha256 >> s.storedName)
            steps.push_back(s);
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
