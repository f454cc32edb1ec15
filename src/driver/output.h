// Everything the engine says goes through here: one whole line per call,
// flushed at once, so that no line is split or left in a buffer.
#pragma once

#include "platform/platform.h"

struct Engine;

// Formats and writes text (which carries its own line ends) to standard output.
void sendText(const char* format, ...) VOSTREL_PRINTF(1, 2);

// The bench to depth, as every front end and the command line report it: a
// line per position, then "Nodes searched: N" and "Nodes/second: N".
void sendBench(Engine& engine, int depth);
