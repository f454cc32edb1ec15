// Static exchanges played out exactly, and the quiescence search's rules on
// positions where material or mate decides, so that they hold whatever the
// evaluation's finer terms say.
#include "search/quiescence.h"

#include "board/makemove.h"
#include "eval/evaluate.h"
#include "test_support.h"

namespace {

constexpr int Window = 32763;

// The board ready for a quiescence call at ply: its list away from list 0,
// which findMove uses.
Board& qsBoard(const char* fen, int ply) {
    Board& board = boardFromFen(fen);
    board.stack->moveLists[ply] = board.stack->moveBuffer + 2000;
    engine.search.stack.qsSelDepth = 0;
    return board;
}

int32_t standPat(Board& board) {
    int32_t score = evaluate(board, -Window, Window);
    return board.toMove->colour == White ? score : -score;
}

}  // namespace

TEST(StaticExchange, ExactSequences) {
    struct Case {
        const char* fen;
        const char* move;
        int32_t expected;
    };
    const Case cases[] = {
        // Pawn takes a knight, pawn retakes: 335 - 100, plus pawn code and 10.
        {"k7/8/2p5/3n4/4P3/8/8/K7 w - - 0 1", "e4d5", 246},
        // Undefended pawn for a rook: the bare gain.
        {"k7/8/8/3p4/8/8/3R4/K7 w - - 0 1", "d2d5", 114},
        // The queen retakes and nothing follows: 100 - 500.
        {"k2q4/8/8/3p4/8/8/3R4/K7 w - - 0 1", "d2d5", -386},
        // The rook behind joins once the front rook has gone: the queen cannot retake.
        {"k2q4/8/8/3p4/8/8/3R4/K2R4 w - - 0 1", "d2d5", 114},
        // Both sides doubled: Black's rear rook joins behind its front rook
        // and has the last word.
        {"k2r4/3r4/8/3p4/8/8/3R4/K2R4 w - - 0 1", "d2d5", -386},
        // Rook for a defended bishop or knight: just inside, just outside -150.
        {"k7/8/1p6/b7/8/8/8/R6K w - - 0 1", "a1a5", -149},
        {"k7/8/8/4p3/3n4/8/8/3R3K w - - 0 1", "d1d4", -151},
        // An even trade scores a little above zero.
        {"k7/8/8/2p5/3n4/8/4N3/K7 w - - 0 1", "e2d4", 12},
        // King captures: the value of the man taken, defended or not.
        {"k7/8/8/8/8/3p4/3K4/8 w - - 0 1", "d2d3", 100},
        {"k7/8/8/8/8/3r4/3K4/8 w - - 0 1", "d2d3", 500},
        // The king retakes last when nothing else defends ...
        {"k7/8/3p4/4p3/4K3/5N2/8/8 w - - 0 1", "f3e5", -123},
        // ... and not at all against a rook behind the pawn.
        {"k3r3/8/3p4/4p3/4K3/5N2/8/8 w - - 0 1", "f3e5", -223},
        // Promotions: free, taken by a rook, retaken by the rook behind the pawn.
        {"7k/1P6/8/8/8/8/8/K7 w - - 0 1", "b7b8q", 911},
        {"4r2k/1P6/8/8/8/8/8/K7 w - - 0 1", "b7b8q", -89},
        {"4r2k/1P6/8/8/8/8/8/1R5K w - - 0 1", "b7b8q", 411},
        // Capture-promotion of a rook, the queen retaken by the king.
        {"1r6/P1k5/8/8/8/8/8/7K w - - 0 1", "a7b8q", 411},
        // Quiet pawn pushes onto a square a pawn attacks: lost, then defended by
        // a pawn, then by the rook behind the pusher.
        {"k7/8/8/3p4/8/4P3/8/K7 w - - 0 1", "e3e4", -89},
        {"k7/8/8/3p4/8/4PP2/8/K7 w - - 0 1", "e3e4", 11},
        {"k7/8/8/3p4/8/4P3/8/K3R3 w - - 0 1", "e3e4", 11},
        // Black to move: the same rules from the other side.
        {"k7/8/8/4b3/3P4/2P5/8/K7 b - - 0 1", "e5d4", -224},
    };
    for (const Case& c : cases) {
        Board& board = boardFromFen(c.fen);
        Move move = findMove(board, c.move);
        EXPECT_EQ(staticExchange(board, move), c.expected) << c.fen << " " << c.move;
    }
    // A king never takes a defended man, but the bare value holds for it too.
    Board& board = boardFromFen("k7/8/8/8/2p5/3r4/3K4/8 w - - 0 1");
    EXPECT_EQ(staticExchange(board, buildMove(D2, D3, KindKing, King, Rook)), 500);
}

TEST(Quiescence, MatesAndForcedReplies) {
    // Back-rank mate on the board: no evasion.
    Board& mated = qsBoard("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1", 3);
    EXPECT_EQ(quiescence(mated, 3, -Window, Window, 0), 3 - Mate);

    // The only evasion (Nf1) is quiet and walks into Rxf1 mate: searched
    // without a stand-pat, the mate two plies on shows.
    const char* forced = "7k/8/8/8/8/6N1/6PP/r6K w - - 0 1";
    Board& board = qsBoard(forced, 5);
    EXPECT_EQ(quiescence(board, 5, -Window, Window, 0), 7 - Mate);
    EXPECT_EQ(engine.search.stack.qsSelDepth, 7);
    // With beta already a mated score the forced reply is not played.
    uint32_t made = board.stack->makeCount;
    EXPECT_GT(quiescence(board, 5, -Window, -MateBound - 1, 0), -MateBound);
    EXPECT_EQ(board.stack->makeCount, made);

    // A quiet mate in one is found only at the first ply, with checks.
    Board& backRank = qsBoard("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 1);
    EXPECT_EQ(quiescence(backRank, 1, -Window, Window, 1), Mate - 2);
    EXPECT_EQ(quiescence(backRank, 1, -Window, Window, 0), standPat(backRank));
}

TEST(Quiescence, StandPatAndCaptureFilter) {
    struct Case {
        const char* fen;
        int withChecks;
        bool searches;  // whether any move is made
    };
    const Case cases[] = {
        // Queen takes a pawn defended by a pawn: losing, never tried.
        {"k7/8/2p5/3p4/8/8/8/K2Q4 w - - 0 1", 0, false},
        // Knight for knight, defended: an even trade is tried.
        {"k7/8/8/2p5/3n4/8/4N3/K7 w - - 0 1", 0, true},
        // A safe quiet check only with checks.
        {"k7/8/8/8/8/8/8/K6R w - - 0 1", 0, false},
        {"k7/8/8/8/8/8/8/K6R w - - 0 1", 1, true},
        // In check with several quiet evasions and no capture: stand pat.
        {"k7/8/8/8/8/8/8/r3K3 w - - 0 1", 0, false},
        // In check, the checker can be taken: tried.
        {"k7/8/8/8/8/8/2N5/r3K3 w - - 0 1", 0, true},
    };
    for (const Case& c : cases) {
        Board& board = qsBoard(c.fen, 2);
        int32_t expected = standPat(board);
        uint32_t made = board.stack->makeCount;
        int32_t score = quiescence(board, 2, -Window, Window, c.withChecks);
        EXPECT_EQ(board.stack->makeCount != made, c.searches) << c.fen;
        if (!c.searches) {
            EXPECT_EQ(score, expected) << c.fen;
        }
        EXPECT_GE(score, expected) << c.fen;
    }
}

TEST(Quiescence, WinsMaterialAndStopsAtTheLastPly) {
    // The pawn takes the loose queen; Black has nothing to take back, so the
    // score is the evaluation after the capture.
    // Pawns on the a-file keep the endgame knowledge out of it.
    const char* fen = "k7/p7/8/3q4/4P3/8/P7/K7 w - - 0 1";
    Board& board = qsBoard(fen, 4);
    int32_t before = standPat(board);
    saveUndo(board);
    makeMove(board, findMove(board, "e4d5"));
    int32_t after = -standPat(board);
    unmakeMove(board);
    EXPECT_GT(after, before + 500);
    EXPECT_EQ(quiescence(board, 4, -Window, Window, 0), after);
    // A window below the stand-pat fails high at once, fail-soft.
    EXPECT_EQ(quiescence(board, 4, -Window, before - 1, 0), before);

    // Two plies before the limit: the evaluation, nothing searched.
    engine.search.stack.qsSelDepth = 0;
    uint32_t made = board.stack->makeCount;
    EXPECT_EQ(quiescence(board, MaxPly - 2, -Window, Window, 1), before);
    EXPECT_EQ(board.stack->makeCount, made);
    EXPECT_EQ(engine.search.stack.qsSelDepth, MaxPly - 2);
}
