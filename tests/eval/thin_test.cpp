#include "eval/thin.h"

#include <array>
#include <cctype>
#include <iterator>
#include <random>
#include <string>

#include "board/tables.h"
#include "test_support.h"

namespace {

// Two boards alive at once: the position and its mirror image.
bool parseInto(Board& board, const std::string& fen) {
    char message[FenMessageSize];
    return parseFen(board, engine.game.stack, fen.c_str(), message) == 1;
}

PawnHashEntry entryWithScore(int score) {
    PawnHashEntry entry{};
    entry.score = int16_t(score);
    return entry;
}

struct PawnlessCase {
    const char* fen;
    int32_t material;  // White's material minus Black's, as passed by the caller
    int32_t expected;
};

void expectPawnless(const PawnlessCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const Board& board = boardFromFen(cases[i].fen);
        EXPECT_EQ(evaluatePawnless(board, cases[i].material), cases[i].expected) << cases[i].fen;
    }
}

struct EndgameCase {
    const char* fen;
    int32_t score;      // running score handed in
    int32_t structure;  // pawn-structure score of the entry
    int32_t expected;
};

void expectEndgame(const EndgameCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const Board& board = boardFromFen(cases[i].fen);
        PawnHashEntry entry = entryWithScore(cases[i].structure);
        EXPECT_EQ(scaleEndgame(board, entry, cases[i].score), cases[i].expected) << cases[i].fen;
    }
}

}  // namespace

// Kings c3 and f6 (equal centre bonus, three apart) unless the row says
// otherwise, so the raw score is material - 48 plus the material's own terms.
TEST(ThinPawnless, EqualMinorsAndLoneMinors) {
    const PawnlessCase cases[] = {
        // Bishop against knight: halved, towards zero (-33 / 2).
        {"n7/8/5k2/8/8/2KB4/8/8 w - - 0 1", 25, -16},
        // Equal signatures: one piece each, or no majors at all, is dead level.
        {"r7/8/5k2/8/8/2KR4/8/8 w - - 0 1", 200, 0},
        {"bn6/8/5k2/8/8/2KBN3/8/8 w - - 0 1", 200, 0},
        // Equal signatures with majors and two pieces each still play: halved.
        {"rn6/8/5k2/8/8/2KRN3/8/8 w - - 0 1", 200, 91},
        // Equal minors, majors differ: doubled.
        {"r7/8/5k2/8/8/2KQ4/8/8 w - - 0 1", 668, 1300},
        // One minor alone never wins.
        {"8/8/5k2/8/8/2KN4/8/8 w - - 0 1", 395, 0},
        {"8/8/5k2/8/8/2KB4/8/8 b - - 0 1", 420, 0},
        // Rook and bishop against rook: a quarter in the middle, half on the rim.
        {"r7/8/5k2/8/8/2KRB3/8/8 w - - 0 1", 420, 105},
        {"r7/8/7k/8/8/2KRB3/8/8 b - - 0 1", 420, 201},
    };
    expectPawnless(cases, std::size(cases));
}

TEST(ThinPawnless, MinorAndMajorBalance) {
    const PawnlessCase cases[] = {
        // More minors, no majors on either side.
        {"8/8/5k2/8/8/2KBN3/8/8 w - - 0 1", 815, 1514},    // bishop and knight mate
        {"8/8/5k2/8/8/2KNN3/8/8 w - - 0 1", 790, 371},     // two knights cannot
        {"8/8/5k2/8/8/2KNNN2/8/8 w - - 0 1", 1185, 2274},  // three can
        {"8/8/5k2/8/8/2KB4/8/5B2 w - - 0 1", 840, 391},    // bishops of one colour
        {"8/8/5k2/8/8/2KBB3/8/8 w - - 0 1", 840, 1604},    // of both colours
        {"r7/8/5k2/8/8/2KRNN2/8/8 w - - 0 1", 790, 1544},  // with a rook
        // More minors against more majors, by the sum of both differences.
        {"q7/8/5k2/8/8/2KN4/8/8 w - - 0 1", -915, -1754},            // sum < 0, lone knight
        {"r7/8/5k2/8/8/2KB4/8/8 w - - 0 1", -222, -102},             // sum 0, one minor
        {"q7/8/5k2/8/8/2KNN3/8/8 w - - 0 1", -520, -502},            // sum 0, two minors
        {"qr6/8/5k2/8/8/2KNNN2/8/8 w - - 0 1", -767, -1498},         // sum 0, three minors
        {"r7/8/5k2/8/8/2KBN3/8/8 w - - 0 1", 173, 57},               // sum 1, two minors
        {"qr6/8/5k2/8/8/2KBBNN1/8/8 w - - 0 1", -322, -304},         // sum 1, four minors
        {"r7/8/5k2/8/8/2KBBN2/8/8 w - - 0 1", 593, 1110},            // sum 2, three minors
        {"r7/8/5k2/8/8/2KBBBNN/7N/8 w - - 0 1", 1803, 1765},         // sum 5, six minors
        {"8/8/5k2/8/8/2KNQ3/8/8 w - - 0 1", 1705, 2 * (1705 - 18)},  // more of both
        // A lone knight against a major: near the rim and away from its king.
        // 915 + 30 (edge f6, ring c3) - 48 + 2 * 60 (a1) + 16 * 5 - 16 * 2, doubled.
        {"8/8/5k2/8/8/2KQ4/8/n7 w - - 0 1", 915, 2 * (915 + 30 - 48 + 120 + 80 - 32)},
        {"8/8/5k2/4n3/8/2KQ4/8/8 w - - 0 1", 915, 2 * (915 + 30 - 48 + 0 + 16 - 32)},
    };
    expectPawnless(cases, std::size(cases));
}

// Bishop and knight: the defending king in a corner of the bishop's colour is
// worth more than in the other corner, by twice 35 + 20.
TEST(ThinPawnless, BishopMatesInTheRightCorner) {
    const char* lightBishopA8 = "k7/8/2K5/8/8/8/8/3BN3 w - - 0 1";
    const char* lightBishopH8 = "7k/8/5K2/8/8/8/8/3BN3 w - - 0 1";
    const char* darkBishopA8 = "k7/8/2K5/8/8/8/8/3NB3 w - - 0 1";
    const char* darkBishopH8 = "7k/8/5K2/8/8/8/8/3NB3 w - - 0 1";
    const PawnlessCase cases[] = {
        // 815 + 16 (centre) - 32 (kings two apart) +- the corner, doubled.
        {lightBishopA8, 815, 2 * (815 + 16 - 32 + 35)},
        {lightBishopH8, 815, 2 * (815 + 16 - 32 - 20)},
        {darkBishopA8, 815, 2 * (815 + 16 - 32 - 20)},
        {darkBishopH8, 815, 2 * (815 + 16 - 32 + 35)},
        // Nearer the right corner still scores more than the far side.
        {"8/1k6/8/2K5/8/8/8/3BN3 w - - 0 1", 815, 2 * (815 + 10 - 2 - 32 + 25)},
        {"8/6k1/8/5K2/8/8/8/3BN3 w - - 0 1", 815, 2 * (815 + 10 - 2 - 32 - 15)},
    };
    expectPawnless(cases, std::size(cases));
}

// Balanced after the kings: half the difference of the edge terms, by an
// arithmetic shift. The edge table holds only even values, so the rounding
// never shows and the colours stay exact mirrors here too.
TEST(ThinPawnless, BalancedScoreUsesTheEdge) {
    const char* fen = "7r/8/8/8/4k3/8/1Q6/K7 w - - 0 1";
    Board& board = boardFromFen(fen);
    // 18 = centre e4 - centre a1 cancels the kings; (0 - 60) >> 1, doubled.
    EXPECT_EQ(evaluatePawnless(board, 18), -60);
    Board& mirrored = boardFromFen(mirrorFen(fen).c_str());
    EXPECT_EQ(evaluatePawnless(mirrored, -18), 60);
}

TEST(ThinEndgame, LeaderWithoutMatingMaterial) {
    const EndgameCase cases[] = {
        // Two knights against pawns: -64 a pawn whatever the score.
        {"8/1p6/8/4k3/8/8/2NN4/4K3 w - - 0 1", 500, 0, -64},
        {"8/1pp5/3p4/4k3/8/8/2NN4/4K3 w - - 0 1", 5000, 0, -192},
        // Bishops of one colour against pawns.
        {"8/1pp5/8/4k3/8/8/2B5/1B2K3 w - - 0 1", 300, 0, -128},
        // Bishops of both colours can mate: the score stands (300 - 56).
        {"8/1pp5/8/4k3/8/8/2BB4/4K3 w - - 0 1", 300, 0, 244},
        // The pawns' side leads: its pawns fix the value, not the score.
        {"8/8/4k3/8/8/8/4K1P1/4n3 b - - 0 1", -900, 0, 64},
    };
    expectEndgame(cases, std::size(cases));
}

TEST(ThinEndgame, BishopsAndPawns) {
    const EndgameCase cases[] = {
        // Opposite bishops halve, bishops of one colour do not (204 - 4 = 200).
        {"8/8/4kb2/8/P2P4/2KB4/8/8 w - - 0 1", 204, 0, 100},
        {"4b3/8/4k3/8/P2P4/2KB4/8/8 w - - 0 1", 204, 0, 200},
        // Rook pawn with the wrong bishop and the king in the corner: drawn.
        {"7k/8/8/8/7P/2KB4/8/8 w - - 0 1", 300, 0, 0},
        {"7k/8/8/8/7P/2K1B3/8/8 w - - 0 1", 300, 0, 364},
        // Blockade of a lone pawn by the king, or along a bishop's diagonal.
        {"n7/8/3k4/8/3P4/2KB4/8/8 w - - 0 1", 300, 0, 0},
        {"6k1/1b6/8/8/3P4/2KB4/8/8 w - - 0 1", 300, 0, 0},
        {"6k1/1b6/2n5/8/3P4/2KB4/8/8 w - - 0 1", 300, 0, 356},
        // Black's pawn against a rook: blockaded by the king, or not (-500 - 28).
        {"8/8/4k3/8/3p4/8/3K4/7R w - - 0 1", -500, 0, 0},
        {"8/8/4k3/8/3p4/8/2K5/7R w - - 0 1", -500, 0, -528},
    };
    expectEndgame(cases, std::size(cases));
}

TEST(ThinEndgame, DefenderWithoutPawns) {
    // Kings c3 and e6: the centralisation takes 4 off the score.
    const EndgameCase cases[] = {
        {"8/8/4k3/8/3P4/2KR4/8/8 w - - 0 1", 504, 0, 1000},  // bare king
        {"8/8/4k3/8/3P4/2KN4/8/8 w - - 0 1", 504, 0, 1000},
        {"8/8/4k3/8/3P4/2KB4/8/8 w - - 0 1", 504, 0, 500},    // bishop and pawn: no rule
        {"r7/8/4k3/8/3P4/2KQ4/8/8 w - - 0 1", 504, 0, 1000},  // queen against a piece
        {"b7/8/4k3/8/3P4/2KN4/8/8 w - - 0 1", 504, 0, 125},   // knight and pawn
        {"n7/8/4k3/8/3P4/2KN4/8/8 w - - 0 1", 504, 0, 250},
        {"b7/8/4k3/8/3P4/2KR4/8/8 w - - 0 1", 504, 0, 500},
    };
    expectEndgame(cases, std::size(cases));
}

TEST(ThinEndgame, RookEndings) {
    // Each row's score cancels the centralisation to 500.
    const EndgameCase cases[] = {
        {"r5k1/8/8/7P/5P2/8/3K4/7R w - - 0 1", 464, 0, 250},   // f/h pawns, king in the corner
        {"r7/1k6/8/P7/2P5/8/3K4/7R w - - 0 1", 488, 0, 250},   // a/c pawns
        {"r7/8/4k3/4P3/3P4/8/8/1K5R w - - 0 1", 560, 0, 250},  // king before the chain
        {"r7/8/3k4/4P3/3P4/8/8/1K5R b - - 0 1", 560, 0, 500},
        {"r7/4K3/3P4/8/8/k7/8/7R w - - 0 1", 468, 0, 1000},   // king escorts to promotion
        {"r7/4k3/8/8/4P3/8/8/1K5R w - - 0 1", 536, 0, 250},   // king before the lone pawn
        {"r6k/8/8/8/7P/8/8/1K5R w - - 0 1", 492, 0, 125},     // h-pawn: both rules halve
        {"r7/8/6k1/8/3P4/4K3/8/5R2 w - - 0 1", 472, 0, 575},  // rook cuts the king off
        {"r7/8/6k1/8/3P4/4K3/8/R7 w - - 0 1", 472, 0, 500},
        {"r7/8/8/8/3P4/4K3/6k1/R7 w - - 0 1", 464, 0, 575},  // defender behind the pawn
    };
    expectEndgame(cases, std::size(cases));
}

TEST(ThinEndgame, PiecesAgainstPawns) {
    const EndgameCase cases[] = {
        // Queen against the pawn on the seventh: a quarter (56 from the kings).
        {"8/8/8/4Q3/8/2K5/p7/1k6 w - - 0 1", 444, 0, 125},
        // Queen against rook and two pawns, king beside a pawn.
        {"7r/8/4k3/p3p3/8/2KQ4/8/8 w - - 0 1", 504, 0, 250},
        {"7r/8/4k3/p6p/8/2KQ4/8/8 w - - 0 1", 504, 0, 500},
        // Queen and minor against queen and pawns; the defender's queen then
        // takes an eighth off.
        {"q7/8/4k3/8/p7/2KQN3/8/8 w - - 0 1", 504, 0, 110},
        {"q7/8/4k3/8/pp6/2KQN3/8/8 w - - 0 1", 504, 0, -56},
        // Rook against rook and pawns.
        {"r7/8/4k3/8/p7/2KR4/8/8 w - - 0 1", 504, 0, 125},
        {"r7/8/4k3/8/pp6/2KR4/8/8 w - - 0 1", 504, 0, -64},
        // Rook, bishop and knight against rook, bishop and pawns: the pawns decide.
        {"rb6/8/4k3/8/p7/2KRBN2/8/8 w - - 0 1", 504, 37, 250},
        {"rb6/8/4k3/8/pp6/2KRBN2/8/8 w - - 0 1", 504, 37, 18},
        {"rb6/8/4k3/8/pp6/2KRBN2/8/8 w - - 0 1", 504, -37, -18},
        {"r7/8/4k3/8/pp6/2KRNN2/8/8 w - - 0 1", 504, 37, 500},
    };
    expectEndgame(cases, std::size(cases));
}

TEST(ThinEndgame, PawnsOnBothSides) {
    const EndgameCase cases[] = {
        {"8/p7/4k3/8/3P4/2KR4/8/8 w - - 0 1", 504, 0, 625},   // more pieces: a quarter more
        {"n7/p7/4k3/8/3P4/2KR4/8/8 w - - 0 1", 504, 0, 500},  // as many pieces
        {"q7/8/4k3/8/3P4/2KR4/8/8 w - - 0 1", 504, 0, 438},   // the defender's queen
        {"8/8/4k3/8/3P4/2KR4/8/8 w - - 0 1", 4, 0, 0},        // level stays level
    };
    expectEndgame(cases, std::size(cases));
}

TEST(ThinFortress, RookPawnsAndBlockades) {
    struct Case {
        const char* fen;
        int weak, strong;
        bool expected;
    };
    const Case cases[] = {
        // Rook pawns: the bishop does not cover the promotion square.
        {"7k/8/8/8/7P/2KB4/8/8 w - - 0 1", Black, White, true},
        {"7k/8/8/8/7P/2K1B3/8/8 w - - 0 1", Black, White, false},
        {"k7/8/8/P7/P7/2K5/8/3B4 w - - 0 1", Black, White, false},
        {"k7/8/8/P7/P7/2K5/8/4B3 w - - 0 1", Black, White, true},
        // Or the defending king is two moves nearer the corner, and nearer than the pawn.
        {"8/8/5k2/8/7P/2K5/8/8 w - - 0 1", Black, White, true},
        {"8/8/5k2/4K3/7P/8/8/8 w - - 0 1", Black, White, false},
        {"8/7P/5k2/8/8/2K5/8/8 w - - 0 1", Black, White, false},
        // Black's rook pawn, promoting on h1.
        {"8/8/2kb4/7p/8/8/8/7K w - - 0 1", White, Black, true},
        {"8/8/2k1b3/7p/8/8/8/7K w - - 0 1", White, Black, false},
        // A lone pawn: the king in front of it, or a bishop or queen diagonal.
        {"8/8/3k4/8/3P4/2K5/8/r7 w - - 0 1", Black, White, true},
        {"8/8/4k3/8/3P4/2K5/8/r7 w - - 0 1", Black, White, false},
        {"8/8/3k4/8/3P4/2K5/8/8 w - - 0 1", Black, White, false},  // no piece to hold it
        {"6k1/1b6/8/8/3P4/2KB4/8/8 w - - 0 1", Black, White, true},
        {"6k1/1r6/8/8/3P4/2KB4/8/8 w - - 0 1", Black, White, false},
        {"6k1/1b6/2n5/8/3P4/2KB4/8/8 w - - 0 1", Black, White, false},
        {"n7/8/3k4/8/3P4/2KBB3/8/8 w - - 0 1", Black, White, false},   // two bishops
        {"n7/8/3k4/3P4/3P4/2KB4/8/8 w - - 0 1", Black, White, false},  // two pawns
        {"8/8/8/3p4/3K4/8/8/3k3R b - - 0 1", White, Black, true},
        {"8/8/2K5/3p4/8/8/8/3k3R b - - 0 1", White, Black, false},
    };
    for (const Case& c : cases) {
        const Board& board = boardFromFen(c.fen);
        EXPECT_EQ(fortressDraw(board, c.weak, c.strong), c.expected) << c.fen;
    }
}

// Random placements of materials that reach the rules above: the mirrored
// position must give exactly the negated value.
TEST(ThinMirror, MirroredPositionsNegate) {
    struct Material {
        const char* white;
        const char* black;
    };
    const Material pawnless[] = {
        {"B", "N"},   {"RB", "R"}, {"RN", "R"},    {"Q", "R"},   {"BN", ""},   {"NN", ""},
        {"BB", ""},   {"Q", "N"},  {"RR", "Q"},    {"NNN", ""},  {"BBN", "R"}, {"NN", "Q"},
        {"RN", "RN"}, {"R", "R"},  {"NNBB", "QR"}, {"RBN", "R"}, {"QN", "R"},  {"NNN", "QR"},
    };
    const Material endgame[] = {
        {"RP", "R"},  {"RPP", "R"}, {"BPP", "B"},  {"NN", "PPP"}, {"BP", "N"},   {"NP", "B"},
        {"Q", "RPP"}, {"QN", "QP"}, {"QB", "QPP"}, {"R", "RP"},   {"RB", "RPP"}, {"RBN", "RBPP"},
        {"RP", "P"},  {"QP", "R"},  {"BP", ""},    {"P", "R"},    {"RPP", "RP"}, {"B", "PP"},
        {"Q", "P"},   {"BP", "BP"}, {"RPPP", "R"}, {"NPP", "N"},  {"RN", "RPP"}, {"NNP", "PP"},
    };

    // Kings apart, the men on free squares, pawns off the back ranks; either
    // colour may get either material.
    std::mt19937 random(20240601u);
    auto placeFen = [&](const Material& material) {
        std::array<char, 64> squares{};
        auto place = [&](char man, int low, int high) {
            int square;
            do square = low + int(random() % unsigned(high - low + 1));
            while (squares[square]);
            squares[square] = man;
            return square;
        };
        int whiteKing = place('K', 0, 63), blackKing;
        do {
            squares[blackKing = place('k', 0, 63)] = 0;
        } while (kingAttacks[whiteKing] & bit(blackKing));
        squares[blackKing] = 'k';
        bool swap = random() & 1;
        for (const char* c = swap ? material.black : material.white; *c; ++c)
            place(*c, *c == 'P' ? 8 : 0, *c == 'P' ? 55 : 63);
        for (const char* c = swap ? material.white : material.black; *c; ++c)
            place(char(std::tolower(*c)), *c == 'P' ? 8 : 0, *c == 'P' ? 55 : 63);
        return squaresFen(squares, random() & 1);
    };

    static Board board, mirrored;
    int checked = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string fen = placeFen(pawnless[i % std::size(pawnless)]);
        if (!parseInto(board, fen)) continue;
        ASSERT_TRUE(parseInto(mirrored, mirrorFen(fen))) << fen;
        int32_t material = board.white.material - board.black.material;
        ASSERT_EQ(evaluatePawnless(board, material), -evaluatePawnless(mirrored, -material)) << fen;
        ++checked;
    }
    EXPECT_GT(checked, 2000);

    checked = 0;
    for (int i = 0; i < 6000; ++i) {
        std::string fen = placeFen(endgame[i % std::size(endgame)]);
        if (!parseInto(board, fen)) continue;
        ASSERT_TRUE(parseInto(mirrored, mirrorFen(fen))) << fen;
        int score = int(random() % 1201) - 600;
        int structure = int(random() % 201) - 100;
        PawnHashEntry entry = entryWithScore(structure), flipped = entryWithScore(-structure);
        ASSERT_EQ(scaleEndgame(board, entry, score), -scaleEndgame(mirrored, flipped, -score))
            << fen << " score " << score << " structure " << structure;
        for (int weak = Black; weak <= White; ++weak)
            ASSERT_EQ(fortressDraw(board, weak, weak ^ 1), fortressDraw(mirrored, weak ^ 1, weak))
                << fen;
        ++checked;
    }
    EXPECT_GT(checked, 4000);
}
