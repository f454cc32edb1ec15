// Move ordering: the staged picker that hands out one node's moves best first,
// generating each group only when the earlier groups are used up.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/searchstack.h"

inline int historyIndex(Move move, int colour) {
    return movePiece(move) * 128 + moveTo(move) * 2 + colour;
}

// Adds depth to the move's history counter; at 65000 every counter is divided by 8.
void addHistory(SearchStack& stack, Move move, int colour, int depth);

// The node's next move, 0 when there is none. record is the node's PlyRecord,
// list its move list index (its ply), pickerDepth the depth its children get.
Move nextMove(SearchStack& stack, Board& board, PlyRecord& record, int list, int ply,
              int pickerDepth);
