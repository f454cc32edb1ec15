// King-against-pawn race flags, built once with the board tables and read by
// the endgame knowledge and the passed-pawn terms.
#pragma once

#include <cstdint>

// [pawn square - 8][king square], pawn squares a2..h7; other men ignored.
// t = moves the pawn needs to promote (a pawn on its second rank counts 5),
// d = king distance to the promotion square.
//   bit 0  white pawn, black to move: king not next to the pawn and t < d - 1
//   bit 1  white pawn, white to move: t < d
//   bit 2  black pawn, black to move: mirror of bit 1
//   bit 3  black pawn, white to move: mirror of bit 0
//   bit 4  white pawn, black (king) moves first: the king's flood fill never
//          meets the pawn's path
//   bit 5  white pawn, white (pawn) moves first: the same
//   bit 6  black pawn, black (pawn) moves first
//   bit 7  black pawn, white (king) moves first
// Readers test bit colour (white pawns), colour + 2 (black pawns), and
// colour + 4 / colour + 6 for the flood-fill versions (colour 1 white).
extern uint8_t pawnRace[48][64];

void buildPawnRace();
