// The search below the root: fail-soft principal-variation search in eighths
// of a ply, with table cut-offs, null move, late-move reductions and pruning,
// rule-based extensions and the draw rules.
#pragma once

#include <cstdint>

#include "board/types.h"

struct SearchThread;

// ply >= 1 (the root's children); alpha and beta in the side to move's view.
int32_t alphaBeta(SearchThread& search, Board& board, int ply, int depth, int32_t alpha,
                  int32_t beta);

// Whether the horizon may hand this node to the quiescence search after
// lastMove, or one more full ply is needed.
bool quietHorizon(const Board& board, Move lastMove);
