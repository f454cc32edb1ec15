// The generators' output orders: the search's move order depends on them.
// (The staged generators are checked against the legal moves in makemove_test.)
#include "board/movegen.h"

#include "test_support.h"

using Moves = std::vector<std::string>;

TEST(MoveGen, Orders) {
    Board& board = boardFromFen(StartFen);
    EXPECT_EQ(
        listText(board, 0, generateMoves(board)),
        (Moves{"a2a4", "b2b4", "c2c4", "d2d4", "e2e4", "f2f4", "g2g4", "h2h4", "a2a3", "b2b3",
               "c2c3", "d2d3", "e2e3", "f2f3", "g2g3", "h2h3", "b1a3", "b1c3", "g1f3", "g1h3"}));
    // Promotions: captures first, each as queen, knight, rook, bishop.
    Board& promotion = boardFromFen("r1n1k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
    Moves moves = listText(promotion, 0, generateMoves(promotion));
    EXPECT_EQ(Moves(moves.begin(), moves.begin() + 12),
              (Moves{"b7c8q", "b7c8n", "b7c8r", "b7c8b", "b7a8q", "b7a8n", "b7a8r", "b7a8b",
                     "b7b8q", "b7b8n", "b7b8r", "b7b8b"}));
    // Double check: king moves only. Single check: capture of the checker,
    // interpositions from the king outwards, then king moves.
    Board& twice = boardFromFen("4k3/8/3N4/8/8/8/8/4R1K1 b - - 0 1");
    EXPECT_EQ(twice.checkInfo, DoubleCheck);
    EXPECT_EQ(listText(twice, 0, generateMoves(twice)), (Moves{"e8d7", "e8d8", "e8f8"}));
    Board& once = boardFromFen("4k3/8/8/8/8/3B4/3P1N2/R3K2r w - - 0 1");
    EXPECT_EQ(listText(once, 0, generateMoves(once)), (Moves{"f2h1", "d3f1", "e1e2"}));
    // Fischerandom: the rook on b1 is pinned, and castling (c1c1) would expose
    // the king to the rook on a1 that the castling rook hid.
    Board& hidden = boardFromFen("4k3/8/8/8/8/8/8/rRK5 w B - 0 1");
    EXPECT_EQ(listText(hidden, 0, generateMoves(hidden)),
              (Moves{"b1a1", "c1d1", "c1b2", "c1c2", "c1d2"}));
}

TEST(MoveGen, StagedPromotionsAndEmptyLists) {
    // The queen comes with the captures, the knight with the quiet moves.
    Board& board = boardFromFen("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
    board.stack->moveLists[1] = board.stack->moveLists[3] = board.stack->moveBuffer + 100;
    EXPECT_EQ(listText(board, 1, generateCaptures(board, 1)), (Moves{"b7b8q"}));
    EXPECT_EQ(listText(board, 1, generateQuietMoves(board, 1)).front(), "b7b8n");
    // No captures: an empty list that ends where it starts.
    Board& start = boardFromFen(StartFen);
    EXPECT_EQ(generateCaptures(start, 3), 0);
    EXPECT_EQ(start.stack->moveLists[4], start.stack->moveLists[3]);
}
