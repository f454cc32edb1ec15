// Compiled with the build's instruction-set flags; holds only constants.
#include "platform/cpu_features.h"

#ifndef VOSTREL_ARCH_NAME
#define VOSTREL_ARCH_NAME "generic"
#endif

const char* const buildCpuName = VOSTREL_ARCH_NAME;

const unsigned buildCpuFeatures = 0
#ifdef __SSE3__
                                  | CpuSse3
#endif
#ifdef __SSSE3__
                                  | CpuSsse3
#endif
#ifdef __SSE4_1__
                                  | CpuSse41
#endif
#ifdef __SSE4_2__
                                  | CpuSse42
#endif
#ifdef __POPCNT__
                                  | CpuPopcnt
#endif
#ifdef __AVX__
                                  | CpuAvx
#endif
#ifdef __AVX2__
                                  | CpuAvx2
#endif
#ifdef __BMI__
                                  | CpuBmi1
#endif
#ifdef __BMI2__
                                  | CpuBmi2
#endif
#ifdef __FMA__
                                  | CpuFma
#endif
#ifdef __AVX512F__
                                  | CpuAvx512f
#endif
    ;
