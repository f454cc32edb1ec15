#include "board/perft.h"

#include "board/makemove.h"
#include "board/movegen.h"

namespace {

constexpr uint32_t PerftQuestionInterval = 4096;  // interior nodes between two questions

// True once the count is to stop.
bool interrupted(PerftInterrupt* interrupt) {
    if (!interrupt) return false;
    if (!interrupt->stopped && --interrupt->countdown == 0) {
        interrupt->countdown = PerftQuestionInterval;
        interrupt->stopped = interrupt->stopNow(interrupt->context);
    }
    return interrupt->stopped;
}

}  // namespace

uint64_t perft(Board& board, int depth, int list, PerftInterrupt* interrupt) {
    if (depth <= 0) return 1;
    int count = generateLegalMoves(board, list);
    if (depth == 1) return uint64_t(count);
    if (interrupted(interrupt)) return 0;
    uint64_t leaves = 0;
    const MoveEntry* moves = board.stack->moveLists[list];
    for (int i = 0; i < count && !(interrupt && interrupt->stopped); ++i) {
        saveUndo(board);
        makeMove(board, moves[i].move);
        leaves += perft(board, depth - 1, list + 1, interrupt);
        unmakeMove(board);
    }
    return leaves;
}
