// Piece terms of the evaluation: knights, bishops, rooks, queens, square
// control, development and the material imbalance. Each piece term scores one
// side (us) against the other and accumulates us's attack sets and its
// counters against the enemy king.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/pawns.h"

int32_t evaluateKnights(const Board& board, SideState& us, const SideState& them);
int32_t evaluateBishops(const Board& board, SideState& us, const SideState& them);
int32_t evaluateRooks(const Board& board, SideState& us, const SideState& them,
                      const PawnHashEntry& entry);
int32_t evaluateQueens(const Board& board, SideState& us, const SideState& them);
// Reads both sides' accumulated attack sets: after all piece terms.
int32_t evaluateControl(const SideState& us, const SideState& them);
// Pieces at home and blocked centre pawns in the opening, White's view.
int32_t evaluateDevelopment(const Board& board);
// Trading imbalance when only one of pawns, minors or majors differs.
int32_t materialImbalance(const Board& board);
