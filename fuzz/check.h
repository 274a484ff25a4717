// The fuzz targets' assertion: a property that fails aborts the run, so
// libFuzzer stops, reports it and keeps the input that broke it.
#ifndef ZORVANE_FUZZ_CHECK_H
#define ZORVANE_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                      \
    do {                                                                           \
        if (!(condition)) {                                                        \
            fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__,   \
                    #condition);                                                   \
            abort();                                                               \
        }                                                                          \
    } while (0)

#endif
