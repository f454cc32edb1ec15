// King safety: the geometry around each king that the piece terms use, the
// attack on the enemy king they count, and the pawn shelter of a castled king.
#pragma once

#include <cstdint>

#include "board/types.h"

// Resets side's attack sets and counters and computes its king zone and lines.
void prepareKingGeometry(const Board& board, SideState& side);

// Score of attacker's pieces against the defender's king (middle game).
int32_t evaluateKingAttack(SideState& attacker, const SideState& defender);

// Shelter and storm of both kings, White's view (middle game).
int32_t evaluateShelter(const Board& board);
