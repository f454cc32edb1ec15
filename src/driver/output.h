// Everything the engine says goes through here: one whole line per call,
// flushed at once, so that no line is split or left in a buffer.
#pragma once

#if defined(__GNUC__)
#define VOSTREL_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VOSTREL_PRINTF(formatIndex, firstArgument)
#endif

// Formats and writes text (which carries its own line ends) to standard output.
void sendText(const char* format, ...) VOSTREL_PRINTF(1, 2);
