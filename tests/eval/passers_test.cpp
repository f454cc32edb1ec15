// Passed-pawn terms with pieces and the king-and-pawn ending, each rule by its
// exact value; their colour symmetry is the whole evaluation's mirror test.
#include "eval/passers.h"

#include "test_support.h"

// With pieces on the board the passer terms, else the ending of the score handed in.
TEST(PassedPawns, TermsAndPawnEndings) {
    struct Case {
        const char* fen;
        int32_t score, expected;
    };
    // clang-format off
    const Case cases[] = {
        // An enemy rook: no runner case. On the seventh, 120 + king support 250.
        {"3k4/1P6/2K5/8/8/8/8/7r w - - 0 1", 0, 370},
        {"3k4/1P6/8/8/4K3/8/8/7r w - - 0 1", 0, 120 + 4 - 6},               // king away: kingDist[2] - [3]
        {"4kbn1/8/8/1P6/8/8/4K3/1r6 w - - 0 1", 0, 40 - 15},                // the enemy rook behind
        {"1k6/8/1P6/8/3B4/8/7r/4K3 w - - 0 1", 0, 75 + 15 - 22 + 4 - 8},    // bishop on the diagonal, king in front
        {"4k3/8/8/8/8/1p6/4K3/4R3 w - - 0 1", 0, -(75 + 6 - 8)},            // Black's passer
        // Runners against at most one piece; one White knight is no force (80).
        {"7k/8/8/P7/8/8/8/K5N1 w - - 0 1", 0, 300 + 80},                    // none: a5 outruns the king
        {"8/1k6/8/P7/K7/8/8/5BN1 w - - 0 1", 0, 40 + 100 + 320},            // the king inside the square
        {"7n/8/P7/8/8/8/8/K6k w - - 0 1", 0, 400 + 80},                     // a knight too far
        {"1n6/8/P7/1K6/8/8/8/7k w - - 0 1", 0, 300 + 80},                   // ... catching it, own king near
        {"1n6/8/P7/1P6/8/8/8/K6k w - - 0 1", 0, 200 + 80 + 40 + 9 - 7},     // ... defended by b5
        {"7q/1P6/P1K5/8/8/8/8/7k w - - 0 1", 0, 300 + 75 + 10 - 4},         // a queen: b7 by its king
        // King and pawns.
        {"8/8/8/8/p7/p7/8/K1k5 w - - 0 1", -300, 0},                        // the king in front of rook pawns
        {"8/8/8/K7/p7/1k6/8/8 w - - 0 1", -100, -140},                      // ... beside them: -100 - 40
        {"8/8/8/8/8/4k3/4p3/4K3 w - - 0 1", -200, 0},                       // stalemate
        {"8/8/8/3k4/8/8/5p2/5K2 w - - 0 1", -100, 0},                       // the lone pawn falls
        {"8/8/8/3k4/8/8/5p2/5K2 b - - 0 1", -100, -140},
        {"4k3/8/1K6/p1p1p1p1/P1P1P1P1/8/8/8 w - - 0 1", 0, 120},            // locked: a king in front
        // Races: a4 outside the square of f6 when White moves, +400.
        {"8/8/5k2/8/P7/8/8/2K5 w - - 0 1", 100, 540},
        {"8/8/5k2/8/P7/8/8/2K5 b - - 0 1", 100, 140},
        {"7k/8/7p/8/P7/8/8/K7 w - - 0 1", 8, 408},                          // Black a move slower: lost
        {"7k/8/7p/8/P7/8/8/K7 b - - 0 1", -8, -8},                          // ... only a tempo behind
        {"8/8/K7/8/P7/8/8/7k w - - 0 1", 100, 140},                         // own king in the way
    };
    // clang-format on
    for (const Case& c : cases) {
        Board& board = boardFromFen(c.fen);
        const PawnHashEntry& entry = probePawnStructure(testEval().pawns, board);
        bool pieces =
            (board.white.materialSignature | board.black.materialSignature) & SignaturePieces;
        int32_t value =
            pieces ? evaluatePassedPawns(board, entry) : evaluatePawnEnding(board, entry, c.score);
        EXPECT_EQ(value, c.expected) << c.fen;
    }
}
