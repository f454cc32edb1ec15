// Slider look-ups through the rotated sets against plain ray walks, and the
// attack queries' edge cases (en passant, x-rays).
#include "board/attacks.h"

#include <random>

#include "board/makemove.h"
#include "board/tables.h"
#include "test_support.h"

namespace {

// (rank, file) steps: the rook's four, then the bishop's four.
constexpr int steps[8][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};

// Squares reached from square along steps[first .. first + 3], each ray up to
// and including its first occupied square.
Bitboard walk(int square, Bitboard occupied, int first) {
    Bitboard set = 0;
    for (int i = first; i < first + 4; ++i) {
        int r = rankOf(square) + steps[i][0], f = fileOf(square) + steps[i][1];
        for (; r >= 0 && r < 8 && f >= 0 && f < 8; r += steps[i][0], f += steps[i][1]) {
            set |= bit(8 * r + f);
            if (occupied & bit(8 * r + f)) break;
        }
    }
    return set;
}

}  // namespace

TEST(Attacks, SliderLookUpsMatchRayWalks) {
    std::mt19937_64 random(7);
    Board board{};
    for (int trial = 0; trial < 4000; ++trial) {
        // Sparse and dense occupancies alike; the empty board first.
        Bitboard occupied = trial ? random() & random() & (trial & 1 ? ~0ull : random()) : 0;
        board.occupied = occupied;
        board.occupiedFiles = board.occupiedAntiDiagonals = board.occupiedDiagonals = 0;
        for (Bitboard men = occupied; men;) {
            int s = popLowest(men);
            board.occupiedFiles |= fileRotationMask[s];
            board.occupiedAntiDiagonals |= antiDiagRotationMask[s];
            board.occupiedDiagonals |= diagRotationMask[s];
        }
        for (int s = 0; s < 64; ++s) {
            ASSERT_EQ(rookAttacksOf(board, s), walk(s, occupied, 0)) << s;
            ASSERT_EQ(bishopAttacksOf(board, s), walk(s, occupied, 4)) << s;
        }
    }
}

TEST(Attacks, Queries) {
    // Both pawns leave the rank: the rook on a5 would see the king on h5, so
    // there is no en passant.
    Board& board = boardFromFen("7k/3p4/8/r3P2K/8/8/8/8 b - - 0 1");
    play(board, {"d7d5"});
    ASSERT_EQ(board.epFile, 4);
    EXPECT_FALSE(isEnPassantLegal(board, E5, D6));

    // attacksFrom of no piece; x-rays are no attacks.
    Board& xray = boardFromFen("4k3/8/8/8/8/8/8/R1R1K3 w - - 0 1");
    EXPECT_EQ(attacksFrom(xray, NoPiece, White, A1), 0ull);
    EXPECT_EQ(attackersBySide(xray, xray.white, D1), bit(C1) | bit(E1));
    EXPECT_TRUE(attackedByWhite(xray, B1));
    EXPECT_FALSE(attackedByBlack(xray, B1));
    EXPECT_EQ(attackersOfSquare(xray, D8), bit(E8));
    EXPECT_EQ(blockersOfSquare(xray, xray.white, C8), bit(C1));
}
