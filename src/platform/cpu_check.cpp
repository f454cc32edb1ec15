// Compiled for the oldest CPU of its family whatever the build's flags, and
// run before every other constructor of the program: a CPU without an
// extension the build uses gets one line and exit status 1, never an
// illegal instruction.
#include <cstdio>
#include <cstdlib>

#include "platform/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)

namespace {

struct FeatureName {
    unsigned bit;
    const char* name;
};

constexpr FeatureName featureNames[] = {
    {CpuSse3, "sse3"},     {CpuSsse3, "ssse3"}, {CpuSse41, "sse4.1"},   {CpuSse42, "sse4.2"},
    {CpuPopcnt, "popcnt"}, {CpuAvx, "avx"},     {CpuAvx2, "avx2"},      {CpuBmi1, "bmi1"},
    {CpuBmi2, "bmi2"},     {CpuFma, "fma"},     {CpuAvx512f, "avx512f"}};

// The builtins take only literal names.
unsigned presentFeatures() {
    __builtin_cpu_init();
    unsigned present = 0;
    if (__builtin_cpu_supports("sse3")) present |= CpuSse3;
    if (__builtin_cpu_supports("ssse3")) present |= CpuSsse3;
    if (__builtin_cpu_supports("sse4.1")) present |= CpuSse41;
    if (__builtin_cpu_supports("sse4.2")) present |= CpuSse42;
    if (__builtin_cpu_supports("popcnt")) present |= CpuPopcnt;
    if (__builtin_cpu_supports("avx")) present |= CpuAvx;
    if (__builtin_cpu_supports("avx2")) present |= CpuAvx2;
    if (__builtin_cpu_supports("bmi")) present |= CpuBmi1;
    if (__builtin_cpu_supports("bmi2")) present |= CpuBmi2;
    if (__builtin_cpu_supports("fma")) present |= CpuFma;
    if (__builtin_cpu_supports("avx512f")) present |= CpuAvx512f;
    return present;
}

__attribute__((constructor(101))) void checkCpuFeatures() {
    const unsigned missing = buildCpuFeatures & ~presentFeatures();
    if (!missing) return;
    char names[128];
    nameCpuFeatures(missing, names, sizeof names);
    std::fprintf(stderr,
                 "vostrel: this build (%s) needs%s, which this CPU lacks: use the generic "
                 "build (cmake -DVOSTREL_ARCH=generic, or the 32-bit Windows program)\n",
                 buildCpuName, names);
    std::_Exit(1);
}

}  // namespace

void nameCpuFeatures(unsigned features, char* text, size_t size) {
    size_t length = 0;
    text[0] = 0;
    for (const FeatureName& feature : featureNames)
        if ((features & feature.bit) && length + 16 < size)
            length += size_t(std::snprintf(text + length, size - length, " %s", feature.name));
}

#else

void nameCpuFeatures(unsigned, char* text, size_t) { text[0] = 0; }

#endif
