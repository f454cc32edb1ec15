// The generators' fixed output orders and the staged generators' division of
// the legal moves.
#include "board/movegen.h"

#include <algorithm>
#include <set>

#include "test_support.h"

using Moves = std::vector<std::string>;

TEST(MoveGen, InitialPositionOrder) {
    Board& board = boardFromFen(StartFen);
    int count = generateMoves(board);
    EXPECT_EQ(
        listText(board, 0, count),
        (Moves{"a2a4", "b2b4", "c2c4", "d2d4", "e2e4", "f2f4", "g2g4", "h2h4", "a2a3", "b2b3",
               "c2c3", "d2d3", "e2e3", "f2f3", "g2g3", "h2h3", "b1a3", "b1c3", "g1f3", "g1h3"}));
}

TEST(MoveGen, PromotionOrder) {
    Board& board = boardFromFen("r1n1k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
    int count = generateMoves(board);
    Moves moves = listText(board, 0, count);
    Moves pawnMoves(moves.begin(), moves.begin() + 12);
    EXPECT_EQ(pawnMoves, (Moves{"b7c8q", "b7c8n", "b7c8r", "b7c8b", "b7a8q", "b7a8n", "b7a8r",
                                "b7a8b", "b7b8q", "b7b8n", "b7b8r", "b7b8b"}));

    // Staged generators: the queen with the captures, the knight with the quiet
    // moves, rook and bishop promotions only in the full generators.
    Board& single = boardFromFen("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
    int captures = generateCaptures(single, 1);
    EXPECT_EQ(listText(single, 1, captures), (Moves{"b7b8q"}));
    int quiet = generateQuietMoves(single, 1);
    Moves quietMoves = listText(single, 1, quiet);
    EXPECT_EQ(quietMoves.front(), "b7b8n");
    EXPECT_EQ(std::count(quietMoves.begin(), quietMoves.end(), "b7b8r"), 0);
    EXPECT_EQ(std::count(quietMoves.begin(), quietMoves.end(), "b7b8b"), 0);
}

TEST(MoveGen, EvasionsAndEmptyLists) {
    // Double check by rook and knight: only king moves.
    Board& board = boardFromFen("4k3/8/3N4/8/8/8/8/4R1K1 b - - 0 1");
    EXPECT_EQ(board.checkInfo, DoubleCheck);
    int count = generateMoves(board);
    for (int i = 0; i < count; ++i) EXPECT_EQ(movePiece(board.stack->moveLists[0][i].move), King);
    EXPECT_EQ(listText(board, 0, count), (Moves{"e8d7", "e8d8", "e8f8"}));

    // Single check by a rook: capture of the checker, interposition along the
    // line from the king, then king moves (the king's own square is no shelter).
    Board& single = boardFromFen("4k3/8/8/8/8/3B4/3P1N2/R3K2r w - - 0 1");
    count = generateMoves(single);
    EXPECT_EQ(listText(single, 0, count), (Moves{"f2h1", "d3f1", "e1e2"}));

    // No captures or promotions: an empty list that ends where it starts.
    Board& quiet = boardFromFen(StartFen);
    EXPECT_EQ(generateCaptures(quiet, 3), 0);
    EXPECT_EQ(quiet.stack->moveLists[4], quiet.stack->moveLists[3]);
}

TEST(MoveGen, FischerandomQueenSideWithKingOnC1) {
    // King c1, rook b1: only b1, c1 and d1 matter; the king does not move.
    Board& board = boardFromFen("4k3/8/8/8/8/8/8/1RK5 w B - 0 1");
    int count = generateMoves(board);
    Moves moves = listText(board, 0, count);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), "c1c1"), 1);
    // An enemy rook on a1 is hidden from c1 by the castling rook: refused.
    Board& hidden = boardFromFen("4k3/8/8/8/8/8/8/rRK5 w B - 0 1");
    count = generateMoves(hidden);
    moves = listText(hidden, 0, count);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), "c1c1"), 0);
}

// Every legal move but rook and bishop promotions comes from exactly one staged
// generator; captures-and-checks extends the captures.
TEST(MoveGen, StagedGeneratorsCoverLegalMoves) {
    const char* fens[] = {
        StartFen,
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    };
    for (const char* fen : fens) {
        Board& board = boardFromFen(fen);
        int legalCount = generateMoves(board);
        std::set<Move> legal;
        for (int i = 0; i < legalCount; ++i) legal.insert(board.stack->moveLists[0][i].move);
        int captures = generateCaptures(board, 1);
        int quiet = generateQuietMoves(board, 2);
        std::multiset<Move> staged;
        for (int i = 0; i < captures + quiet; ++i) staged.insert(board.stack->moveLists[1][i].move);
        for (Move move : legal) {
            int kind = moveKind(move);
            size_t expected = (kind == KindPromoteRook || kind == KindPromoteBishop) ? 0 : 1;
            EXPECT_EQ(staged.count(move), expected) << fen << " " << std::hex << move;
        }
        for (Move move : staged) {
            if (!legal.count(move)) {
                EXPECT_FALSE(isMoveLegal(board, move)) << fen;
            }
        }
        int checks = generateCapturesAndChecks(board, 1);
        std::set<Move> withChecks;
        for (int i = 0; i < checks; ++i) withChecks.insert(board.stack->moveLists[1][i].move);
        captures = generateCaptures(board, 1);
        for (int i = 0; i < captures; ++i)
            EXPECT_TRUE(withChecks.count(board.stack->moveLists[1][i].move)) << fen;
    }
}
