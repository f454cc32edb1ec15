// The instruction-set extensions this build was compiled to use, and the
// start-up check that the CPU has them.
#pragma once

#include <cstddef>

enum CpuFeature : unsigned {
    CpuSse3 = 1u << 0,
    CpuSsse3 = 1u << 1,
    CpuSse41 = 1u << 2,
    CpuSse42 = 1u << 3,
    CpuPopcnt = 1u << 4,
    CpuAvx = 1u << 5,
    CpuAvx2 = 1u << 6,
    CpuBmi1 = 1u << 7,
    CpuBmi2 = 1u << 8,
    CpuFma = 1u << 9,
    CpuAvx512f = 1u << 10,
};

// Whether the including file's flags give the bit-count instruction; without it
// std::popcount is a call into the compiler's runtime. Internal linkage: the
// start-up check is built with other flags.
#ifdef __POPCNT__
constexpr bool buildHasPopcnt = true;
#else
constexpr bool buildHasPopcnt = false;
#endif

// Set from the compiler's own macros in a file built with the build's flags:
// constant data, so reading it runs none of those instructions.
extern const unsigned buildCpuFeatures;
extern const char* const buildCpuName;

// The names of features, each after a space ("" for none), cut to size.
// Built for the oldest CPU like the check itself, so callable before it.
void nameCpuFeatures(unsigned features, char* text, size_t size);
