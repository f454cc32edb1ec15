// The king-against-pawn race table against a direct simulation of the race on
// an empty board, for every pawn, king and side to move.
#include "board/pawnrace.h"

#include "test_support.h"

// The pawn walks to promotion (double step from its second rank). After m pawn
// moves the king has made m (pawn first) or m + 1 (king first); it catches the
// pawn when by then it reaches the pawn's square or any square still ahead.
static bool pawnPromotes(int colour, int pawn, int king, bool pawnFirst) {
    int step = colour == White ? 8 : -8, rank = colour == White ? rankOf(pawn) : 7 - rankOf(pawn);
    for (int m = pawnFirst; m <= (rank == 1 ? 5 : 7 - rank); ++m)
        for (int r = rank + m + (rank == 1 && m > 0); r <= 7; ++r)
            if (squareDistance(king, pawn + step * (r - rank)) <= m + !pawnFirst) return false;
    return true;
}

TEST(PawnRace, MatchesDirectRaceAndSquareRule) {
    for (int pawn = A2; pawn <= H7; ++pawn)
        for (int king = 0; king < 64; ++king) {
            int expected = pawnPromotes(White, pawn, king, false) << 4 |
                           pawnPromotes(White, pawn, king, true) << 5 |
                           pawnPromotes(Black, pawn, king, true) << 6 |
                           pawnPromotes(Black, pawn, king, false) << 7;
            ASSERT_EQ(pawnRace[pawn - 8][king] & 0xF0, expected) << pawn << " " << king;
        }
    // The square rule's bits, worked by hand: a5 against a king on e4 wins only
    // moving first, and so does a4 of Black's against e5; the king next to the
    // pawn moving first takes it.
    EXPECT_EQ(pawnRace[A5 - 8][E4] & 0x33, 0x22);
    EXPECT_EQ(pawnRace[A4 - 8][E5] & 0xCC, 0x44);
    EXPECT_EQ(pawnRace[H6 - 8][A1] & 0x03, 0x03);
    EXPECT_EQ(pawnRace[E2 - 8][D1] & 0x03, 0x02);
    EXPECT_TRUE(pawnRace[E2 - 8][A2] & 32);
    EXPECT_FALSE(pawnRace[E2 - 8][B4] & 16);
}
