// Shared by the fuzz targets: a property check that stops the run with a message (libFuzzer
// then saves the input as a crash), and the input reader of the clang runtime.
#ifndef ZYFUZZ_H
#define ZYFUZZ_H

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

// Stops the run when the property `uslovie` does not hold.
#define ZY_PROVERIT(uslovie, ...)                                                                  \
    do {                                                                                           \
        if (!(uslovie)) {                                                                          \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n  ", #uslovie, __FILE__, __LINE__); \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fprintf(stderr, "\n");                                                            \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

#endif // ZYFUZZ_H
