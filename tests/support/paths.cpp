// Test data paths and the list of temporary-file names.
#include "tests/support/paths.h"

const char* const kTemporaryFiles[4] = {"tmpFile.txt", "tmpFile1.txt", "tmpKeyOut.txt",
                                        "tmpEFile"};

std::string TestDataPath(const std::string& relative)
{
    std::string path = std::string(ZORVANE_TESTDATA) + "/" + relative;
#ifdef _WIN32
    if (path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
#endif
    return path;
}

std::vector<std::string> CipherTemporaryFiles()
{
    return {kTemporaryFiles[0], kTemporaryFiles[1], kTemporaryFiles[2]};
}

std::vector<std::string> CarrierTemporaryFiles()
{
    return {kTemporaryFiles[2], kTemporaryFiles[3]};
}
