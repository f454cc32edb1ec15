// Passed-pawn terms with pieces, the king-and-pawn ending, and the colour
// symmetry of both.
#include "eval/passers.h"

#include "test_support.h"

// From pawns_test.cpp.
std::vector<std::string> pawnTestPositions();

namespace {

struct Case {
    const char* fen;
    int32_t expected;
};

int32_t passerTerms(const char* fen) {
    Board& board = boardFromFen(fen);
    return evaluatePassedPawns(board, probePawnStructure(board));
}

int32_t pawnEnding(const char* fen, int32_t score) {
    Board& board = boardFromFen(fen);
    return evaluatePawnEnding(board, probePawnStructure(board), score);
}

// The enemy has a rook here, so none of the runner special cases apply.
TEST(PassedPawns, RankKingRookAndBishopTerms) {
    const Case cases[] = {
        // On the seventh with the own king next to it: 120 + kingSupport 250.
        {"3k4/1P6/2K5/8/8/8/8/7r w - - 0 1", 370},
        // King away: 120 + kingDist[2] - kingDist[3].
        {"3k4/1P6/8/8/4K3/8/8/7r w - - 0 1", 120 + 4 - 6},
        // Own rook behind b5 on an open file: 40 + 15; the enemy's: 40 - 15;
        // a man between: nothing.
        {"4kbn1/8/8/1P6/8/8/4K3/1R6 w - - 0 1", 55},
        {"4kbn1/8/8/1P6/8/8/4K3/1r6 w - - 0 1", 25},
        {"4kb2/8/8/1P6/8/1n6/4K3/1R6 w - - 0 1", 40},
        // Bishop on the pawn's diagonal +15; enemy king in front -22.
        {"1k6/8/1P6/8/3B4/8/7r/4K3 w - - 0 1", 75 + 15 - 22 + 4 - 8},
        // Black's passer counts against White.
        {"4k3/8/8/8/8/1p6/4K3/4R3 w - - 0 1", -(75 + 6 - 8)},
        // No passed pawns at all.
        {"4k2r/4p3/8/8/8/8/4P3/4K3 w - - 0 1", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(passerTerms(c.fen), c.expected) << c.fen;
}

// Runners against at most one enemy piece; these read the race table.
TEST(PassedPawns, RunnersAgainstOnePiece) {
    const Case cases[] = {
        // No enemy piece: a5 outruns the king (300); one White knight is not
        // enough force (80).
        {"7k/8/8/P7/8/8/8/K5N1 w - - 0 1", 300 + 80},
        // Two pieces and the king next to the pawn: 320.
        {"7k/8/8/P7/K7/8/8/5BN1 w - - 0 1", 300 + 320},
        // The king inside the square: ordinary terms, kingSupport 100.
        {"8/1k6/8/P7/K7/8/8/5BN1 w - - 0 1", 40 + 100 + 320},
        // A lone knight too far to reach the path: 400 + 80.
        {"7n/8/P7/8/8/8/8/K6k w - - 0 1", 400 + 80},
        // A knight that catches it: 75 with the own king away, 4 x 75 near.
        {"1n6/8/P7/8/8/8/8/K6k w - - 0 1", 75 + 80},
        {"1n6/8/P7/1K6/8/8/8/7k w - - 0 1", 300 + 80},
        // Defended by b5: 400 / 2 with the own king away; b5 gets the usual
        // 40 + kingDist[6] - kingDist[4].
        {"1n6/8/P7/1P6/8/8/8/K6k w - - 0 1", 200 + 80 + 40 + 9 - 7},
        // Against a queen: b7 defended and beside the king, +300; a6 ordinary.
        {"7q/1P6/P1K5/8/8/8/8/7k w - - 0 1", 300 + 75 + 10 - 4},
    };
    for (const Case& c : cases) EXPECT_EQ(passerTerms(c.fen), c.expected) << c.fen;
}

// Rook-pawn and lone-pawn draws of king-and-pawn endings; none reads the
// race table.
TEST(PawnEnding, KnownDraws) {
    struct Ending {
        const char* fen;
        int32_t score, expected;
    } cases[] = {
        // The defending king in the corner or in front of rook pawns: 0
        // whatever the count.
        {"8/8/8/8/p7/8/8/K1k5 w - - 0 1", -100, 0},
        {"8/8/8/8/p7/p7/8/K1k5 w - - 0 1", -300, 0},
        {"8/8/8/2k5/p7/K7/8/8 w - - 0 1", -100, 0},
        {"8/8/8/8/p7/8/1K6/3k4 b - - 0 1", -100, 0},
        {"8/8/8/8/8/7p/8/3k2K1 b - - 0 1", -100, 0},
        {"k7/8/8/8/8/8/P7/2K5 w - - 0 1", 100, 0},
        // The king beside the pawn instead: no draw (-100 - 40).
        {"8/8/8/K7/p7/1k6/8/8 w - - 0 1", -100, -140},
        // Stalemate in front of the pawn, White to move; Black to move plays on.
        {"8/8/8/8/8/4k3/4p3/4K3 w - - 0 1", -200, 0},
        {"8/8/8/8/8/4k3/4p3/4K3 b - - 0 1", -200, -240},
        // The lone pawn falls with White to move.
        {"8/8/8/3k4/8/8/5p2/5K2 w - - 0 1", -100, 0},
        {"8/8/8/3k4/8/8/5p2/5K2 b - - 0 1", -100, -140},
        // Locked pawns: a king in front of its own pawns +120, both: 0.
        {"4k3/8/8/p1p1p1p1/P1P1P1P1/8/8/4K3 w - - 0 1", 0, 0},
        {"4k3/8/1K6/p1p1p1p1/P1P1P1P1/8/8/8 w - - 0 1", 0, 120},
        {"8/8/1K6/p1p1p1p1/P1P1P1P1/6k1/8/8 w - - 0 1", 0, 0},
    };
    for (const Ending& c : cases) EXPECT_EQ(pawnEnding(c.fen, c.score), c.expected) << c.fen;
}

TEST(PawnEnding, PawnRaces) {
    struct Ending {
        const char* fen;
        int32_t score, expected;
    } cases[] = {
        // a4 outside the square of h1: +400 on top of 100 + 40, either side
        // to move.
        {"8/8/8/8/P7/8/8/2K4k w - - 0 1", 100, 540},
        {"8/8/8/8/P7/8/8/2K4k b - - 0 1", 100, 540},
        // f6 is inside the square when Black moves.
        {"8/8/5k2/8/P7/8/8/2K5 w - - 0 1", 100, 540},
        {"8/8/5k2/8/P7/8/8/2K5 b - - 0 1", 100, 140},
        // Equal races add nothing (the outside-passer terms cancel).
        {"7k/8/8/7p/P7/8/8/K7 w - - 0 1", 8, 8},
        {"7k/8/8/7p/P7/8/8/K7 b - - 0 1", -8, -8},
        // Black one move slower: lost with White to move, only a tempo behind
        // with Black to move.
        {"7k/8/7p/8/P7/8/8/K7 w - - 0 1", 8, 408},
        {"7k/8/7p/8/P7/8/8/K7 b - - 0 1", -8, -8},
        // A runner with its own king in the way does not race.
        {"8/8/K7/8/P7/8/8/7k w - - 0 1", 100, 140},
    };
    for (const Ending& c : cases) EXPECT_EQ(pawnEnding(c.fen, c.score), c.expected) << c.fen;
}

// The colour-flipped position gives exactly the negated terms; the side to
// move is flipped too.
TEST(PassedPawns, ColourMirror) {
    int nonZero = 0;
    for (const std::string& fen : pawnTestPositions()) {
        Board& board = boardFromFen(fen.c_str());
        const PawnHashEntry entry = probePawnStructure(board);
        const int32_t terms = evaluatePassedPawns(board, entry);
        const int32_t scores[] = {entry.score, -150, 0, 150};
        int32_t endings[4];
        for (int i = 0; i < 4; ++i) endings[i] = evaluatePawnEnding(board, entry, scores[i]);
        nonZero += terms != 0;

        const std::string mirror = mirrorFen(fen);
        Board& flipped = boardFromFen(mirror.c_str());
        const PawnHashEntry& flippedEntry = probePawnStructure(flipped);
        EXPECT_EQ(evaluatePassedPawns(flipped, flippedEntry), -terms) << fen;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(evaluatePawnEnding(flipped, flippedEntry, -scores[i]), -endings[i])
                << fen << " score " << scores[i];
        }
    }
    EXPECT_GT(nonZero, 100);
}

}  // namespace
