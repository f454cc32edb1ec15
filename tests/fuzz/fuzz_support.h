// What the fuzz targets share: a scratch working directory for the files the
// engine reads and writes, one engine set up per process, and command lines
// made safe to run inside the fuzzer's process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Engine;
class SearchHost;

// Nodes any one search of a fuzzed stream may spend: every search ends soon.
constexpr double FuzzNodeLimit = 3000;

// The process's engine, in static storage and not yet initialised. The first
// call makes a fresh scratch directory the working directory (book files,
// vostrel.ini: the fuzzer's corpus and artifact paths must be absolute),
// makes a pipe from this process the standard input, and throws standard
// output away.
Engine& fuzzEngine();

// initEngine with host, the one-time initialisation, and tables of the
// smallest size.
void startEngine(Engine& engine, SearchHost& host);

// fuzzEngine, started once with a host that lets searches run to their limits.
Engine& quietFuzzEngine();

// Removes every file the last input left in the scratch directory.
void clearScratchDirectory();

// Writes text to a file of the scratch directory.
void writeScratchFile(const char* name, const uint8_t* data, size_t size);

// The input cut into lines (no CR, no NUL, at most 64 lines of 256
// characters), without the lines that would end the process or run for long:
// quit, bench, the node benchmark, counts deeper than 3 plies, table sizes.
std::vector<std::string> safeCommandLines(const uint8_t* data, size_t size);

// Whether one line is safe in that sense.
bool isSafeCommand(const std::string& line);

// Sends lines to the engine's standard input, waits until all are queued,
// then runs them one by one with run until the engine has taken every one of
// them (a search may take some itself through its poll). Each line runs with
// the searches limited to FuzzNodeLimit nodes.
void runOnStandardInput(Engine& engine, const std::vector<std::string>& lines,
                        void (*run)(Engine&, const char*));
