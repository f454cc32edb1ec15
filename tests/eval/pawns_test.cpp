// Pawn structure: the flags of single pawns, whole entries (structure flags,
// passed and fixed sets), the pawn table, and the colour symmetry.
#include "eval/pawns.h"

#include "search/tt.h"
#include "test_support.h"

// Positions of random games, from evaluate_test.cpp.
std::vector<std::string> gamePositions();

namespace {

TEST(PawnFlags, PerPawnFlags) {
    struct Case {
        const char* fen;
        int square, flags;
    };
    // clang-format off
    const Case cases[] = {
        // c2 lags behind d3 with nothing able to guard c3.
        {"4k3/2p5/8/8/8/3P4/2P5/4K3 w - - 0 1", C2, PawnBackward},
        {"4k3/2p5/8/8/8/3P4/2P5/4K3 w - - 0 1", D3, PawnDefended | PawnCandidate},
        {"4k3/2p5/8/8/8/3P4/1PP5/4K3 w - - 0 1", C2, 0},  // b2 beside it guards c3
        {"4k3/8/8/4p3/4P3/8/4P3/4K3 w - - 0 1", E4, PawnBlocked | PawnDoubled | PawnIsolatedOrWeak},
        {"4k3/8/8/3PP3/8/8/8/4K3 w - - 0 1", D5, PawnPassed | PawnPassedDuo},
        {"4k3/8/8/3P4/2P5/8/8/4K3 w - - 0 1", C4, PawnPassed | PawnBackward},  // base of a chain
        // The advance square under enemy pawn fire, unless an own pawn guards it.
        {"4k3/8/3p4/8/2P1P3/8/8/4K3 w - - 0 1", C4, PawnAdvanceAttacked | PawnCandidate | PawnIsolatedOrWeak},
        {"4k3/8/3p4/8/1PP1P3/8/8/4K3 w - - 0 1", C4, PawnCandidate},
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", E4, PawnCandidate | PawnIsolatedOrWeak},  // attacked: not passed
        // Weak: the only pawn behind on the next file is cut off by an enemy
        // pawn; with an own pawn met first it is not.
        {"4k3/8/8/4P3/3p4/8/3P4/4K3 w - - 0 1", E5, PawnPassed | PawnIsolatedOrWeak},
        {"4k3/8/8/4P3/8/3P4/8/4K3 w - - 0 1", E5, PawnPassed},
        {"8/1P3k2/P7/8/8/8/8/4K3 w - - 0 1", A6, PawnPassed | PawnBackward},  // far advanced
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(pawnFlagsOf(boardFromFen(c.fen), c.square), c.flags) << c.fen << " " << c.square;
}

// Whole entries: structure flags, passed and fixed sets. Their scores are
// the bench's signature and the colour mirror's business, not restated here.
TEST(PawnStructure, Entries) {
    constexpr int Any = -1;
    constexpr Bitboard AnySet = ~0ull;  // set not checked
    struct Case {
        const char* fen;
        int flags;
        Bitboard passed, fixed;
    };
    // clang-format off
    const Case cases[] = {
        {"4k3/8/8/3PP3/8/8/8/4K3 w - - 0 1", 0, bit(D5) | bit(E5), 0},
        {"4k3/8/8/4p3/4P3/8/4P3/4K3 w - - 0 1", 0, 0, bit(E4) | bit(E5)},
        // Two far passers: split unless too close or the left one slow.
        {"4k3/8/P6P/8/8/8/8/4K3 w - - 0 1", WhiteSplitPassers, AnySet, AnySet},
        {"4k3/8/P1P5/8/8/8/8/4K3 w - - 0 1", 0, AnySet, AnySet},
        {"4k3/8/P2P4/8/8/8/8/4K3 w - - 0 1", WhiteSplitPassers, AnySet, AnySet},
        {"4k3/8/2P5/P7/8/8/8/4K3 w - - 0 1", 0, AnySet, AnySet},
        {"4k3/5ppp/8/8/P7/8/5PPP/4K3 w - - 0 1", WhiteOutsidePasser, AnySet, AnySet},  // far from the majority
        {"4k3/p7/8/8/2P5/8/8/4K3 w - - 0 1", 0, AnySet, AnySet},
        // Blocked chains on a, c, e, g: locked; on every file with no capture
        // possible: fully locked; with a capture possible: neither.
        {"4k3/8/8/p1p1p1p1/P1P1P1P1/8/8/4K3 w - - 0 1", PawnsLocked, AnySet, AnySet},
        {"4k3/8/8/p1p1p1p1/PpPpPpPp/1P1P1P1P/8/4K3 w - - 0 1", PawnsLocked | PawnsFullyLocked, AnySet, AnySet},
        {"4k3/8/8/1pp5/1PP5/8/8/4K3 w - - 0 1", 0, AnySet, AnySet},
        // Fixed: d3 could still guard e4, but d2 behind its own pawn is stuck.
        {"4k3/8/8/4p3/4P3/3P4/3P4/4K3 w - - 0 1", Any, 0, bit(E5) | bit(D2)},
        // e5 stands diagonally in front of d4, which can no longer advance.
        {"4k3/8/4p3/3pP3/3P4/8/8/4K3 w - - 0 1", Any, 0, bit(D4) | bit(E5) | bit(D5) | bit(E6)},
        {"4k3/8/8/4pp2/4P3/8/8/4K3 w - - 0 1", Any, 0, 0},  // a blocked pawn under attack
    };
    // clang-format on
    for (const Case& c : cases) {
        const PawnHashEntry& entry = probePawnStructure(testEval().pawns, boardFromFen(c.fen));
        EXPECT_TRUE(c.flags == Any || entry.flags == c.flags) << c.fen << ": " << int(entry.flags);
        EXPECT_TRUE(c.passed == AnySet || entry.passed == c.passed) << c.fen;
        EXPECT_TRUE(c.fixed == AnySet || entry.fixed == c.fixed) << c.fen;
    }
}

// A hit returns the stored entry untouched but still writes the files; a
// cleared table rebuilds it.
TEST(PawnTable, HitKeepsEntryAndWritesFiles) {
    Board& board = boardFromFen("4k3/8/8/3PP3/8/8/8/4K3 w - - 0 1");
    PawnHashEntry& first = probePawnStructure(testEval().pawns, board);
    const int16_t score = first.score;
    first.score = 1234;
    board.white.pawnlessFiles = board.black.pawnlessFiles = 0;
    EXPECT_EQ(&probePawnStructure(testEval().pawns, board), &first);
    EXPECT_EQ(first.score, 1234);
    EXPECT_EQ(board.white.pawnlessFiles, 0xE7E7E7E7E7E7E7E7ull);
    EXPECT_EQ(board.black.pawnlessFiles, ~0ull);
    clearSearchMemory(engine.search);
    EXPECT_EQ(probePawnStructure(testEval().pawns, board).score, score);
}

// The colour-flipped position has the negated score, the mirrored sets, the
// exchanged flags and the mirrored per-pawn flags.
TEST(PawnStructure, ColourMirror) {
    auto swapFlags = [](int flags) {  // White's outside and split passers become Black's
        int white = WhiteOutsidePasser | WhiteSplitPassers, black = white << 1;
        return (flags & ~(white | black)) | (flags & white) << 1 | (flags & black) >> 1;
    };
    static Board board, flipped;
    char message[FenMessageSize];
    int withFlags = 0;
    for (const std::string& fen : gamePositions()) {
        if (!parseFen(board, engine.game.stack, fen.c_str(), message)) continue;  // nine pawns
        if (!(board.white.pawns | board.black.pawns)) continue;
        ASSERT_TRUE(parseFen(flipped, engine.game.stack, mirrorFen(fen).c_str(), message));
        const PawnHashEntry original = probePawnStructure(testEval().pawns, board);
        const PawnHashEntry& entry = probePawnStructure(testEval().pawns, flipped);
        withFlags += original.flags != 0;
        EXPECT_EQ(entry.score, -original.score) << fen;
        EXPECT_EQ(entry.passed, __builtin_bswap64(original.passed)) << fen;  // ranks flipped
        EXPECT_EQ(entry.fixed, __builtin_bswap64(original.fixed)) << fen;
        EXPECT_EQ(entry.flags, swapFlags(original.flags)) << fen;
        EXPECT_EQ(flipped.white.pawnlessFiles, board.black.pawnlessFiles) << fen;
        EXPECT_EQ(flipped.black.pawnlessFiles, board.white.pawnlessFiles) << fen;
        for (Bitboard pawns = board.white.pawns | board.black.pawns; pawns;) {
            int square = popLowest(pawns);
            EXPECT_EQ(pawnFlagsOf(flipped, square ^ 56), pawnFlagsOf(board, square)) << fen;
        }
    }
    EXPECT_GT(withFlags, 20);  // the sample reaches the structure flags
}

}  // namespace
