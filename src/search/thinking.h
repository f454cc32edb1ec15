// Thinking output: the xboard thinking lines, the chess-server summary, the
// principal variation lengthened from the table and written in SAN; and the
// per-search preparation.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/pv.h"

struct Engine;

// Size of the buffers that hold a variation's text or a thinking line.
constexpr int PvTextSize = 4096;

// bestMove: the root move in the low half, its score (engine's view) in the
// high half. finalLine for the last line of a search, failLine for an
// aspiration fail (the variation is then the root move alone).
void printThinking(Engine& engine, Board& board, uint64_t bestMove, int finalLine, int failLine);

// Counters, record shift, table generation: before the first iteration.
void prepareSearch(Engine& engine, Board& board);

// Lengthens the variation in place with exact entries of the table.
void pvHashExtract(PrincipalVariation& variation, Board& board);

// The variation in SAN with move numbers and check and mate marks; buffer
// holds PvTextSize bytes.
void pvText(const PrincipalVariation& variation, Board& board, char* buffer);

// Elapsed time as the server summary shows it: "%3d.%02d" seconds under a
// minute, "%3d:%02d" minutes and seconds from then on.
void formatThinkingClock(char* text, int size, int centiseconds);

// Long algebraic text of a move followed by a blank; returns the length
// before the blank. buffer holds at least 10 bytes.
int moveTextLong(Move move, char* buffer);
