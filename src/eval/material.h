// Piece values of the evaluation and their dependence on the game phase.
// `material` of a side is the sum of the board's pieceValue over its men, kept
// by make and unmake.
#pragma once

#include <cstdint>

#include "board/types.h"

// A value pair and its taper table, indexed by the Board's `phase` (40 in the
// initial position): entry 0 is the endgame value, entries 40..63 the opening
// value, linear in between.
struct MaterialRecord {
    int32_t opening;
    int32_t endgame;
    int32_t materialTaper[64];
};

// [piece code] pawn to queen; entry 0 stays empty. Settable by the
// evaluate_*_material options.
extern MaterialRecord pieceMaterial[6];

// Bonus of a rook on a file without pawns, fixed at (17, 17); never centred.
extern MaterialRecord rookFileBonus;

// Weight of one controlled square.
extern int32_t evaluate_control;

// New opening and endgame values of a piece (pawn to queen). Once the values
// are centred, the piece is centred again, so that pieceValue and the taper
// agree; the material sums of boards set up before are then stale.
void setMaterialValues(int piece, int32_t opening, int32_t endgame);

// Once, after the configuration file: pieceValue takes each piece's average
// (opening + endgame) / 2 and its taper table is reduced by that average, so
// the table holds only the phase-dependent deviation. Later calls do nothing.
void centreMaterial();
