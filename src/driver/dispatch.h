// The command loop's router: every line, from standard input, the
// configuration file or the poll during a search, goes through dispatchCommand.
#pragma once

struct Engine;

constexpr int CommandLineSize = 4096;  // lines of at most 4095 characters

void dispatchCommand(Engine& engine, const char* line);

// Reads one line from standard input and dispatches it; ends the program at
// the end of input.
void readAndDispatchLine(Engine& engine);
