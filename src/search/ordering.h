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

// The continuation rows of the node: after the move one ply back and the
// move two plies back; null after a pass.
struct QuietContext {
    int16_t* oneBack;
    int16_t* twoBack;
};
inline QuietContext quietContext(SearchStack& stack, const Board& board) {
    const UndoRecord* undo = board.stack->undo;
    const Move one = Move(undo[board.ply - 1].move), two = Move(undo[board.ply - 2].move);
    return {one ? stack.continuation[historyIndex(one, board.opponent->colour)] : nullptr,
            two ? stack.continuation[historyIndex(two, board.toMove->colour)] : nullptr};
}

// A quiet move's ordering value: its history plus its continuation histories.
inline int quietScore(const SearchStack& stack, const QuietContext& context, Move move,
                      int colour) {
    const int index = historyIndex(move, colour);
    int score = stack.history[index];
    if (context.oneBack) score += context.oneBack[index];
    if (context.twoBack) score += context.twoBack[index];
    return score;
}

// Moves the move's history counter and both continuation counters by bonus
// (negative: a malus), the more slowly the closer each is to +-HistoryMax,
// so that none leaves that range.
void updateQuietHistory(SearchStack& stack, const QuietContext& context, Move move, int colour,
                        int bonus);

// The counter move of the board's last move (0 after a pass or at the root).
inline Move counterMoveOf(const SearchStack& stack, const Board& board) {
    const Move last = Move(board.stack->undo[board.ply - 1].move);
    return last ? stack.counterMoves[historyIndex(last, board.opponent->colour)] : 0;
}

// The node's next move, 0 when there is none. record is the node's PlyRecord,
// list its move list index (its ply), pickerDepth the depth its children get.
Move nextMove(SearchStack& stack, Board& board, PlyRecord& record, int list, int ply,
              int pickerDepth);
