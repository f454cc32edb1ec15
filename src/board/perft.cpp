#include "board/perft.h"

#include "board/makemove.h"
#include "board/movegen.h"

uint64_t perft(Board& board, int depth, int list) {
    if (depth <= 0) return 1;
    int count = generateLegalMoves(board, list);
    if (depth == 1) return uint64_t(count);
    uint64_t leaves = 0;
    const MoveEntry* moves = board.stack->moveLists[list];
    for (int i = 0; i < count; ++i) {
        saveUndo(board);
        makeMove(board, moves[i].move);
        leaves += perft(board, depth - 1, list + 1);
        unmakeMove(board);
    }
    return leaves;
}
