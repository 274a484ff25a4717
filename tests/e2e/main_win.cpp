// Entry of the end-to-end programs: GoogleTest, plus --dist DIR naming the
// folder of the programs under test, --shots for the screenshot script and
// --wow64 for a run in a 64-bit prefix.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/e2e/driver_win.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int k = 1; k < argc; k++) {
        if (strcmp(argv[k], "--dist") == 0 && k + 1 < argc)
            g_distDir = argv[k + 1];
        if (strcmp(argv[k], "--shots") == 0)
            g_shots = true;
        if (strcmp(argv[k], "--wow64") == 0)
            g_wow64 = true;
    }
    return RUN_ALL_TESTS();
}
