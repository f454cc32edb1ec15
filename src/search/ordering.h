// Move ordering: the staged picker that hands out one node's moves best first,
// generating each group only when the earlier groups are used up.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/searchstack.h"

inline int historyIndex(Move move, int colour) {
    return movePiece(move) * 128 + moveTo(move) * 2 + colour;
}

constexpr int HistoryMax = 16384;

// The history bonus of a move that cut off at depth (eighths of a ply).
int historyBonus(int depth);

// Moves the move's history counter by bonus (negative: a malus), the more
// slowly the closer it is to +-HistoryMax, so that it never leaves that range.
void updateHistory(SearchStack& stack, Move move, int colour, int bonus);

// The counter move of the board's last move (0 after a pass or at the root).
inline Move counterMoveOf(const SearchStack& stack, const Board& board) {
    const Move last = Move(board.stack->undo[board.ply - 1].move);
    return last ? stack.counterMoves[historyIndex(last, board.opponent->colour)] : 0;
}

// The node's next move, 0 when there is none. record is the node's PlyRecord,
// list its move list index (its ply), pickerDepth the depth its children get.
Move nextMove(SearchStack& stack, Board& board, PlyRecord& record, int list, int ply,
              int pickerDepth);
