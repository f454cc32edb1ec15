#include "test_support.h"

#include "notation/fen.h"
#include "notation/movetext.h"

std::vector<std::string> listText(const Board& board, int list, int count) {
    std::vector<std::string> moves;
    for (int i = 0; i < count; ++i) {
        char text[8];
        formatMoveCoordinates(board.stack->moveLists[list][i].move, text);
        moves.push_back(text);
    }
    return moves;
}

Board& referenceBoard(const char* fen) {
    ensureInitialised(engine);
    static Board board;
    char message[FenMessageSize];
    if (!parseFen(board, mainSearchStack, fen, message)) {
        EXPECT_STREQ(message, "too many white pawns!") << fen;
    }
    return board;
}
