// Everything the engine says goes through here: one whole line per call,
// flushed at once, so that no line is split or left in a buffer.
#pragma once

#include "platform/platform.h"

// Formats and writes text (which carries its own line ends) to standard output.
void sendText(const char* format, ...) VOSTREL_PRINTF(1, 2);
