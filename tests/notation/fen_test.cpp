// FEN setup: castling letters of both kinds and the validation messages;
// hostile texts must never corrupt the board.
#include <tuple>
#include <utility>

#include "board/check.h"
#include "board/movegen.h"
#include "test_support.h"

static std::string rejection(const char* fen) {
    Board board;
    char message[FenMessageSize];
    if (parseFen(board, engine.game.stack, fen, message)) return "accepted";
    return message;
}

TEST(Fen, CastlingLetters) {
    const BoardStack& stack = engine.game.stack;
    // White's rights and rooks: rook-file letters name the same rooks as the classical ones; a
    // letter on the king's file or without a rook grants nothing; a rook of an earlier position
    // is forgotten; a letter given twice grants one right, one key.
    const std::tuple<const char*, int, int, int> cases[] = {
        {StartFen, 3, H1, A1},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1", 3, H1, A1},
        {"bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9", 3, H1, F1},
        {"4k3/8/8/8/8/8/8/4KRR1 w K - 0 1", 1, G1, A1},  // K: the outermost rook
        {"4k3/8/8/8/8/8/8/R3K3 w E - 0 1", 0, H1, A1},
        {"4k3/8/8/8/8/8/8/R3K3 w H - 0 1", 0, H1, A1},
        {"4k3/8/8/8/8/8/8/R3K3 w K - 0 1", 0, H1, A1},
        {"4k3/8/8/8/8/8/4K3/R7 w Q - 0 1", 0, H1, A1},
        {"4k3/8/8/8/8/8/8/1R2K1R1 w KQ - 0 1", 3, G1, B1},
        {"4k3/8/8/8/8/8/8/4K3 w Q - 0 1", 0, H1, A1},
        {"4k3/8/8/8/8/8/8/4K2R w KK - 0 1", 1, H1, A1}};
    for (auto [fen, rights, kingSide, queenSide] : cases) {
        Board& position = boardFromFen(fen);
        EXPECT_EQ(position.white.castleRights, rights) << fen;
        EXPECT_EQ(std::make_pair(stack.rookStartKingSide[White], stack.rookStartQueenSide[White]),
                  std::make_pair(kingSide, queenSide))
            << fen;
        EXPECT_EQ(findBoardInconsistency(position), nullptr) << fen;
    }
    // The en-passant field is not read.
    Board& ep = boardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    int count = generateMoves(ep);
    for (int i = 0; i < count; ++i) EXPECT_FALSE(moveIsEnPassant(ep.stack->moveLists[0][i].move));
}

TEST(Fen, ValidationMessages) {
    // The setboard transcript has the messages about pawns, kings and checks; the
    // last failing test is the one reported.
    const char* const cases[][2] = {
        {"", "no one to move!"},
        {"k7/8/8/7N/NNNNNNNN/NNNNNNNN/8/K7 w - - 0 1", "too many white knights!"},
        {"k7/8/8/NNNNNNNN/NNNNNNN1/8/8/K7 w - - 0 1", "accepted"},  // 15
        {"k7/8/8/7B/BBBBBBBB/BBBBBBBB/8/K7 b - - 0 1", "too many white bishops!"},
        {"k7/8/8/7R/RRRRRRRR/RRRRRRRR/8/K7 b - - 0 1", "too many white rooks!"},
        {"k7/8/8/7Q/QQQQQQQQ/QQQQQQQQ/8/K7 b - - 0 1", "too many white queens!"},
        {"k7/8/8/7n/nnnnnnnn/nnnnnnnn/8/K7 w - - 0 1", "too many black knights!"},
        {"k7/8/8/7b/bbbbbbbb/bbbbbbbb/8/K7 w - - 0 1", "too many black bishops!"},
        {"k7/8/8/7r/rrrrrrrr/rrrrrrrr/8/K7 w - - 0 1", "too many black rooks!"},
        {"k7/8/8/7q/qqqqqqqq/qqqqqqqq/8/K7 w - - 0 1", "too many black queens!"},
        {"4k3/8/8/1B6/8/8/4R3/K3R3 b - - 0 1", "accepted"},  // double check
        {"k7/8/8/8/8/P7/PPPPPPPP/K6K w - - 0 1", "wrong number of white kings!"}};
    for (auto [fen, message] : cases) EXPECT_EQ(rejection(fen), message) << fen;
}

TEST(Fen, MalformedTextNeverCorruptsTheBoard) {
    const char* texts[] = {
        "rnbqkbnrr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",  // nine on a rank
        "////////////////////k/K w - - 0 1",
        "88888888888888888888888888888888k7K w - - 0 1",
        "kK9/8/8/8/8/8/8/8 w - - 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkqABCDEFGHabcdefgh",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",
        "rnbqkbnr/pppppppp",
        "k7/8/8/8/8/8/8/7K b - - 0 1 trailing words",
    };
    for (const char* text : texts) {
        Board board;
        char message[FenMessageSize];
        int accepted = parseFen(board, engine.game.stack, text, message);
        for (int s = 0; s < 64; ++s) ASSERT_LE(board.squares[s], King) << text;
        if (accepted) {
            EXPECT_EQ(findBoardInconsistency(board), nullptr) << text;
        }
        EXPECT_EQ(message[0] == '\0', accepted != 0) << text;
    }
}
