// The static evaluation: centipawns from White's point of view.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/pawns.h"

// A recognised win: above every evaluation, below every mate (32763).
constexpr int32_t WinScore = 31763;
constexpr int32_t FullWindow = 32763;

// One slot per position, keyed by all 64 bits of hashKey; a store overwrites.
struct EvalCacheEntry {
    uint64_t key;
    int32_t score;
    int32_t padding;
};
constexpr int EvalCacheSize = 2048;  // slot = hashKey & (EvalCacheSize - 1)

// What one search thread's evaluations remember: the cache of whole scores,
// the pawn table, and the material of the search's root.
struct EvalMemory {
    EvalCacheEntry cache[EvalCacheSize];
    PawnTable pawns;
    // Men on the board at the root of the current search: a recognised win is
    // only returned as WinScore below the root's material.
    int32_t rootPieceCount;
};

// The cache emptied and the pawn table's entries made unmatchable.
void clearEvalMemory(EvalMemory& memory);

// Score of the position, White's view. alpha and beta are the caller's window
// in the side-to-move's view; only the lazy exit reads them.
int32_t evaluate(EvalMemory& memory, Board& board, int32_t alpha, int32_t beta);
