// Slider look-ups through the rotated sets against plain ray walks, the
// attack queries' edge cases (no piece, x-rays; perft counts the pinned
// en-passant captures), and the bit helpers.
#include "board/attacks.h"

#include <random>

#include "test_support.h"

TEST(Attacks, SliderLookUpsMatchRayWalks) {
    // (rank, file) steps: the rook's four, then the bishop's four.
    constexpr int steps[8][2] = {{0, 1}, {0, -1},  {1, 0},  {-1, 0},
                                 {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
    // Each ray up to and including its first occupied square.
    auto walk = [&](int square, Bitboard occupied, int first) {
        Bitboard set = 0;
        for (int i = first; i < first + 4; ++i)
            for (int r = rankOf(square) + steps[i][0], f = fileOf(square) + steps[i][1];
                 r >= 0 && r < 8 && f >= 0 && f < 8; r += steps[i][0], f += steps[i][1]) {
                set |= bit(8 * r + f);
                if (occupied & bit(8 * r + f)) break;
            }
        return set;
    };
    std::mt19937_64 random(7);
    for (int trial = 0; trial < 4000; ++trial) {
        // Sparse and dense occupancies alike; the empty board first.
        Board board{};
        board.occupied = trial ? random() & random() & (trial & 1 ? ~0ull : random()) : 0;
        for (Bitboard men = board.occupied; men;) toggleRotated(board, popLowest(men));
        for (int s = 0; s < 64; ++s) {
            ASSERT_EQ(rookAttacksOf(board, s), walk(s, board.occupied, 0)) << s;
            ASSERT_EQ(bishopAttacksOf(board, s), walk(s, board.occupied, 4)) << s;
        }
    }
}

TEST(Attacks, Queries) {
    // attacksFrom of no piece; x-rays are no attacks.
    Board& xray = boardFromFen("4k3/8/8/8/8/8/8/R1R1K3 w - - 0 1");
    EXPECT_EQ(attacksFrom(xray, NoPiece, White, A1), 0ull);
    EXPECT_EQ(attackersBySide(xray, xray.white, D1), bit(C1) | bit(E1));
    EXPECT_TRUE(attackedByWhite(xray, B1));
    EXPECT_FALSE(attackedByBlack(xray, B1));
    EXPECT_EQ(attackersOfSquare(xray, D8), bit(E8));
    EXPECT_EQ(blockersOfSquare(xray, xray.white, C8), bit(C1));
}

// The bit helpers against a plain loop, on sets that fill either half, both
// or neither: the 32-bit and software paths split the word there.
TEST(Bits, CountsAndScans) {
    const Bitboard sets[] = {0,
                             1,
                             Bitboard(1) << 63,
                             0xFFFFFFFFull,
                             0xFFFFFFFF00000000ull,
                             ~Bitboard(0),
                             0x8000000100000000ull,
                             0x00000000A5A5A5A5ull,
                             0x5A5A5A5A00000001ull,
                             0x0123456789ABCDEFull};
    for (const Bitboard set : sets) {
        int count = 0, lowest = 64, highest = -1;
        for (int square = 0; square < 64; ++square) {
            if (!(set & bit(square))) continue;
            ++count;
            if (lowest == 64) lowest = square;
            highest = square;
        }
        EXPECT_EQ(popCount(set), count) << std::hex << set;
        EXPECT_EQ(lowestSquare(set), lowest) << std::hex << set;
        EXPECT_EQ(highestSquare(set), highest) << std::hex << set;
    }
}
