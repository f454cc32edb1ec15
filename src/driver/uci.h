// The UCI front end: the protocol's commands and options over the same search,
// its info lines and the search's host. The GUI adjudicates: no result lines,
// resignations or draw offers, and no learning (the result is never told).
#pragma once

struct Engine;

// Whether a first line chooses UCI: the word "uci".
bool isUciCommand(const char* line);

// Takes the engine over for UCI: the session's host, no result lines, a new
// game from the start position.
void beginUci(Engine& engine);

// Runs one UCI command line.
void runUciCommand(Engine& engine, const char* line);

// The UCI session, from its first line ("uci") to "quit" or the end of input.
[[noreturn]] void runUci(Engine& engine, const char* firstLine);
