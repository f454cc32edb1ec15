// Static exchanges played out exactly, and the quiescence search's rules on
// positions where material or mate decides whatever the evaluation's details.
#include "search/quiescence.h"

#include <tuple>

#include "eval/evaluate.h"
#include "search/tt.h"
#include "test_support.h"

TEST(StaticExchange, ExactSequences) {
    // Material won (P 100, N 335, B 337, R 500, Q 1000), plus the mover's code, plus 10.
    const std::tuple<const char*, const char*, int32_t> cases[] = {
        {"k7/8/2p5/3n4/4P3/8/8/K7 w - - 0 1", "e4d5", 246},       // PxN, PxP
        {"k7/8/8/3p4/8/8/3R4/K7 w - - 0 1", "d2d5", 114},         // undefended
        {"k2q4/8/8/3p4/8/8/3R4/K7 w - - 0 1", "d2d5", -386},      // the queen retakes
        {"k2q4/8/8/3p4/8/8/3R4/K2R4 w - - 0 1", "d2d5", 114},     // the rook behind joins
        {"k2r4/3r4/8/3p4/8/8/3R4/K2R4 w - - 0 1", "d2d5", -386},  // both doubled: Black last
        {"k7/8/8/4p3/3n4/8/8/3R3K w - - 0 1", "d1d4", -151},      // RxN defended by a pawn
        {"k7/8/3p4/4p3/4K3/5N2/8/8 w - - 0 1", "f3e5", -123},     // the king retakes last
        {"k3r3/8/3p4/4p3/4K3/5N2/8/8 w - - 0 1", "f3e5", -223},   // not against the rook
        {"7k/1P6/8/8/8/8/8/K7 w - - 0 1", "b7b8q", 911},          // promotions: free,
        {"4r2k/1P6/8/8/8/8/8/K7 w - - 0 1", "b7b8q", -89},        // or taken
        {"1r6/P1k5/8/8/8/8/8/7K w - - 0 1", "a7b8q", 411},        // KxQ after axb8=Q
        {"7k/8/8/4p3/3p4/8/1B6/Q3K3 w - - 0 1", "b2d4", -124},    // the queen behind joins,
        {"q6k/1b6/8/3P4/4P3/8/8/4K3 b - - 0 1", "b7d5", -124},    // on either diagonal
        {"k7/8/8/3p4/8/4P3/8/K7 w - - 0 1", "e3e4", -89},         // a quiet push, lost
        {"k7/8/8/3p4/8/4P3/8/K3R3 w - - 0 1", "e3e4", 11},        // defended from behind
        {"k7/8/8/4b3/3P4/2P5/8/K7 b - - 0 1", "e5d4", -224},      // Black to move
    };
    for (auto [fen, move, expected] : cases) {
        Board& board = boardFromFen(fen);
        EXPECT_EQ(staticExchange(board, findMove(board, move)), expected) << fen;
    }
    // A king never takes a defended man, but the bare value holds for it too.
    Board& board = boardFromFen("k7/8/8/8/2p5/3r4/3K4/8 w - - 0 1");
    EXPECT_EQ(staticExchange(board, buildMove(D2, D3, KindKing, King, Rook)), 500);
}

// Stand-pat, the moves a node may try, and mates. The score is exact, the
// stand-pat (StandPat), or above it by at least so much (Above + gain).
TEST(Quiescence, NodeRules) {
    constexpr int32_t Window = 32763, StandPat = 1 << 20, Above = 2 << 20;
    const char* forced = "7k/8/8/8/8/6N1/6PP/r6K w - - 0 1";  // Nf1, Rxf1 mate
    const char* queenDown = "k7/p7/8/3q4/4P3/8/P7/K7 w - - 0 1";
    // Position, ply, with checks, beta, score, whether any move is made.
    const std::tuple<const char*, int, int, int32_t, int32_t, bool> cases[] = {
        {"R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1", 3, 0, Window, 3 - Mate, false},
        {forced, 5, 0, Window, 7 - Mate, true},           // a single evasion is played out,
        {forced, 5, 0, -MateBound - 1, StandPat, false},  // unless beta is already mated
        {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 1, 1, Window, Mate - 2, true},  // a quiet mate
        {"k7/8/2p5/3p4/8/8/8/K2Q4 w - - 0 1", 2, 0, Window, StandPat, false},    // QxP: losing
        {"k7/8/8/2p5/3n4/8/4N3/K7 w - - 0 1", 2, 0, Window, Above, true},        // NxN: even
        {"k7/8/8/8/8/8/8/K6R w - - 0 1", 2, 0, Window, StandPat, false},         // a safe check,
        {"k7/8/8/8/8/8/8/K6R w - - 0 1", 2, 1, Window, Above, true},             // with checks
        {"k7/8/8/8/8/8/8/r3K3 w - - 0 1", 2, 0, Window, StandPat, false},        // quiet evasions
        {"k7/p7/8/8/8/8/2N4P/r3K3 w - - 0 1", 2, 0, Window, Above + 300, true},  // NxR
        {queenDown, 4, 0, Window, Above + 800, true},         // PxQ: a-pawns keep endgames out
        {queenDown, 4, 0, -2000, StandPat, false},            // fail-soft above beta
        {queenDown, MaxPly - 2, 1, Window, StandPat, false},  // at the stack's end
    };
    for (auto [fen, ply, withChecks, beta, expected, searches] : cases) {
        // Each case from an empty table: a stored result would settle it.
        clearTable(engine.search.control.table);
        Board& board = boardFromFen(fen);
        board.stack->moveLists[ply] = board.stack->moveBuffer + 2000;
        const int32_t standPat =
            evaluate(testEval(), board, -Window, Window) * (board.toMove->colour == White ? 1 : -1);
        const uint32_t made = board.stack->makeCount;
        int32_t score = quiescence(engine.search.main, board, ply, -Window, beta, withChecks);
        EXPECT_EQ(board.stack->makeCount != made, searches) << fen << " " << ply;
        if (expected >= Above)
            EXPECT_GE(score, standPat + expected - Above) << fen;
        else
            EXPECT_EQ(score, expected == StandPat ? standPat : expected) << fen << " " << ply;
    }
}
