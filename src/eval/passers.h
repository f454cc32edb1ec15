// Passed pawns: their terms with pieces on the board, and the whole
// evaluation of king-and-pawn endings.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/pawns.h"

// Passed-pawn terms of both colours with pieces on the board, White's view,
// to be added to the running score.
int32_t evaluatePassedPawns(const Board& board, const PawnHashEntry& entry);

// King and pawns only: takes the running score (material, structure, tempo)
// and returns the ending's score before the fifty-move damping.
int32_t evaluatePawnEnding(const Board& board, const PawnHashEntry& entry, int32_t score);
