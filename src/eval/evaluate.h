// The static evaluation: centipawns from White's point of view.
#pragma once

#include <cstdint>

#include "board/types.h"

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

// Allocated and cleared with the transposition table.
extern EvalCacheEntry* evalCache;

// Men on the board at the root of the current search: a recognised win is
// only returned as WinScore below the root's material.
extern int32_t rootPieceCount;

// Score of the position, White's view. alpha and beta are the caller's window
// in the side-to-move's view; only the lazy exit reads them.
int32_t evaluate(Board& board, int32_t alpha, int32_t beta);
