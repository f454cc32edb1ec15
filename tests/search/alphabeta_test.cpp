// The search as a whole: forced mates found at their exact distance, the
// draw rules of the node, and a position with one reply answered at once.
#include "search/alphabeta.h"

#include "board/makemove.h"
#include "driver/engine.h"
#include "driver/game.h"
#include "notation/fen.h"
#include "search/search.h"
#include "search/tt.h"
#include "test_support.h"

namespace {

// Analyses the position to a fixed depth; returns the best score, engine's
// (side to move's) view.
int32_t analyse(const char* fen, int depth) {
    EXPECT_EQ(setupPosition(engine, fen), 1) << fen;
    engine.session.post = 0;
    engine.clock.depthLimit = depth;
    think(engine, SearchAnalysing);
    engine.clock.depthLimit = 0;
    return engine.search.root.bestRootScore;
}

}  // namespace

TEST(Search, FindsForcedMatesAtTheirDistance) {
    struct Case {
        const char* fen;
        int moves;  // mate in this many of the side to move's moves
    };
    const Case cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 1},
        {"k7/8/8/2K5/8/8/8/7R w - - 0 1", 2},
        {"6k1/pp4p1/2p5/2bp4/8/P5Pb/1P3rrP/2BRRN1K b - - 0 1", 2},
        {"1k6/8/8/2K5/8/8/8/7R w - - 0 1", 3},
        {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", 3},
        {"8/1k6/8/1K6/8/8/R7/8 w - - 0 1", 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(analyse(c.fen, 2 * c.moves + 4), Mate - (2 * c.moves - 1)) << c.fen;
        EXPECT_EQ(engine.search.root.rootPv.pvLength, 2 * c.moves - 1) << c.fen;
    }
}

// Mated and stalemated nodes, the fifty-move rule and a repetition.
TEST(Search, NodeScoresOfEndedAndRepeatedPositions) {
    clearTables();
    Board& mated = boardFromFen("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    EXPECT_EQ(alphaBeta(mated, 3, 16, -Mate, Mate), 3 - Mate);
    Board& stalemate = boardFromFen("7k/5Q2/8/8/8/8/8/K7 b - - 0 1");
    EXPECT_EQ(alphaBeta(stalemate, 1, 16, -Mate, Mate), 0);

    // Knights out and back: the start position again, a draw for the node.
    Board& board = boardFromFen(StartFen);
    play(board, {"g1f3", "g8f6", "f3g1", "f6g8"});
    EXPECT_EQ(alphaBeta(board, 4, 24, -Mate, Mate), 0);
}
