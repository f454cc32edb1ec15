// The search: mates at their exact distance, the node's draw rules and
// bounds, null move, on positions where each rule decides the outcome.
#include "search/alphabeta.h"

#include <tuple>

#include "driver/game.h"
#include "search/tt.h"
#include "test_support.h"

namespace {

// The node searched on clean memory, no poll, counters at zero, iteration 8.
int32_t searchNode(Board& board, int ply, int depth, int32_t alpha = -Mate, int32_t beta = Mate) {
    clearSearchMemory(engine.search);
    resetSearchForGame(engine.search);
    engine.search.main.stack.stopFlag = 0;
    engine.search.main.stack.pollLimit = UINT32_MAX;
    engine.search.main.root.iterationDepth = 8;
    board.stack->makeCount = board.stack->nullMoveCount = 0;
    board.stack->moveLists[ply] = board.stack->moveBuffer + 1000;
    return alphaBeta(engine.search.main, board, ply, depth, alpha, beta);
}

}  // namespace

TEST(Search, FindsForcedMatesAtTheirDistance) {
    const std::pair<const char*, int> cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 1},  // mate in moves of the side to move
        {"6k1/pp4p1/2p5/2bp4/8/P5Pb/1P3rrP/2BRRN1K b - - 0 1", 2},
        {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", 3},
        {"8/1k6/8/1K6/8/8/R7/8 w - - 0 1", 4},
    };
    for (auto [fen, moves] : cases) {
        ASSERT_EQ(setupPosition(engine, fen), 1) << fen;
        engine.clock.depthLimit = 2 * moves + 4;
        EXPECT_EQ(searchGame(engine, SearchAnalysing).score, Mate - (2 * moves - 1)) << fen;
        EXPECT_EQ(engine.search.main.root.rootPv.pvLength, 2 * moves - 1) << fen;
    }
    engine.clock.depthLimit = 0;
}

TEST(Search, NodeScoresAndBounds) {
    EXPECT_EQ(searchNode(boardFromFen("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1"), 3, 16), 3 - Mate);
    EXPECT_EQ(searchNode(boardFromFen("7k/5Q2/8/8/8/8/8/K7 b - - 0 1"), 1, 16), 0);  // stalemate
    // Knights out and back: the start position again, a draw for the node.
    Board& board = boardFromFen(StartFen);
    play(board, {"g1f3", "g8f6", "f3g1", "f6g8"});
    EXPECT_EQ(searchNode(board, 4, 24), 0);
    // Failing low, the node stores an upper bound; failing high, a lower one
    // (deep enough that the evaluation alone does not settle the node).
    for (auto [alpha, bound] : {std::pair(500, Bound::Upper), std::pair(-500, Bound::Lower)}) {
        Board& start = boardFromFen(StartFen);
        searchNode(start, 1, 64, alpha, alpha + 1);
        TableEntry entry;
        EXPECT_TRUE(readTableEntry(engine.search.control.table, start, entry) &&
                    Bound(entry.flags & 3) == bound)
            << alpha;
    }
}

// Null move: never in check, never for a side without pieces or without pawns
// (zugzwang), elsewhere tried at null-window nodes above beta. Where it is
// forbidden the setting changes nothing, neither the score nor a single node.
// Rows: position, depth, passes.
TEST(Search, NullMoveOnlyWherePassingIsSafe) {
    const int32_t saved = engine.settings.search_prune_nullmove;
    const std::tuple<const char*, int, bool> cases[] = {
        {"7k/8/8/8/8/3N3P/5PP1/r5K1 w - - 0 1", 64, false},  // in check,
        {"7k/8/8/8/8/3N3P/r4PP1/6K1 w - - 0 1", 64, true},   // not in check
        // A mutual zugzwang: the side to move must give up its c-pawn, and a
        // pass would hand the zugzwang over. No pass anywhere in the tree.
        {"8/8/8/2pK3p/1kP4P/p7/P7/8 b - - 0 1", 32, false},
        {"k7/ppp5/8/8/8/8/8/KRBN4 w - - 0 1", 24, false},  // pieces without pawns
    };
    for (auto [fen, depth, passes] : cases) {
        std::tuple<int32_t, uint32_t, uint32_t> outcome[2];  // score, nodes, null moves
        for (int on : {0, 1}) {
            engine.settings.search_prune_nullmove = on;
            Board& board = boardFromFen(fen);
            const int32_t score = searchNode(board, 1, depth, -1000, -999);
            outcome[on] = {score, board.stack->makeCount, board.stack->nullMoveCount};
        }
        EXPECT_EQ(std::get<2>(outcome[0]), 0u) << fen;
        EXPECT_EQ(std::get<2>(outcome[1]) > 0, passes) << fen;
        EXPECT_TRUE(passes || outcome[1] == outcome[0]) << fen;
    }
    engine.settings.search_prune_nullmove = saved;
}
