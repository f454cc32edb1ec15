// The search: mates at their exact distance, the node's draw rules, null move,
// extensions and reductions, on positions where each rule decides the outcome.
#include "search/alphabeta.h"

#include <tuple>

#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/game.h"
#include "search/tt.h"
#include "test_support.h"

namespace {

// The position on clean memory, with no poll, node counters at zero and
// extensions as in the eighth iteration.
Board& freshNode(const char* fen) {
    Board& board = boardFromFen(fen);
    Search& search = engine.search;
    clearTables();
    resetSearchStackForGame(search.stack);
    search.stack.stopFlag = 0;
    search.stack.pollLimit = UINT32_MAX;
    search.root.iterationDepth = 8;
    board.stack->makeCount = board.stack->nullMoveCount = 0;
    return board;
}

int32_t searchNode(Board& board, int ply, int depth) {
    board.stack->moveLists[ply] = board.stack->moveBuffer + 1000;
    return alphaBeta(engine.search, board, ply, depth, -Mate, Mate);
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
        EXPECT_EQ(engine.search.root.rootPv.pvLength, 2 * moves - 1) << fen;
    }
    engine.clock.depthLimit = 0;
}

// Mated and stalemated nodes, and a repetition.
TEST(Search, NodeScoresOfEndedAndRepeatedPositions) {
    EXPECT_EQ(searchNode(freshNode("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1"), 3, 16), 3 - Mate);
    EXPECT_EQ(searchNode(freshNode("7k/5Q2/8/8/8/8/8/K7 b - - 0 1"), 1, 16), 0);
    // Knights out and back: the start position again, a draw for the node.
    Board& board = freshNode(StartFen);
    play(board, {"g1f3", "g8f6", "f3g1", "f6g8"});
    EXPECT_EQ(searchNode(board, 4, 24), 0);
}

// Null move: never in check, never for a side without pieces or without pawns
// (zugzwang), elsewhere tried. Where it is forbidden the setting changes
// nothing, neither the score nor a single node.
TEST(Search, NullMoveOnlyWherePassingIsSafe) {
    const int32_t saved = engine.settings.search_prune_nullmove;
    const std::tuple<const char*, int, bool> cases[] = {
        // position, depth, passes
        {"7k/8/8/8/8/3N3P/5PP1/r5K1 w - - 0 1", 8, false},  // in check,
        {"7k/8/8/8/8/3N3P/r4PP1/6K1 w - - 0 1", 8, true},   // not in check
        // A mutual zugzwang: the side to move must give up its c-pawn, and a
        // pass would hand the zugzwang over. No pass anywhere in the tree.
        {"8/8/8/2pK3p/1kP4P/p7/P7/8 b - - 0 1", 32, false},
        {"k7/ppp5/8/8/8/8/8/KRBN4 w - - 0 1", 24, false},  // pieces without pawns
    };
    for (auto [fen, depth, passes] : cases) {
        std::pair<int32_t, uint32_t> outcome[2];  // score and nodes
        uint32_t nullMoves[2];
        for (int on : {0, 1}) {
            engine.settings.search_prune_nullmove = on;
            Board& board = freshNode(fen);
            outcome[on] = {searchNode(board, 1, depth), board.stack->makeCount};
            nullMoves[on] = board.stack->nullMoveCount;
        }
        EXPECT_EQ(nullMoves[0], 0u) << fen;
        EXPECT_EQ(nullMoves[1] > 0, passes) << fen;
        if (!passes) {
            EXPECT_EQ(outcome[1], outcome[0]) << fen;
        }
    }
    engine.settings.search_prune_nullmove = saved;
}

// The extension a node gets, early in the iteration, for the move that
// reached it: in eighths of a ply.
TEST(Search, ExtensionsOfTheLastMove) {
    const int check = engine.settings.search_extend_check;
    const std::pair<const char*, int> cases[] = {
        {"a1a8", check},      // a check by a piece the king cannot take
        {"f1f8", check / 2},  // by a rook the king takes for free
        {"d5c7", check + 2},  // discovered
        {"b6b7", 6},          // a pawn one step from promotion
        {"g1h1", 0},
    };
    for (auto [move, extension] : cases) {
        Board& board = freshNode("6k1/8/1P6/3N4/8/1B6/8/R4RK1 w - - 0 1");
        saveUndo(board);
        makeMove(board, findMove(board, move));
        searchNode(board, 1, 8);
        EXPECT_EQ(engine.search.stack.plies[1].extension, extension) << move;
    }
}

// With every move after the first one ply shorter, the late fork that wins
// the rook beats alpha when reduced and is searched again in full; moves that
// fail low stay reduced. The table shows the depth of each move's last search.
TEST(Search, ReducedMoveThatBeatsAlphaIsSearchedAgain) {
    const int32_t saved = engine.settings.search_prune_lmr_moves;
    for (int lateMoves : {1, 255}) {
        engine.settings.search_prune_lmr_moves = lateMoves;
        Board& board = freshNode("r3k3/8/8/3N4/8/8/5PPP/6K1 w - - 0 1");
        EXPECT_GT(searchNode(board, 1, 4 * OnePly), 300);
        const Move fork = findMove(board, "d5c7");
        EXPECT_EQ(engine.search.stack.plies[1].bestMove, fork);
        int reduced = 0;
        for (int i = 0, count = generateLegalMoves(board, 0); i < count; ++i) {
            const Move move = board.stack->moveLists[0][i].move;
            saveUndo(board);
            makeMove(board, move);
            const TableEntry* entry = findTableEntry(board);
            unmakeMove(board);
            EXPECT_TRUE(entry && (entry->depth == 3 || (entry->depth == 2 && move != fork)));
            reduced += entry && entry->depth == 2;
        }
        EXPECT_EQ(reduced > 0, lateMoves == 1);
    }
    engine.settings.search_prune_lmr_moves = saved;
}
