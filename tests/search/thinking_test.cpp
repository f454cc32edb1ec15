// The thinking line's variation lengthened from exact table entries, and the
// preparation of every search.
#include "search/thinking.h"

#include "board/makemove.h"
#include "search/tt.h"
#include "test_support.h"

namespace {

// Stores each move of line as the table's exact entry (or bound) for the
// position it is played from; the last is only stored, so it may be any move.
void storeLine(Board& board, const PrincipalVariation& line, Bound bound = Bound::Exact) {
    for (int i = 0; i < line.pvLength; ++i) {
        storeTable(engine.search.control.table, engine.search.main.stack, board, line.pvMoves[i], 0,
                   8, 15, bound, 0);
        if (i + 1 == line.pvLength) break;
        saveUndo(board);
        makeMove(board, line.pvMoves[i]);
    }
    for (int i = 1; i < line.pvLength; ++i) unmakeMove(board);
}

// The variation after pvHashExtract, which must leave the board as it was.
std::string extended(Board& board, PrincipalVariation pv) {
    const Board before = board;
    pvHashExtract(engine.search.control.table, pv, board);
    sameBoard(board, before);
    return variationString(board, pv);
}

}  // namespace

TEST(Thinking, HashExtractTakesOnlyExactEntries) {
    clearSearchMemory(engine.search);
    Board& board = boardFromFen(StartFen);
    const PrincipalVariation e4 = variationFrom(board, {"e2e4"});
    for (Bound bound : {Bound::Lower, Bound::Upper, Bound::Exact}) {
        storeLine(board, variationFrom(board, {"e2e4", "e7e5", "g1f3"}), bound);
        EXPECT_EQ(extended(board, e4), bound == Bound::Exact ? "1.e4 e5 2.Nf3 " : "1.e4 ");
    }
    // A move that is not legal where it is stored ends the line; a variation
    // that cannot be replayed is left as it is.
    PrincipalVariation junk = variationFrom(board, {"e2e4", "e7e5", "g1f3"});
    junk.pvMoves[junk.pvLength++] = e4.pvMoves[0];
    storeLine(board, junk);
    EXPECT_EQ(extended(board, e4), "1.e4 e5 2.Nf3 ");
    PrincipalVariation broken = e4;
    broken.pvMoves[broken.pvLength++] = e4.pvMoves[0];
    pvHashExtract(engine.search.control.table, broken, board);
    EXPECT_EQ(broken.pvLength, 2);
    // Knights out and back: the line stops on the first repeated position.
    storeLine(board, variationFrom(board, {"g1f3", "g8f6", "f3g1", "f6g8"}));
    EXPECT_EQ(extended(board, variationFrom(board, {"g1f3"})), "1.Nf3 Nf6 2.Ng1 Ng8 3.Nf3 ");
    // Never beyond 63 moves, though the table has an entry after every move.
    PrincipalVariation walk = legalWalk(board, 64);
    storeLine(board, walk);
    walk.pvLength = 63;
    pvHashExtract(engine.search.control.table, walk, board);
    EXPECT_EQ(walk.pvLength, 63);
    clearSearchMemory(engine.search);
}

// Killers and threats move down two plies (the same side to move); the
// root's position is recorded for the repetition test.
TEST(Thinking, PrepareSearch) {
    Board& board = boardFromFen(StartFen);
    SearchStack& stack = engine.search.main.stack;
    for (int ply = 0; ply < MaxPly; ++ply) stack.plies[ply].killer1 = Move(1000 + ply);
    board.stack->undo[board.ply].hashKey = 0;
    prepareSearch(engine.search.main, board);
    EXPECT_EQ(board.stack->undo[board.ply].hashKey, board.hashKey);
    EXPECT_EQ((std::vector<Move>{stack.plies[0].killer1, stack.plies[61].killer1,
                                 stack.plies[62].killer1, stack.plies[63].killer1}),
              (std::vector<Move>{1002, 1063, 1062, 1063}));
    resetSearchStackForGame(stack);
    clearSearchMemory(engine.search);  // the generation too
}
