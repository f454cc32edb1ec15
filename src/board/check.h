// Debug consistency check: recomputes every incremental Board field from the
// piece bitboards and compares. Runs after each make and unmake in debug and
// sanitizer builds.
#pragma once

#include "board/types.h"

#ifdef NDEBUG
inline constexpr bool BoardChecksEnabled = false;
#else
inline constexpr bool BoardChecksEnabled = true;
#endif

// Name of the first field that disagrees with a recomputation, or nullptr.
const char* findBoardInconsistency(const Board& board);

// Prints the inconsistency and aborts: a corrupt board must never go on playing.
void verifyBoardOrDie(const Board& board, const char* where);

// Aborts when the undo array has no record left for the next move: callers
// keep game length plus search depth within it.
void verifyUndoRoom(const Board& board);

// Sum of the piece values of a side's men.
int32_t computeMaterial(const SideState& side);

// Position keys computed from the men, the rights and the en-passant file.
uint64_t computeHashKey(const Board& board);
uint64_t computePawnHashKey(const Board& board);
