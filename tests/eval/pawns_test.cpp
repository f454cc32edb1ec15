// Pawn flags, the flag table, structure flags and fixed pawns, the pawn table,
// and the colour symmetry of the whole structure over many positions.
#include "eval/pawns.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <random>
#include <sstream>

#include "search/tt.h"
#include "test_support.h"

// Positions with pawns for the symmetry tests: the reference positions of the
// move-generator tests, then random legal placements. Shared with the passed-pawn tests.
std::vector<std::string> pawnTestPositions() {
    static Board check;
    char message[FenMessageSize];
    auto valid = [&](const std::string& fen) {
        return parseFen(check, engine.game.stack, fen.c_str(), message) == 1;
    };
    std::vector<std::string> positions;
    std::ifstream file(VOSTREL_TEST_DATA "/perft.txt");
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::string fen = line.substr(0, line.find(';'));
        if (fen.substr(0, fen.find(' ')).find_first_of("pP") != std::string::npos && valid(fen)) {
            positions.push_back(fen);
        }
    }
    std::mt19937 random(20240611);
    while (positions.size() < 700) {
        char squares[64];
        std::fill(squares, squares + 64, '.');
        auto place = [&](char piece, int low, int high) {
            for (;;) {
                int square = low + int(random() % unsigned(high - low));
                if (squares[square] == '.') {
                    squares[square] = piece;
                    return;
                }
            }
        };
        // Thirds: many pawns; pawns with pieces; a few pawns, as in endings.
        const int kind = int(positions.size() % 3);
        const unsigned most = kind == 2 ? 3 : 9;
        const int whitePawns = int(random() % most), blackPawns = int(random() % most);
        if (whitePawns + blackPawns == 0) continue;
        for (int i = 0; i < whitePawns; ++i) place('P', 8, 56);
        for (int i = 0; i < blackPawns; ++i) place('p', 8, 56);
        place('K', 0, 64);
        place('k', 0, 64);
        if (kind == 1) {
            const char* pieces = "NBRQnbrq";
            for (int i = int(random() % 5); i > 0; --i) place(pieces[random() % 8], 0, 64);
        }
        std::string fen;
        for (int rank = 7; rank >= 0; --rank) {
            int run = 0;
            for (int file = 0; file < 8; ++file) {
                char c = squares[8 * rank + file];
                if (c == '.') {
                    ++run;
                    continue;
                }
                if (run) fen += char('0' + run);
                run = 0;
                fen += c;
            }
            if (run) fen += char('0' + run);
            if (rank) fen += '/';
        }
        fen += random() % 2 ? " w - - 0 1" : " b - - 0 1";
        if (valid(fen)) positions.push_back(fen);
    }
    return positions;
}

namespace {

struct FlagCase {
    const char* fen;
    int square;
    int flags;
};

// White c2 lags behind d3 with nothing able to guard c3; b2 beside it takes
// that away. Flags of each pawn are listed, Black's from Black's side.
TEST(PawnFlags, PerPawnFlags) {
    const FlagCase cases[] = {
        // Backward on the second rank, its defendee a candidate; isolated c7.
        {"4k3/2p5/8/8/8/3P4/2P5/4K3 w - - 0 1", C2, PawnBackward},
        {"4k3/2p5/8/8/8/3P4/2P5/4K3 w - - 0 1", D3, PawnDefended | PawnCandidate},
        {"4k3/2p5/8/8/8/3P4/2P5/4K3 w - - 0 1", C7, PawnIsolatedOrWeak},
        // b2 beside c2 guards c3: c2 is no longer backward.
        {"4k3/2p5/8/8/8/3P4/1PP5/4K3 w - - 0 1", C2, 0},
        {"4k3/2p5/8/8/8/3P4/1PP5/4K3 w - - 0 1", B2, PawnCandidate},
        // Doubled isolated pawns, the front one blocked; an isolated pawn is
        // never backward.
        {"4k3/8/8/4p3/4P3/8/4P3/4K3 w - - 0 1", E4, PawnBlocked | PawnDoubled | PawnIsolatedOrWeak},
        {"4k3/8/8/4p3/4P3/8/4P3/4K3 w - - 0 1", E2, PawnDoubled | PawnIsolatedOrWeak},
        {"4k3/8/8/4p3/4P3/8/4P3/4K3 w - - 0 1", E5, PawnBlocked | PawnIsolatedOrWeak},
        // A passed duo.
        {"4k3/8/8/3PP3/8/8/8/4K3 w - - 0 1", D5, PawnPassed | PawnPassedDuo},
        // Defended passer; the chain's base lags behind it.
        {"4k3/8/8/3P4/2P5/8/8/4K3 w - - 0 1", D5, PawnPassed | PawnDefended},
        {"4k3/8/8/3P4/2P5/8/8/4K3 w - - 0 1", C4, PawnPassed | PawnBackward},
        // Advance squares under enemy pawn fire on both sides.
        {"4k3/8/3p4/8/2P1P3/8/8/4K3 w - - 0 1", C4,
         PawnAdvanceAttacked | PawnCandidate | PawnIsolatedOrWeak},
        {"4k3/8/3p4/8/2P1P3/8/8/4K3 w - - 0 1", D6,
         PawnAdvanceAttacked | PawnCandidate | PawnIsolatedOrWeak},
        // An own pawn guarding the advance square clears "advance attacked";
        // a neighbour on the same rank rules out weak.
        {"4k3/8/3p4/8/1PP1P3/8/8/4K3 w - - 0 1", C4, PawnCandidate},
        // A pawn attacked by an enemy pawn is not passed.
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", E4, PawnCandidate | PawnIsolatedOrWeak},
        // Weak: the only pawn behind on the neighbouring file is cut off by an
        // enemy pawn; with an own pawn met first it is not weak.
        {"4k3/8/8/4P3/3p4/8/3P4/4K3 w - - 0 1", E5, PawnPassed | PawnIsolatedOrWeak},
        {"4k3/8/8/4P3/3p4/8/3P4/4K3 w - - 0 1", D2, 0},
        {"4k3/8/8/4P3/8/3P4/8/4K3 w - - 0 1", E5, PawnPassed},
        {"4k3/8/8/2p5/8/1P6/P7/4K3 w - - 0 1", B3,
         PawnCandidate | PawnAdvanceAttacked | PawnDefended},
        {"4k3/8/8/2p5/8/1P6/P7/4K3 w - - 0 1", A2, PawnBackward | PawnPassed},
        {"4k3/8/8/1p6/8/2P5/1P6/4K3 w - - 0 1", B2, PawnBackward},
        // Backward and candidate with its advance square attacked; the pawn it
        // defends is blocked.
        {"4k3/8/8/8/1p6/1P6/P7/4K3 w - - 0 1", A2,
         PawnBackward | PawnCandidate | PawnAdvanceAttacked},
        {"4k3/8/8/8/1p6/1P6/P7/4K3 w - - 0 1", B3, PawnBlocked | PawnDefended},
        // Far advanced: a passer lagging behind its neighbour is backward.
        {"8/1P3k2/P7/8/8/8/8/4K3 w - - 0 1", A6, PawnPassed | PawnBackward},
        {"8/1P3k2/P7/8/8/8/8/4K3 w - - 0 1", B7, PawnPassed | PawnDefended},
    };
    for (const FlagCase& c : cases) {
        Board& board = boardFromFen(c.fen);
        EXPECT_EQ(pawnFlagsOf(board, c.square), c.flags) << c.fen << " square " << c.square;
    }
    EXPECT_EQ(pawnFlagsOf(boardFromFen("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1"), E4), 0);
}

TEST(PawnFlags, FlagTableEntries) {
    struct Entry {
        int rank, flags, value;
    } entries[] = {
        {4, PawnPassed | PawnDefended | PawnPassedDuo, 10 + 52 + 34},
        {6, PawnPassed | PawnDefended | PawnPassedDuo, 10 + 380 + 164},
        {6, PawnPassed | PawnBlocked, 14 + 20},
        {2, PawnIsolatedOrWeak | PawnDoubled, -2 - 2},
        {2, PawnIsolatedOrWeak | PawnCandidate, -2 - 25},
        {2, PawnIsolatedOrWeak, -2 - 11},
        {3, PawnBackward | PawnCandidate | PawnAdvanceAttacked, -5 - 15},
        {5, PawnCandidate | PawnDefended | PawnBlocked, 10 + 10 + 10},
        {5, PawnCandidate, 5},
        {1, PawnDefended | PawnBlocked, 10 - 5},
        {4, PawnDoubled, -2 - 8},
        {5, PawnDoubled | PawnDefended, 8 - 8},
        {4, PawnPassed | PawnDoubled, -2},
        {0, 0, 0},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(pawnFlagTable[e.rank][e.flags], e.value) << e.rank << " " << e.flags;
    }
}

// Whole entries computed by hand: count bonus, flag table, square table and
// the doubled-isolated file penalty.
TEST(PawnStructure, ScoresAndFlags) {
    constexpr int AnyScore = INT32_MIN;  // only the flags are checked
    struct Case {
        const char* fen;
        int score;
        int flags;
    } cases[] = {
        // Lone e2: passer count 2, isolated -2, square -10.
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", -10, 0},
        // Passed duo d5 e5: 30 + 2 x (52 + 6).
        {"4k3/8/8/3PP3/8/8/8/4K3 w - - 0 1", 146, 0},
        // c2 backward (0), d3 defended candidate (10 + 4); c7 isolated (-13).
        {"4k3/2p5/8/8/8/3P4/2P5/4K3 w - - 0 1", 27, 0},
        // Doubled isolated e-pawns against a blocking e5: -42 against -1.
        {"4k3/8/8/4p3/4P3/8/4P3/4K3 w - - 0 1", -41, 0},
        // Two far passers on the sixth: split (flag 64); count 30, sixth-rank
        // pair 180, wings 20, each pawn isolated -2, passed 10, square 10.
        {"4k3/8/P6P/8/8/8/8/4K3 w - - 0 1", 30 + 180 + 20 + 2 * (-2 + 10 + 10), WhiteSplitPassers},
        // Too close together, or the left one too slow: not split.
        {"4k3/8/P1P5/8/8/8/8/4K3 w - - 0 1", AnyScore, 0},
        {"4k3/8/2P5/P7/8/8/8/4K3 w - - 0 1", AnyScore, 0},
        {"4k3/8/P2P4/8/8/8/8/4K3 w - - 0 1", AnyScore, WhiteSplitPassers},
        {"4k3/8/P7/3P4/8/8/8/4K3 w - - 0 1", AnyScore, WhiteSplitPassers},
        // An a-pawn far from Black's king-side majority: outside passer.
        {"4k3/5ppp/8/8/P7/8/5PPP/4K3 w - - 0 1", AnyScore, WhiteOutsidePasser},
        {"4k3/p7/8/8/2P5/8/8/4K3 w - - 0 1", AnyScore, 0},
        {"4k3/5ppp/8/8/8/8/P7/4K3 w - - 0 1", AnyScore, WhiteOutsidePasser | BlackOutsidePasser},
        // Chains blocked on a, c, e, g only: locked. On every file with no
        // capture possible: fully locked.
        {"4k3/8/8/p1p1p1p1/P1P1P1P1/8/8/4K3 w - - 0 1", AnyScore, PawnsLocked},
        {"4k3/8/8/p1p1p1p1/PpPpPpPp/1P1P1P1P/8/4K3 w - - 0 1", AnyScore,
         PawnsLocked | PawnsFullyLocked},
        // A capture possible, or a pawn free to advance: not locked.
        {"4k3/8/8/1pp5/1PP5/8/8/4K3 w - - 0 1", AnyScore, 0},
        {"4k3/8/8/2p5/1PP5/8/8/4K3 w - - 0 1", AnyScore, 0},
        // A single blocked pair.
        {"4k3/8/8/4p3/4P3/8/8/4K3 w - - 0 1", AnyScore, PawnsLocked},
    };
    for (const Case& c : cases) {
        Board& board = boardFromFen(c.fen);
        const PawnHashEntry& entry = probePawnStructure(board);
        if (c.score != AnyScore) {
            EXPECT_EQ(entry.score, c.score) << c.fen;
        }
        EXPECT_EQ(entry.flags, c.flags) << c.fen;
        EXPECT_EQ(board.evalScratch, &entry);
    }
}

TEST(PawnStructure, PassedAndFixedSets) {
    struct Case {
        const char* fen;
        Bitboard passed, fixed;
    } cases[] = {
        {"4k3/8/8/3P4/2P5/8/8/4K3 w - - 0 1", bit(D5) | bit(C4), 0},
        {"4k3/2p5/8/8/8/3P4/2P5/4K3 w - - 0 1", 0, 0},
        // Both blocked pawns of the e-file are fixed; e2 behind can still move.
        {"4k3/8/8/4p3/4P3/8/4P3/4K3 w - - 0 1", 0, bit(E4) | bit(E5)},
        // d3 could still guard e4; the pawn behind its own pawn is fixed.
        {"4k3/8/8/4p3/4P3/3P4/3P4/4K3 w - - 0 1", 0, bit(E5) | bit(D2)},
        // Stopped by two enemy pawns rather than blocked.
        {"4k3/8/8/3p1p2/8/4P3/8/4K3 w - - 0 1", 0, bit(E3)},
        // e5 stands diagonally in front of d4, which can no longer advance.
        {"4k3/8/4p3/3pP3/3P4/8/8/4K3 w - - 0 1", 0, bit(D4) | bit(E5) | bit(D5) | bit(E6)},
        // A blocked pawn under attack is not fixed, nor one a neighbour guards.
        {"4k3/8/8/4pp2/4P3/8/8/4K3 w - - 0 1", 0, 0},
    };
    for (const Case& c : cases) {
        Board& board = boardFromFen(c.fen);
        const PawnHashEntry& entry = probePawnStructure(board);
        EXPECT_EQ(entry.passed, c.passed) << c.fen;
        EXPECT_EQ(entry.fixed, c.fixed) << c.fen;
    }
}

TEST(PawnTable, HitKeepsEntryAndWritesFiles) {
    Board& board = boardFromFen("4k3/8/8/3PP3/8/8/8/4K3 w - - 0 1");
    PawnHashEntry& first = probePawnStructure(board);
    EXPECT_EQ(first.check, uint32_t(board.pawnHashKey));
    EXPECT_EQ(first.filesWithoutWhitePawns, 0xE7);
    EXPECT_EQ(first.filesWithoutBlackPawns, 0xFF);
    const int16_t score = first.score;

    // A hit returns the stored entry untouched and still writes the files.
    first.score = 1234;
    board.white.pawnlessFiles = board.black.pawnlessFiles = 0;
    board.evalScratch = nullptr;
    PawnHashEntry& second = probePawnStructure(board);
    EXPECT_EQ(&second, &first);
    EXPECT_EQ(second.score, 1234);
    EXPECT_EQ(board.evalScratch, &second);
    EXPECT_EQ(board.white.pawnlessFiles, 0xE7E7E7E7E7E7E7E7ull);
    EXPECT_EQ(board.black.pawnlessFiles, ~0ull);

    // After clearing, the slot is rebuilt.
    clearTables();
    EXPECT_EQ(probePawnStructure(board).score, score);
}

// The colour-flipped position has the negated score, the mirrored sets, the
// exchanged flags and the mirrored per-pawn flags.
TEST(PawnStructure, ColourMirror) {
    auto mirrorSet = [](Bitboard set) {
        Bitboard flipped = 0;
        for (int rank = 0; rank < 8; ++rank)
            flipped |= ((set >> 8 * rank) & 0xFF) << 8 * (7 - rank);
        return flipped;
    };
    auto swapFlags = [](int flags) {
        return (flags & (PawnsLocked | PawnsFullyLocked)) | ((flags & WhiteOutsidePasser) << 1) |
               ((flags & BlackOutsidePasser) >> 1) | ((flags & WhiteSplitPassers) << 1) |
               ((flags & BlackSplitPassers) >> 1);
    };
    int withFlags = 0;
    for (const std::string& fen : pawnTestPositions()) {
        Board& board = boardFromFen(fen.c_str());
        const PawnHashEntry original = probePawnStructure(board);
        const Bitboard whiteFiles = board.white.pawnlessFiles;
        const Bitboard blackFiles = board.black.pawnlessFiles;
        int pawnFlags[64];
        for (int square = 0; square < 64; ++square) pawnFlags[square] = pawnFlagsOf(board, square);
        withFlags += original.flags != 0;

        const std::string mirror = mirrorFen(fen);
        Board& flipped = boardFromFen(mirror.c_str());
        const PawnHashEntry& entry = probePawnStructure(flipped);
        EXPECT_EQ(entry.score, -original.score) << fen;
        EXPECT_EQ(entry.passed, mirrorSet(original.passed)) << fen;
        EXPECT_EQ(entry.fixed, mirrorSet(original.fixed)) << fen;
        EXPECT_EQ(entry.flags, swapFlags(original.flags)) << fen;
        EXPECT_EQ(flipped.white.pawnlessFiles, blackFiles) << fen;
        EXPECT_EQ(flipped.black.pawnlessFiles, whiteFiles) << fen;
        for (int square = 0; square < 64; ++square) {
            EXPECT_EQ(pawnFlagsOf(flipped, square ^ 56), pawnFlags[square]) << fen << " " << square;
        }
    }
    EXPECT_GT(withFlags, 20);  // the sample reaches the structure flags
}

}  // namespace
