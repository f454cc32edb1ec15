// Thinking lines as the search hands them to its host, the principal
// variation lengthened from the table, and the per-search preparation.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/pv.h"

struct SearchThread;
struct RootMove;
struct TranspositionTable;

enum ThinkingKind : int {
    ThinkingBest,     // a new best root move
    ThinkingFailLow,  // an aspiration window failed: the variation is the move alone
    ThinkingFailHigh,
    ThinkingFinal,  // the last line of a search
};

// Sends a thinking line to the host, when it wants one.
void reportThinking(SearchThread& search, Board& board, Move move, int32_t score,
                    ThinkingKind kind);

// Counters, record shift, table generation: before the first iteration.
// One of several best lines, ranked from 1.
void reportLine(SearchThread& search, Board& board, const RootMove& move, int rank, bool final);

void prepareSearch(SearchThread& search, Board& board);

// Lengthens the variation in place with exact entries of the table.
void pvHashExtract(const TranspositionTable& table, PrincipalVariation& variation, Board& board);
