#pragma once

#include <cstdio>
#include <cstdlib>

// A promise of the parser that the input broke: the fuzzer keeps the input as a crash.
inline void fuzzCheck(bool holds, const char* promise) {
    if (holds)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}
