// The operating-system services the engine needs: the high-resolution clock,
// console detection, the program's directory, and raw reads of the input.
// One implementation per system.
#pragma once

#include <cstddef>
#include <cstdint>

// Lets the compiler check a printf-style format against its arguments.
#if defined(__GNUC__)
#define VOSTREL_PRINTF(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define VOSTREL_PRINTF(formatIndex, firstArgument)
#endif

// Memory for a large table, page-aligned, in large pages where the system
// gives them (Linux: transparent huge pages on a 2 MiB boundary; Windows:
// large pages when the process holds the privilege to lock memory), else in
// ordinary pages: a refused large-page request never fails the allocation.
// A block smaller than one large page always gets ordinary pages.
// Contents undefined; null when the system refuses the memory itself.
void* allocateLargeBlock(size_t bytes);
void freeLargeBlock(void* block);

// High-resolution counter and its ticks per second.
uint64_t readCounter();
uint64_t readCounterFrequency();

// True when standard input is an interactive console rather than a pipe or file.
bool inputIsConsole();
// The same of standard error, where long jobs show their progress.
bool errorIsConsole();

// Puts file from in the place of file to, in one step that leaves either the
// old or the new file there whatever happens; false when it failed.
bool replaceFile(const char* from, const char* to);

// Under a GUI: xboard sends the interrupt signal to wake an engine that does
// not poll, and a GUI that closes its end of the pipe makes writes raise a
// signal. The engine polls its input and learns of a departed GUI from the
// end of input, so both signals are ignored.
void ignoreGuiSignals();

// A GUI ends its engine with the termination signal right after "quit", maybe
// before the engine has read the lines sent just before it (the game's
// result). With this call the signal no longer ends the process at once:
// standard input stops blocking, so that it ends where the GUI stopped
// writing; onTerminate runs on a thread of its own; and the engine finishes
// what it was sent, within a few seconds. Call before any other thread starts.
void watchTermination(void (*onTerminate)());

// Changes the working directory to the directory that holds the program file;
// false when it cannot be found. argv0 serves where the system offers no better.
bool changeToProgramDirectory(const char* argv0);

// Where input comes from: a file descriptor or a handle, by system.
using InputSource = std::intptr_t;
InputSource standardInput();

// Blocks until some input arrives and returns the bytes read; 0 at the end
// of input, on a broken pipe or on a read error.
int readSource(InputSource source, char* buffer, int size);
