// Thin material: each scaling rule of pawnless positions and of the endgame
// branch, the fortress draws among them, by exact values. Their colour symmetry
// is checked on random placements by the whole evaluation's mirror test.
#include "eval/thin.h"

#include "test_support.h"

// Each rule by its exact value. Without pawns the score handed in is White's
// material minus Black's; the kings stand on c3 and f6 (equal centre bonus,
// three apart) unless the row says otherwise, so the raw score is material - 48
// plus the material's own terms.
TEST(Thin, ScalingRules) {
    struct Case {
        const char* fen;
        int32_t score;      // material, or the running score handed in
        int32_t structure;  // pawn-structure score of the entry
        int32_t expected;
    };
    // clang-format off
    const Case cases[] = {
        {"r7/8/5k2/8/8/2KR4/8/8 w - - 0 1", 200, 0, 0},         // one piece each: dead level
        {"r7/8/5k2/8/8/2KQ4/8/8 w - - 0 1", 668, 0, 1300},      // equal minors, majors differ: doubled
        {"8/8/5k2/8/8/2KN4/8/8 w - - 0 1", 395, 0, 0},          // one minor alone never wins
        {"r7/8/5k2/8/8/2KRB3/8/8 w - - 0 1", 420, 0, 105},      // one minor more: a quarter off the rim
        // More minors, no majors on either side.
        {"8/8/5k2/8/8/2KBN3/8/8 w - - 0 1", 815, 0, 1514},      // bishop and knight mate
        {"8/8/5k2/8/8/2KNN3/8/8 w - - 0 1", 790, 0, 371},       // two knights cannot
        // More minors against more majors, by the sum of both differences.
        {"q7/8/5k2/8/8/2KN4/8/8 w - - 0 1", -915, 0, -1754},    // sum < 0
        {"r7/8/5k2/8/8/2KB4/8/8 w - - 0 1", -222, 0, -102},     // sum 0, one minor
        {"r7/8/5k2/8/8/2KBBN2/8/8 w - - 0 1", 593, 0, 1110},    // sum 2
        // A lone knight against a major: near the rim and away from its king.
        // 915 + 30 (edge f6, ring c3) - 48 + 2 * 60 (a1) + 16 * 5 - 16 * 2, doubled.
        {"8/8/5k2/8/8/2KQ4/8/n7 w - - 0 1", 915, 0, 2 * (915 + 30 - 48 + 120 + 80 - 32)},
        // Bishop and knight drive the king to a corner of the bishop's colour:
        // 815 + 16 (centre) - 32 (kings two apart) + 35 (a8), doubled.
        {"k7/8/2K5/8/8/8/8/3BN3 w - - 0 1", 815, 0, 2 * (815 + 16 - 32 + 35)},
        // Balanced after the kings: half the difference of the edge terms, by an
        // arithmetic shift; the edge table's even values keep the colours exact.
        {"7r/8/8/8/4k3/8/1Q6/K7 w - - 0 1", 18, 0, -60},
        {"k7/1q6/8/4K3/8/8/8/7R b - - 0 1", -18, 0, 60},
        // With pawns, the endgame branch. A leader that cannot mate: -64 a pawn.
        {"8/1pp5/3p4/4k3/8/8/2NN4/4K3 w - - 0 1", 5000, 0, -192},  // two knights
        {"8/8/4k3/8/8/8/4K1P1/4n3 b - - 0 1", -900, 0, 64},        // the pawns' side leads
        // Bishops and pawns: opposite bishops halve (204 - 4); a fortress is a
        // draw, otherwise kings c3 and h8 or f6 add 64 or 0.
        {"8/8/4kb2/8/P2P4/2KB4/8/8 w - - 0 1", 204, 0, 100},
        {"7k/8/8/8/7P/2KB4/8/8 w - - 0 1", 300, 0, 0},        // the wrong bishop, king in the corner
        {"7k/8/8/8/7P/2K1B3/8/8 w - - 0 1", 300, 0, 364},     // the right bishop
        {"8/8/5k2/8/7P/2K5/8/8 w - - 0 1", 300, 0, 0},        // defender two moves nearer the corner
        {"8/7P/5k2/8/8/2K5/8/8 w - - 0 1", 300, 0, 300},      // ... but the pawn nearer still
        {"6k1/1b6/8/8/3P4/2KB4/8/8 w - - 0 1", 300, 0, 0},    // a bishop on a lone pawn's path
        {"8/8/4k3/8/3p4/8/3K4/7R w - - 0 1", -500, 0, 0},     // the king in front of it
        // No pawn for the defender; kings c3 and e6 take 4 off the score.
        {"8/8/4k3/8/3P4/2KR4/8/8 w - - 0 1", 504, 0, 1000},   // bare king
        {"b7/8/4k3/8/3P4/2KN4/8/8 w - - 0 1", 504, 0, 125},   // knight and pawn against a bishop
        {"q7/8/4k3/8/3P4/2KR4/8/8 w - - 0 1", 504, 0, 438},   // the defender's queen
        // Rook endings; each score cancels the centralisation to 500.
        {"r5k1/8/8/7P/5P2/8/3K4/7R w - - 0 1", 464, 0, 250},   // f/h pawns, the king in the corner
        {"r7/4K3/3P4/8/8/k7/8/7R w - - 0 1", 468, 0, 1000},    // king escorts to promotion
        {"r7/8/6k1/8/3P4/4K3/8/5R2 w - - 0 1", 472, 0, 575},   // rook cuts the king off
        // Pieces against pawns.
        {"8/8/8/4Q3/8/2K5/p7/1k6 w - - 0 1", 444, 0, 125},     // queen against the seventh
        {"q7/8/4k3/8/pp6/2KQN3/8/8 w - - 0 1", 504, 0, -56},   // queen and minor against queen
        {"rb6/8/4k3/8/pp6/2KRBN2/8/8 w - - 0 1", 504, 37, 18}, // the structure decides
    };
    // clang-format on
    for (const Case& c : cases) {
        Board& board = boardFromFen(c.fen);
        PawnHashEntry entry{};
        entry.score = int16_t(c.structure);
        int32_t value = board.white.pawns | board.black.pawns ? scaleEndgame(board, entry, c.score)
                                                              : evaluatePawnless(board, c.score);
        EXPECT_EQ(value, c.expected) << c.fen;
    }
}
