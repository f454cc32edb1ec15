// The command loop's router: every line, from standard input, the
// configuration file or the poll during a search, goes through dispatchCommand.
#pragma once

#include <cstring>

#include "platform/input.h"

struct Engine;

constexpr int CommandLineSize = InputLineLimit + 1;

inline bool startsWith(const char* line, const char* prefix) {
    return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

// The text from a fixed offset of a command line, or "" when the line is shorter.
inline const char* textFrom(const char* line, size_t offset) {
    return std::strlen(line) >= offset ? line + offset : "";
}

void dispatchCommand(Engine& engine, const char* line);

// "bench" or "bench DEPTH", and its depth (the default when none or out of range).
bool isBench(const char* line);
int benchDepthOf(const char* line);

// Reads one line from standard input and dispatches it; ends the program at
// the end of input.
void readAndDispatchLine(Engine& engine);
