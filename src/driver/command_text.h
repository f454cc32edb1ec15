// What both protocol front ends read command lines with.
#pragma once

#include <cstdlib>
#include <cstring>

#include "board/types.h"
#include "driver/bench.h"
#include "platform/input.h"

constexpr int CommandLineSize = InputLineLimit + 1;

inline bool startsWith(const char* line, const char* prefix) {
    return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

// The text from a fixed offset of a command line, or "" when the line is shorter.
inline const char* textFrom(const char* line, size_t offset) {
    return std::strlen(line) >= offset ? line + offset : "";
}

// "bench" or "bench DEPTH".
inline bool isBench(const char* line) {
    return std::strncmp(line, "bench", 5) == 0 && (line[5] == '\0' || line[5] == ' ');
}

// The depth of a bench line; the default when none or out of range.
inline int benchDepthOf(const char* line) {
    int depth = line[5] ? std::atoi(line + 6) : 0;
    return depth >= 1 && depth < MaxPly ? depth : BenchDepth;
}
