// Thin material: positions without pawns, and the endgame scaling of the
// piece path that pulls a score towards a draw when the material cannot win.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/pawns.h"

// Whole evaluation of a position without pawns, White's view.
// materialDifference is White's material minus Black's.
int32_t evaluatePawnless(const Board& board, int32_t materialDifference);

// Endgame branch of the piece path (phase 14 or less): king centralisation and
// the scaling rules. Takes the running score, returns the result.
int32_t scaleEndgame(const Board& board, const PawnHashEntry& entry, int32_t score);

// The weak side (colour) holds a known draw against the strong side's pawns.
bool fortressDraw(const Board& board, int weak, int strong);
