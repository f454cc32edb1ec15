// FEN setup: the initial position, castling letters of both kinds, and every
// validation message; hostile texts must never corrupt the board.
#include <string>

#include "board/check.h"
#include "board/movegen.h"
#include "board/random.h"
#include "test_support.h"

namespace {

std::string rejection(const char* fen) {
    Board board;
    char message[FenMessageSize];
    if (parseFen(board, engine.game.stack, fen, message)) return "accepted";
    return message;
}

}  // namespace

TEST(Fen, InitialPosition) {
    Board& board = boardFromFen(StartFen);
    EXPECT_EQ(board.white.castleRights, CastleKingSide | CastleQueenSide);
    EXPECT_EQ(board.black.castleRights, CastleKingSide | CastleQueenSide);
    const BoardStack& stack = engine.game.stack;
    EXPECT_EQ(stack.rookStartKingSide[White], H1);
    EXPECT_EQ(stack.rookStartQueenSide[White], A1);
    EXPECT_EQ(stack.rookStartKingSide[Black], H8);
    EXPECT_EQ(stack.rookStartQueenSide[Black], A8);
    EXPECT_EQ(stack.kingStart[White], E1);
    EXPECT_EQ(stack.kingStart[Black], E8);
    EXPECT_EQ(board.pieceCount, 32);
    EXPECT_EQ(board.ply, 0);
    EXPECT_EQ(board.checkInfo, 0);
    EXPECT_EQ(board.toMove, &board.white);
    EXPECT_EQ(findBoardInconsistency(board), nullptr);
}

TEST(Fen, CastlingLetters) {
    // Rook-file letters name the same rooks as the classical ones.
    uint64_t classical = boardFromFen(StartFen).hashKey;
    Board& files = boardFromFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1");
    EXPECT_EQ(files.hashKey, classical);
    EXPECT_EQ(engine.game.stack.rookStartKingSide[White], H1);

    // Fischerandom: the letters find the rooks wherever they stand.
    Board& random =
        boardFromFen("bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9");
    EXPECT_EQ(engine.game.stack.rookStartKingSide[White], H1);
    EXPECT_EQ(engine.game.stack.rookStartQueenSide[White], F1);
    EXPECT_EQ(engine.game.stack.kingStart[Black], G1 + 56);
    EXPECT_EQ(random.white.castleRights, 3);
    // "K" takes the outermost rook when two stand beside the king.
    boardFromFen("4k3/8/8/8/8/8/8/4KRR1 w K - 0 1");
    EXPECT_EQ(engine.game.stack.rookStartKingSide[White], G1);

    // A letter on the king's own file, a letter without a rook, and a classical
    // letter without a rook on its wing grant nothing, and leave no key behind.
    for (const char* fen : {"4k3/8/8/8/8/8/8/R3K3 w E - 0 1", "4k3/8/8/8/8/8/8/R3K3 w H - 0 1",
                            "4k3/8/8/8/8/8/8/R3K3 w K - 0 1", "4k3/8/8/8/8/8/4K3/R7 w Q - 0 1"}) {
        Board& board = boardFromFen(fen);
        EXPECT_EQ(board.white.castleRights, 0) << fen;
        EXPECT_EQ(findBoardInconsistency(board), nullptr) << fen;
    }
    // A rook from an earlier position is forgotten.
    boardFromFen("4k3/8/8/8/8/8/8/1R2K1R1 w KQ - 0 1");
    EXPECT_EQ(engine.game.stack.rookStartQueenSide[White], B1);
    Board& later = boardFromFen("4k3/8/8/8/8/8/8/4K3 w Q - 0 1");
    EXPECT_EQ(later.white.castleRights, 0);
    EXPECT_EQ(engine.game.stack.rookStartQueenSide[White], A1);
    // A letter given twice grants one right with one key.
    Board& twice = boardFromFen("4k3/8/8/8/8/8/8/4K2R w KK - 0 1");
    EXPECT_EQ(twice.white.castleRights, CastleKingSide);
    EXPECT_EQ(findBoardInconsistency(twice), nullptr);
    // The en-passant field is not read.
    Board& ep = boardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(ep.epFile, 0);
    int count = generateMoves(ep);
    for (int i = 0; i < count; ++i) EXPECT_FALSE(moveIsEnPassant(ep.stack->moveLists[0][i].move));
}

TEST(Fen, ValidationMessages) {
    EXPECT_EQ(rejection("8/8/8/8/8/8/8/K6k"), "no one to move!");
    EXPECT_EQ(rejection("8/8/8/8/8/8/8/K6k x - - 0 1"), "no one to move!");
    EXPECT_EQ(rejection(""), "no one to move!");
    EXPECT_EQ(rejection("k7/8/8/8/8/8/8/K6P w - - 0 1"), "pawns on illegal ranks!");
    EXPECT_EQ(rejection("k7/8/8/8/8/P7/PPPPPPPP/K7 w - - 0 1"), "too many white pawns!");
    EXPECT_EQ(rejection("k7/pppppppp/p7/8/8/8/8/K7 w - - 0 1"), "too many black pawns!");
    EXPECT_EQ(rejection("k7/8/8/7N/NNNNNNNN/NNNNNNNN/8/K7 w - - 0 1"), "too many white knights!");
    EXPECT_EQ(rejection("k7/8/8/NNNNNNNN/NNNNNNN1/8/8/K7 w - - 0 1"), "accepted");  // 15
    EXPECT_EQ(rejection("k7/8/8/7B/BBBBBBBB/BBBBBBBB/8/K7 b - - 0 1"), "too many white bishops!");
    EXPECT_EQ(rejection("k7/8/8/7R/RRRRRRRR/RRRRRRRR/8/K7 b - - 0 1"), "too many white rooks!");
    EXPECT_EQ(rejection("k7/8/8/7Q/QQQQQQQQ/QQQQQQQQ/8/K7 b - - 0 1"), "too many white queens!");
    EXPECT_EQ(rejection("k7/8/8/7n/nnnnnnnn/nnnnnnnn/8/K7 w - - 0 1"), "too many black knights!");
    EXPECT_EQ(rejection("k7/8/8/7b/bbbbbbbb/bbbbbbbb/8/K7 w - - 0 1"), "too many black bishops!");
    EXPECT_EQ(rejection("k7/8/8/7r/rrrrrrrr/rrrrrrrr/8/K7 w - - 0 1"), "too many black rooks!");
    EXPECT_EQ(rejection("k7/8/8/7q/qqqqqqqq/qqqqqqqq/8/K7 w - - 0 1"), "too many black queens!");
    EXPECT_EQ(rejection("k7/8/8/8/8/8/8/8 w - - 0 1"), "wrong number of white kings!");
    EXPECT_EQ(rejection("k7/8/8/8/8/8/8/K6K w - - 0 1"), "wrong number of white kings!");
    EXPECT_EQ(rejection("8/8/8/8/8/8/8/K7 w - - 0 1"), "wrong number of black kings!");
    EXPECT_EQ(rejection("4k3/8/8/1B6/8/8/4R3/K3R3 b - - 0 1"), "accepted");  // double check
    EXPECT_EQ(rejection("4k3/8/5N2/1B6/8/8/4R3/K7 b - - 0 1"), "more than 2 checking pieces!");
    EXPECT_EQ(rejection("4k3/8/8/8/8/8/8/K3R3 w - - 0 1"),
              "king can be captured! (wrong side to move?)");
    // The last failing test is the one reported.
    EXPECT_EQ(rejection("k7/8/8/8/8/P7/PPPPPPPP/K6K w - - 0 1"), "wrong number of white kings!");
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
            EXPECT_EQ(message[0], '\0');
        } else {
            EXPECT_NE(message[0], '\0') << text;
        }
    }
}
