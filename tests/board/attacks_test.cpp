// Slider look-ups through the rotated sets against a plain ray walk, and the
// attack queries' edge cases.
#include "board/attacks.h"

#include <random>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/tables.h"
#include "test_support.h"

namespace {

Bitboard walk(int square, Bitboard occupied, const int (*steps)[2]) {
    Bitboard set = 0;
    for (int i = 0; i < 4; ++i) {
        int r = rankOf(square) + steps[i][0], f = fileOf(square) + steps[i][1];
        while (r >= 0 && r < 8 && f >= 0 && f < 8) {
            set |= bit(8 * r + f);
            if (occupied & bit(8 * r + f)) break;
            r += steps[i][0];
            f += steps[i][1];
        }
    }
    return set;
}

constexpr int rookSteps[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
constexpr int bishopSteps[4][2] = {{1, 1}, {-1, -1}, {1, -1}, {-1, 1}};

}  // namespace

TEST(Attacks, SliderLookUpsMatchRayWalks) {
    std::mt19937_64 random(7);
    Board board{};
    for (int trial = 0; trial < 4000; ++trial) {
        // Sparse and dense occupancies alike.
        Bitboard occupied = random() & random() & (trial & 1 ? ~0ull : random());
        board.occupied = occupied;
        board.occupiedFiles = board.occupiedAntiDiagonals = board.occupiedDiagonals = 0;
        for (Bitboard men = occupied; men;) {
            int s = popLowest(men);
            board.occupiedFiles |= fileRotationMask[s];
            board.occupiedAntiDiagonals |= antiDiagRotationMask[s];
            board.occupiedDiagonals |= diagRotationMask[s];
        }
        for (int s = 0; s < 64; ++s) {
            ASSERT_EQ(rookAttacksOf(board, s), walk(s, occupied, rookSteps)) << s;
            ASSERT_EQ(bishopAttacksOf(board, s), walk(s, occupied, bishopSteps)) << s;
        }
    }
    // On an empty board, from a1.
    EXPECT_EQ(rankAttacks[A1][0], 0xFEull);
    EXPECT_EQ(fileAttacks[A1][0], 0x0101010101010100ull);
    EXPECT_EQ(diagAttacks[A1][0], 0x8040201008040200ull);
    EXPECT_EQ(antiDiagAttacks[A1][0], 0ull);
}

TEST(Attacks, LineTables) {
    EXPECT_EQ(direction[A1][H8], 9);
    EXPECT_EQ(direction[H8][A1], -9);
    EXPECT_EQ(direction[H1][A8], 7);
    EXPECT_EQ(direction[A1][A8], 8);
    EXPECT_EQ(direction[H1][A1], -1);
    EXPECT_EQ(direction[A1][B3], 0);
    EXPECT_EQ(lineKind[E1][E1], 0);
    EXPECT_EQ(between[A1][D4], bit(9) | bit(18));
    EXPECT_EQ(between[A1][B2], 0ull);
    EXPECT_EQ(between[A1][C2], 0ull);
    EXPECT_EQ(fileAhead[E1 + 48], bit(E8));
    EXPECT_EQ(fileBehind[E1 + 8], bit(E1));
    EXPECT_EQ(frontSpan[White][A1 + 48], bit(A8) | bit(B8));
    EXPECT_EQ(frontSpan[Black][H8 - 48], bit(G1) | bit(H1));
    EXPECT_EQ(lowestBitOfByte[0], 0);
    EXPECT_EQ(lowestBitOfByte[0x28], 4);
    EXPECT_EQ(highestBitOfByte[0x28], 6);
    EXPECT_EQ(pawnAttackTable[White][A1 + 8], bit(B1 + 16));
    EXPECT_EQ(pawnAttackTable[Black][H8 - 8], bit(G1 + 40));
}

TEST(Attacks, QueriesAndPins) {
    // Both pawns leave the rank: the rook on a5 would see the king on h5.
    Board& board = boardFromFen("7k/3p4/8/r3P2K/8/8/8/8 b - - 0 1");
    saveUndo(board);
    makeMove(board, buildMove(51, 35, KindDoubleStep, Pawn));
    ASSERT_EQ(board.epFile, 4);
    EXPECT_FALSE(isEnPassantLegal(board, 36, 43));
    int count = generateMoves(board);
    for (int i = 0; i < count; ++i)
        EXPECT_FALSE(moveIsEnPassant(board.stack->moveLists[0][i].move));

    // A bishop pinned on its diagonal moves along it, up to taking the pinner.
    Board& pinned = boardFromFen("7k/8/8/8/3q4/8/1B6/K7 w - - 0 1");
    Bitboard ray = 0;
    EXPECT_EQ(pinDirection(pinned, B1 + 8, &ray), 9);
    count = generateMoves(pinned);
    std::vector<std::string> bishopMoves;
    for (const std::string& move : listText(pinned, 0, count))
        if (move.rfind("b2", 0) == 0) bishopMoves.push_back(move);
    EXPECT_EQ(bishopMoves, (std::vector<std::string>{"b2c3", "b2d4"}));

    // attacksFrom of no piece; x-rays are no attacks.
    Board& xray = boardFromFen("4k3/8/8/8/8/8/8/R1R1K3 w - - 0 1");
    EXPECT_EQ(attacksFrom(xray, NoPiece, White, A1), 0ull);
    EXPECT_EQ(attackersBySide(xray, xray.white, D1), bit(C1) | bit(E1));
    EXPECT_TRUE(attackedByWhite(xray, B1));
    EXPECT_FALSE(attackedByBlack(xray, B1));
    EXPECT_EQ(attackersOfSquare(xray, D8), bit(E8));
    EXPECT_EQ(blockersOfSquare(xray, xray.white, C8), bit(C1));
}
