// Piece values of the evaluation. `material` of a side is the sum of these
// over its men, kept by make and unmake.
#pragma once

#include <cstdint>

// [piece code]: none, pawn, knight, bishop, rook, queen, king.
extern int32_t pieceValue[7];
