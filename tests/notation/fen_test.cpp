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
}

TEST(Fen, EnPassantSquareAndClocks) {
    // The double step played and its position read from FEN: the same board and key, the
    // en-passant part only where a pawn can take (perft.txt counts the captures).
    const char* const cases[][3] = {
        {"4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1", "e2e4", "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1"},
        {"4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1", "d7d5", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 2"},
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e2e4", "4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1"},
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "e2e4", "4k3/8/8/8/4P3/8/8/4K3 b - e6 0 1"}};
    for (auto [before, move, after] : cases) {
        Board& played = boardFromFen(before);
        play(played, {move});
        const uint64_t key = played.hashKey;
        const int epFile = played.epFile;
        Board& read = boardFromFen(after);
        EXPECT_EQ(read.hashKey, key) << after;
        EXPECT_EQ(read.epFile, epFile) << after;
        EXPECT_EQ(findBoardInconsistency(read), nullptr) << after;
    }
    // The half-move clock counts towards the fifty-move rule; the move number gives the
    // game's ply; missing fields count from the game's start.
    const std::tuple<const char*, int, int> clocks[] = {
        {"8/8/4k3/8/8/4K3/8/R7 w - - 99 80", 99, 158},
        {"8/8/4k3/8/8/4K3/8/R7 b - - 0 8", 0, 15},
        {"8/8/4k3/8/8/4K3/8/R7 b", 0, 1},
        {"8/8/4k3/8/8/4K3/8/R7 w - - 7 0", 7, 0}};
    for (auto [fen, fifty, ply] : clocks) {
        Board& board = boardFromFen(fen);
        EXPECT_EQ(std::make_pair(fiftyMoveCount(board), gamePly(board)), std::make_pair(fifty, ply))
            << fen;
    }
}

TEST(Fen, ValidationMessages) {
    // The setboard transcript has the messages about pawns, kings and checks; the
    // last failing test is the one reported.
    const char* const cases[][2] = {
        {"", "not eight ranks of eight squares!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq - 0 1",
         "not eight ranks of eight squares!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPP/RNBQKBNR w KQkq - 0 1",
         "not eight ranks of eight squares!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1",
         "not eight ranks of eight squares!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR white KQkq - 0 1", "no one to move!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w K+kq - 0 1", "bad castling field!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e9 0 1", "bad en-passant square!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - x 1", "bad half-move clock!"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 -3", "bad move number!"},
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
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR \t w  KQkq  e3\t0  1",
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
