// The king-against-pawn race table against a direct simulation of the race on
// an empty board, for every pawn square, king square and side to move.
#include "board/pawnrace.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <vector>

#include "board/tables.h"
#include "test_support.h"

namespace {

int chebyshev(int a, int b) {
    return std::max(std::abs(rankOf(a) - rankOf(b)), std::abs(fileOf(a) - fileOf(b)));
}

// Moves a pawn of colour on square needs to promote: the double step makes a
// pawn on its second rank count 5.
int movesToPromote(int colour, int square) {
    int rank = colour == White ? rankOf(square) : 7 - rankOf(square);
    return rank == 1 ? 5 : 7 - rank;
}

// The square rule from t and d, in the pawn's own geometry.
bool squareRule(int colour, int pawn, int king, bool pawnToMove) {
    int t = movesToPromote(colour, pawn);
    int d = chebyshev(king, (colour == White ? 56 : 0) + fileOf(pawn));
    return pawnToMove ? t < d : chebyshev(king, pawn) != 1 && t < d - 1;
}

// King steps from king to every square of the empty board.
std::array<int, 64> kingSteps(int king) {
    std::array<int, 64> steps;
    steps.fill(99);
    steps[king] = 0;
    std::deque<int> queue{king};
    while (!queue.empty()) {
        int from = queue.front();
        queue.pop_front();
        for (int dr = -1; dr <= 1; ++dr)
            for (int df = -1; df <= 1; ++df) {
                int r = rankOf(from) + dr, f = fileOf(from) + df;
                if (r < 0 || r > 7 || f < 0 || f > 7 || steps[8 * r + f] != 99) continue;
                steps[8 * r + f] = steps[from] + 1;
                queue.push_back(8 * r + f);
            }
    }
    return steps;
}

// The race itself: the pawn walks to promotion (its first move a double step
// from its second rank). When the pawn has made m moves, the king has made m
// (pawn first) or m + 1 (king first); it catches the pawn when by then it can
// stand on the pawn's square or on any square still ahead of it.
bool pawnPromotes(int colour, int pawn, int king, bool pawnFirst) {
    std::array<int, 64> steps = kingSteps(king);
    int step = colour == White ? 8 : -8, last = colour == White ? 7 : 0;
    std::vector<int> walk{pawn};
    bool secondRank = rankOf(pawn) == (colour == White ? 1 : 6);
    int next = pawn + (secondRank ? 2 * step : step);
    for (; rankOf(next) != last; next += step) walk.push_back(next);
    walk.push_back(next);
    for (size_t m = pawnFirst ? 1 : 0; m < walk.size(); ++m) {
        int kingMoves = int(pawnFirst ? m : m + 1);
        for (int square = walk[m];; square += step) {
            if (steps[square] <= kingMoves) return false;
            if (rankOf(square) == last) break;
        }
    }
    return true;
}

}  // namespace

TEST(PawnRace, MatchesDirectRace) {
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
}

TEST(PawnRace, KingNextToThePawnNeverLosesTheRace) {
    for (int pawn = A2; pawn <= H7; ++pawn)
        for (Bitboard near = kingAttacks[pawn]; near;) {
            int king = popLowest(near);
            EXPECT_FALSE(pawnRace[pawn - 8][king] & 1) << pawn << " " << king;
            EXPECT_FALSE(pawnRace[pawn - 8][king] & 8) << pawn << " " << king;
        }
}

TEST(PawnRace, SecondRankCountsFiveMoves) {
    // e2 against a king six steps from e8 wins with the pawn to move; with seven
    // moves to go it would not.
    EXPECT_TRUE(pawnRace[E2 - 8][A2] & 2);
    EXPECT_FALSE(pawnRace[E2 - 8][A3] & 2);
    EXPECT_TRUE(pawnRace[E2 - 8][H1] & 1);
    EXPECT_FALSE(pawnRace[E2 - 8][A2] & 1);
    EXPECT_TRUE(pawnRace[E7 - 8][A7] & 4);
    EXPECT_FALSE(pawnRace[E7 - 8][A6] & 4);
    EXPECT_TRUE(pawnRace[E7 - 8][H8] & 8);
    // The flood fill takes the double step too: the pawn moving first outruns a
    // king on a2; a king on b4 moving first reaches e5 in time.
    EXPECT_TRUE(pawnRace[E2 - 8][A2] & 32);
    EXPECT_FALSE(pawnRace[E2 - 8][B4] & 16);
}

TEST(PawnRace, SideToMoveDecides) {
    // Pawn a5 (three moves), king e4 (four steps from a8): the pawn wins only
    // when it moves first.
    EXPECT_EQ(pawnRace[A5 - 8][E4] & 0x33, 0x22);
    EXPECT_EQ(pawnRace[A4 - 8][E5] & 0xCC, 0x44);
}
