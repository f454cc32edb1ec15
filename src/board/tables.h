// Attack tables, line geometry and the rotated occupancy layouts, filled once
// by initBoardTables.
//
// Rotations (square (r, f)):
//   occupied               bit 8r + f,                 look-up shift 8r + 1
//   occupiedFiles          bit 8f + 7 - r,             shift 8f + 1
//   occupiedAntiDiagonals  bit 8((r + f + 1) mod 8) + f, shift 8((k + 1) mod 8) + 1 (k <= 7)
//                                                        or 9(k - 7) + 1 (k >= 8)
//   occupiedDiagonals      bit 8((r - f) mod 8) + f,   shift 8d + 1 (d >= 0) or 7d + 65
// (set >> (shift mod 64)) & 63 is the occupancy of the line's six inner squares.
#pragma once

#include <cstdint>

#include "board/types.h"

// [square][six-bit line index]: squares reached along the line, up to and
// including the first occupied one each way.
extern Bitboard rankAttacks[64][64];
extern Bitboard fileAttacks[64][64];
extern Bitboard antiDiagAttacks[64][64];  // steps +7 / -7
extern Bitboard diagAttacks[64][64];      // steps +9 / -9

extern uint8_t rankShift[64];
extern uint8_t fileShift[64];
extern uint8_t antiDiagShift[64];  // already reduced mod 64
extern uint8_t diagShift[64];

// [square]: the square's single bit in each rotated layout.
extern Bitboard fileRotationMask[64];
extern Bitboard antiDiagRotationMask[64];
extern Bitboard diagRotationMask[64];

extern Bitboard knightAttacks[64];
extern Bitboard kingAttacks[64];
extern Bitboard pawnAttackTable[2][64];  // [colour][square]: squares a pawn there attacks

extern int8_t direction[64][64];       // [from][to]: +-1, +-8, +-7, +-9 along a common line, else 0
extern uint8_t lineKind[64][64];       // |direction|: 0, 1, 7, 8 or 9
extern Bitboard between[64][64];       // squares strictly between two squares on a line
extern Bitboard rayFrom[64][8];        // [square][raySlot(step)]: the squares from it to the edge
extern Bitboard fileAhead[64];         // squares above on the file
extern Bitboard fileBehind[64];        // squares below on the file
extern Bitboard frontSpan[2][64];      // [colour][square]: own and adjacent files, ranks ahead
extern uint8_t lowestBitOfByte[256];   // 1 + index of the lowest set bit; 0 for 0
extern uint8_t highestBitOfByte[256];  // 1 + index of the highest set bit; 0 for 0

// The ray table's slot of a step: +-1, +-7, +-8 or +-9.
constexpr int raySlot(int step) {
    constexpr int8_t slots[19] = {0, 1, 2, 0, 0, 0, 0, 0, 3, 0, 4, 0, 0, 0, 0, 0, 5, 6, 7};
    return slots[step + 9];
}

// Builds every table above and the Zobrist keys (from keySeed), then seeds the
// random generators with randomSeed.
void initBoardTables(uint32_t keySeed, uint32_t randomSeed);

// Rotated bit of a square in each layout, as described above.
constexpr int fileRotatedBit(int square) { return 8 * fileOf(square) + 7 - rankOf(square); }
constexpr int antiDiagRotatedBit(int square) {
    return (8 * rankOf(square) + 9 * fileOf(square) + 8) & 63;
}
constexpr int diagRotatedBit(int square) {
    return (8 * rankOf(square) - 7 * fileOf(square) + 64) & 63;
}
