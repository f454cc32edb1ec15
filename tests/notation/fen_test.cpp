// FEN setup, over the rows of tests/data/fen.txt: castling letters of both
// kinds, the en-passant square, the clocks, the validation messages; hostile
// texts must never corrupt the board.
#include <cstdio>

#include "board/check.h"
#include "test_support.h"

// What setup made of a valid position: White's castling rights and rook start
// squares, the en-passant file, the fifty-move count and the game's ply.
static std::string summary(const Board& board) {
    const char* const rights[] = {"-", "K", "Q", "KQ"};
    int kingSide = board.stack->rookStartKingSide[White];
    int queenSide = board.stack->rookStartQueenSide[White];
    char text[80];
    std::snprintf(text, sizeof text, "castling %s %c%d %c%d, ep %c, clock %d, ply %d",
                  rights[board.white.castleRights], 'a' + fileOf(kingSide), 1 + rankOf(kingSide),
                  'a' + fileOf(queenSide), 1 + rankOf(queenSide),
                  board.epFile ? 'a' + board.epFile - 1 : '-', fiftyMoveCount(board),
                  gamePly(board));
    return text;
}

TEST(Fen, SetupOfEveryRow) {
    const std::vector<std::string> rows = dataRows("fen.txt");
    for (const std::string& line : rows) {
        size_t split = line.rfind(" ; ");
        const std::string fen = line.substr(0, split), expected = line.substr(split + 3);
        SCOPED_TRACE(fen);
        Board board;
        char message[FenMessageSize];
        int accepted = parseFen(board, engine.game.stack, fen.c_str(), message);
        for (int s = 0; s < 64; ++s) ASSERT_LE(board.squares[s], King);
        EXPECT_EQ(message[0] == '\0', accepted != 0);
        if (accepted) {
            EXPECT_EQ(findBoardInconsistency(board), nullptr);
        }
        EXPECT_EQ(accepted ? summary(board) : std::string(message), expected);
    }
    EXPECT_GT(rows.size(), 40u);
}
