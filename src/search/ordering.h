// Move ordering: the staged picker that hands out one node's moves best first,
// generating each group only when the earlier groups are used up.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/searchstack.h"

// [piece code 0-7][to square][colour to move] flattened: piece * 128 + to * 2
// + colour. Raised by the depth of every quiet move that cut off or was best.
extern uint16_t historyTable[1024];

inline int historyIndex(Move move, int colour) {
    return movePiece(move) * 128 + moveTo(move) * 2 + colour;
}

// Adds depth to the move's counter; at 65000 every counter is divided by 8.
void addHistory(Move move, int colour, int depth);

void clearHistory();

// The node's next move, 0 when there is none. record is the node's PlyRecord,
// list its move list index (its ply), pickerDepth the depth its children get.
Move nextMove(Board& board, PlyRecord& record, int list, int ply, int pickerDepth);
