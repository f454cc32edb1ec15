// The thinking line's variation lengthened from exact table entries, and the
// preparation of every search.
#include "search/thinking.h"

#include "board/makemove.h"
#include "search/tt.h"
#include "test_support.h"

class Thinking : public testing::Test {
protected:
    void SetUp() override { clearTables(); }
    void TearDown() override {
        engine.search = saved;
        clearTables();
        ttGeneration = generation;
    }
    // Stores move (coordinates, or none) for the position after path.
    static void store(Board& board, std::initializer_list<const char*> path, const char* move,
                      Bound bound = Bound::Exact) {
        play(board, path);
        storeTable(board, move ? findMove(board, move) : 0, 0, 8, 15, bound, 0);
        for (size_t i = 0; i < path.size(); ++i) unmakeMove(board);
    }
    // The variation after pvHashExtract, which must leave the board as it was.
    static std::string extended(Board& board, PrincipalVariation pv) {
        const Board before = board;
        pvHashExtract(pv, board);
        sameBoard(board, before);
        return variationString(board, pv);
    }

    Search saved = engine.search;
    uint8_t generation = ttGeneration;
};

TEST_F(Thinking, HashExtractTakesOnlyExactEntries) {
    Board& board = boardFromFen(StartFen);
    PrincipalVariation e4 = variationFrom(board, {"e2e4"});
    store(board, {"e2e4"}, "e7e5");
    for (Bound bound : {Bound::Lower, Bound::Upper}) {
        store(board, {"e2e4", "e7e5"}, "g1f3", bound);
        EXPECT_EQ(extended(board, e4), "1.e4 e5 ");
    }
    store(board, {"e2e4", "e7e5"}, "g1f3");
    EXPECT_EQ(extended(board, e4), "1.e4 e5 2.Nf3 ");
    // An exact entry without a move, or with a move that is not legal here, ends it.
    store(board, {"e2e4", "e7e5", "g1f3"}, nullptr);
    EXPECT_EQ(extended(board, e4), "1.e4 e5 2.Nf3 ");
    play(board, {"e2e4", "e7e5", "g1f3"});
    storeTable(board, buildMove(E2, E4, KindDoubleStep, Pawn), 0, 8, 0, Bound::Exact, 0);
    for (int i = 0; i < 3; ++i) unmakeMove(board);
    EXPECT_EQ(extended(board, e4), "1.e4 e5 2.Nf3 ");
    // A variation that cannot be replayed is left as it is.
    PrincipalVariation broken = e4;
    broken.pvMoves[broken.pvLength++] = broken.pvMoves[0];
    pvHashExtract(broken, board);
    EXPECT_EQ(broken.pvLength, 2);

    // Knights out and back: the line stops on the first repeated position.
    store(board, {}, "g1f3");
    store(board, {"g1f3"}, "g8f6");
    store(board, {"g1f3", "g8f6"}, "f3g1");
    store(board, {"g1f3", "g8f6", "f3g1"}, "f6g8");
    EXPECT_EQ(extended(board, variationFrom(board, {"g1f3"})), "1.Nf3 Nf6 2.Ng1 Ng8 3.Nf3 ");

    // Never beyond 63 moves: with an entry after every move, 62 grow to 63, 63 stay.
    clearTables();
    PrincipalVariation walk = legalWalk(board, 64);
    for (Move move : walk.pvMoves) {
        storeTable(board, move, 0, 8, 0, Bound::Exact, 0);
        saveUndo(board);
        makeMove(board, move);
    }
    for (int i = 0; i < 64; ++i) unmakeMove(board);
    for (int length : {62, 63}) {
        PrincipalVariation pv = walk;
        pv.pvLength = length;
        pvHashExtract(pv, board);
        EXPECT_EQ(pv.pvLength, 63);
        EXPECT_EQ(pv.pvMoves[62], walk.pvMoves[62]);
    }
}

TEST_F(Thinking, PrepareSearch) {
    Board& board = boardFromFen(StartFen);
    play(board, {"e2e4"});
    SearchStack& stack = engine.search.stack;
    BoardStack& moves = *board.stack;
    for (int ply = 0; ply < MaxPly; ++ply) stack.plies[ply].killer1 = Move(1000 + ply);
    stack.stopFlag = 1;
    moves.makeCount = moves.nullMoveCount = 99;
    stack.totalNodes = 1e6;
    ttGeneration = 255;
    moves.undo[board.ply].hashKey = 0;

    prepareSearch(engine.search, board);
    EXPECT_EQ(stack.stopFlag + moves.makeCount + moves.nullMoveCount + stack.totalNodes, 0.0);
    EXPECT_EQ(ttGeneration, 0);  // it wraps
    EXPECT_EQ(moves.undo[board.ply].hashKey, board.hashKey);
    // Records move down two plies; the last two keep what they had.
    EXPECT_EQ((std::vector<Move>{stack.plies[0].killer1, stack.plies[61].killer1,
                                 stack.plies[62].killer1, stack.plies[63].killer1}),
              (std::vector<Move>{1002, 1063, 1062, 1063}));
}
