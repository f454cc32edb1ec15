// Input read by a thread of its own and handed over as whole lines. The
// thread blocks on the system's read, which works on every kind of input (a
// console, any pipe, a file), so the engine never has to ask the system
// whether input waits: a peek looks at the queue. Only a read that returns
// no bytes or fails ends the input.
#pragma once

#include "platform/platform.h"

// Longest line handed over whole; a longer line is split after this many
// characters and the rest follows as the next line. A UCI position line holds
// a whole game: the longest one takes about 90 000 characters.
constexpr int InputLineLimit = (1 << 17) - 1;

struct LineReader;

// Starts a thread that reads source until its end.
LineReader* startLineReader(InputSource source);

// Waits for the thread to finish and frees the reader. The source must have
// ended (the writer closed), or this waits for ever.
void stopLineReader(LineReader* reader);

// Takes the next line into buffer (at most size - 1 characters, without its
// line end; a longer one is split) and returns its length. Blocks until a line
// has arrived; -1 once the input has ended and every line was taken.
int readLine(LineReader& reader, char* buffer, int size);

// What input waits, without consuming it.
enum InputPeek : int {
    InputGone = -1,    // end of input and nothing left: the GUI has gone
    InputNothing = 0,  // nothing pending
    InputPending = 1,  // buffer holds the first pending line and its "\n" (cut to size - 1)
};
InputPeek peekLine(LineReader& reader, char* buffer, int size);

// Lines handed to the queue so far, and the number of the first pending line
// (lines are numbered from 0 in the order they arrived): a command can tell
// what was typed after it started from what was sent before it.
uint64_t linesReceived(LineReader& reader);
uint64_t firstPendingLine(LineReader& reader);

// The input ends once the lines already queued are taken. The thread has a
// moment to queue what it can still read (a source that no longer blocks
// ends by itself); what it reads after that is dropped.
void endAfterPendingLines(LineReader& reader);

// Waits up to milliseconds for a line or the end of input; true when either came.
bool waitForLine(LineReader& reader, int milliseconds);

// The reader of standard input, started on first use and kept for the
// process's life.
LineReader& standardInputReader();

// endAfterPendingLines on standard input.
void endStandardInputAfterPendingLines();

// readLine and peekLine on standard input.
int readInputLine(char* buffer, int size);
InputPeek peekInput(char* buffer, int size);
