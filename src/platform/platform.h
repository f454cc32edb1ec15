// The operating-system services the engine needs: the high-resolution clock,
// console detection, the program's directory, and standard input read by
// lines with a peek that does not consume. One implementation per system.
#pragma once

#include <cstdint>

// High-resolution counter and its ticks per second.
uint64_t readCounter();
uint64_t readCounterFrequency();

// True when standard input is an interactive console rather than a pipe or file.
bool inputIsConsole();

// Under a GUI: xboard sends the interrupt signal to wake an engine that does
// not poll, and a GUI that closes its end of the pipe makes writes raise a
// signal. The engine polls its input and learns of a departed GUI from the
// end of input, so both signals are ignored.
void ignoreGuiSignals();

// Changes the working directory to the directory that holds the program file;
// false when it cannot be found. argv0 serves where the system offers no better.
bool changeToProgramDirectory(const char* argv0);

// Reads one line of standard input into buffer (at most size - 1 characters,
// without its line end) and returns its length, or -1 at end of input or on a
// read error. A longer line is split: the rest arrives as the next line.
int readInputLine(char* buffer, int size);

// What input waits, without consuming it.
enum InputPeek : int {
    InputGone = -1,    // end of input or a broken pipe: the GUI has gone
    InputNothing = 0,  // nothing pending
    InputPending = 1,  // text pending; buffer holds it (empty when the console hides it)
};
InputPeek peekInput(char* buffer, int size);

// Raw input of one system, used by the common line reader.
namespace platform_detail {
// Blocks until some input arrives; bytes read, 0 at end of input, -1 on error.
int readRaw(char* buffer, int size);
// Whether a read would not block: 1 ready (data or end of input), 0 nothing, -1 broken.
int inputReady();
}  // namespace platform_detail
