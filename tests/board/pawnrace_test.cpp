// The king-against-pawn race table against the square rule and a direct
// simulation of the race on an empty board, for every pawn, king and side to move.
#include "board/pawnrace.h"

#include "test_support.h"

namespace {

// The square rule in the pawn's own geometry: t moves to promote (5 from the
// second rank, for the double step), d king steps to the promotion square.
bool squareRule(int colour, int pawn, int king, bool pawnToMove) {
    int rank = colour == White ? rankOf(pawn) : 7 - rankOf(pawn);
    int t = rank == 1 ? 5 : 7 - rank;
    int d = squareDistance(king, (colour == White ? 56 : 0) + fileOf(pawn));
    return pawnToMove ? t < d : squareDistance(king, pawn) != 1 && t < d - 1;
}

// The race itself: the pawn walks to promotion (double step from its second
// rank). After m pawn moves the king has made m (pawn first) or m + 1 (king
// first); it catches the pawn when by then it reaches the pawn's square or
// any square still ahead of it (king steps on an empty board: the distance).
bool pawnPromotes(int colour, int pawn, int king, bool pawnFirst) {
    int step = colour == White ? 8 : -8, rank = colour == White ? rankOf(pawn) : 7 - rankOf(pawn);
    int moves = rank == 1 ? 5 : 7 - rank;
    for (int m = pawnFirst; m <= moves; ++m)
        for (int r = rank + m + (rank == 1 && m > 0); r <= 7; ++r)
            if (squareDistance(king, pawn + step * (r - rank)) <= m + !pawnFirst) return false;
    return true;
}

}  // namespace

TEST(PawnRace, MatchesSquareRuleAndDirectRace) {
    for (int pawn = A2; pawn <= H7; ++pawn)
        for (int king = 0; king < 64; ++king) {
            int expected = squareRule(White, pawn, king, false) << 0 |
                           squareRule(White, pawn, king, true) << 1 |
                           squareRule(Black, pawn, king, true) << 2 |
                           squareRule(Black, pawn, king, false) << 3 |
                           pawnPromotes(White, pawn, king, false) << 4 |
                           pawnPromotes(White, pawn, king, true) << 5 |
                           pawnPromotes(Black, pawn, king, true) << 6 |
                           pawnPromotes(Black, pawn, king, false) << 7;
            ASSERT_EQ(pawnRace[pawn - 8][king], expected) << "pawn " << pawn << " king " << king;
        }
    // Worked by hand: a5 against a king on e4 wins only moving first; e2 moving
    // first outruns a king on a2; a king on b4 moving first catches e2.
    EXPECT_EQ(pawnRace[A5 - 8][E4] & 0x33, 0x22);
    EXPECT_TRUE(pawnRace[E2 - 8][A2] & 32);
    EXPECT_FALSE(pawnRace[E2 - 8][B4] & 16);
}
