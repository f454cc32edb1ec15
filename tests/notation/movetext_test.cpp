// Move text: SAN with its disambiguation rules, the move parser's promotion and
// castling spellings and its hostile inputs, the refusals of playMoveIfValid,
// and the engine's "move" line.
#include "notation/movetext.h"

#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "board/movegen.h"
#include "driver/game.h"
#include "driver/xboard.h"
#include "test_support.h"

namespace {

// The generated move with this coordinate text ("e1g1" for white's short
// castling); with a kind, only a move of that kind (castling or a king step).
Move findMove(Board& board, const char* coordinates, int kind = -1) {
    int count = generateMoves(board);
    std::vector<std::string> texts = listText(board, 0, count);
    for (int i = 0; i < count; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        if (texts[i] == coordinates && (kind < 0 || moveKind(move) == kind)) return move;
    }
    ADD_FAILURE() << coordinates << " is not a legal move here";
    return 0;
}

// Formatting must leave the board as it found it.
std::string san(Board& board, const char* coordinates, int kind = -1) {
    Move move = findMove(board, coordinates, kind);
    const Board before = board;
    char text[16];
    int length = formatMoveSan(board, move, text);
    EXPECT_EQ(length, int(std::strlen(text))) << text;
    sameBoard(board, before);
    return text;
}

// The SAN of each blank-separated coordinate move in moves, played from fen.
std::string sanIn(const char* fen, const std::string& moves, int kind = -1) {
    Board& board = boardFromFen(fen);
    std::istringstream words(moves);
    std::string text, word;
    while (words >> word) text += san(board, word.c_str(), kind);
    return text;
}

void setUp(const char* fen) { ASSERT_EQ(setupPosition(engine, fen), 1) << fen; }

// Parses text from fen; played or not, ply and the listed squares must agree.
void expectParse(const char* fen, const char* text, int played,
                 std::vector<std::pair<int, int>> squares = {}) {
    setUp(fen);
    EXPECT_EQ(playMoveText(engine, text), played) << fen << " " << text;
    EXPECT_EQ(engine.game.board.ply, played) << fen << " " << text;
    for (auto [square, piece] : squares)
        EXPECT_EQ(engine.game.board.squares[square], piece) << fen << " " << text << " " << square;
}

// Hands text to the parser in a buffer of exactly its size, so that a read
// past the terminator is a read past the allocation.
int parseExact(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return playMoveText(engine, buffer.data());
}

const char* const Promotion = "3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1";
// King b1, rooks a1 and e1: short castling moves the king five files, long one.
const char* const Random = "rk2r3/pppppppp/8/8/8/8/PPPPPPPP/RK2R3 w EAea - 0 1";
// King c1, rook b1: long castling leaves the king where it is.
const char* const KingStays = "1rk5/pppppppp/8/8/8/8/PPPPPPPP/1RK5 w Bb - 0 1";
const char* const Pinned = "4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1";

}  // namespace

TEST(MoveText, San) {
    EXPECT_EQ(sanIn(StartFen, "e2e4 e2e3"), "e4 e3 ");
    EXPECT_EQ(sanIn("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1", "e4d5"),
              "exd5 ");
    EXPECT_EQ(sanIn("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", "d5e4"),
              "dxe4 ");
    EXPECT_EQ(sanIn(Promotion, "e7e8q e7e8n e7e8r e7e8b e7d8q"), "e8=Q e8=N e8=R e8=B exd8=Q ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/8/1p6/R3K3 b - - 0 1", "b2a1n"), "bxa1=N ");

    EXPECT_EQ(sanIn("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1 e1c1"), "O-O O-O-O ");
    EXPECT_EQ(sanIn("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8 e8c8"), "O-O O-O-O ");
    EXPECT_EQ(sanIn(Random, "b1g1", KindCastleKingSide), "O-O ");
    EXPECT_EQ(sanIn(Random, "b1c1", KindCastleQueenSide), "O-O-O ");
    EXPECT_EQ(sanIn(Random, "b1c1", KindKing), "Kc1 ");
    EXPECT_EQ(sanIn(KingStays, "c1c1"), "O-O-O ");

    const char* knights = "rnbqkbnr/pppppppp/8/8/3P4/5N2/PPP1PPPP/RNBQKB1R w KQkq - 0 1";
    EXPECT_EQ(sanIn(knights, "b1d2 f3d2 f3e5"), "Nbd2 Nfd2 Ne5 ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/5N2/3r4/1N2K3 w - - 0 1", "b1d2"), "Nbxd2 ");
    // The pinned knight on c3 is no candidate; unpinned, it is.
    EXPECT_EQ(sanIn(Pinned, "g1e2"), "Ne2 ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/2N5/8/4K1N1 w - - 0 1", "g1e2"), "Nge2 ");
    EXPECT_EQ(sanIn("k7/8/8/8/8/4R3/8/4R1K1 w - - 0 1", "e1e2 e3e2"), "R1e2 R3e2 ");
    EXPECT_EQ(sanIn("7k/8/8/8/8/8/8/R4RK1 w - - 0 1", "a1e1 f1e1"), "Rae1 Rfe1 ");
    // Neither a blocked rook nor a black one is a candidate.
    EXPECT_EQ(sanIn("1k6/8/8/8/8/8/7K/R4B1R w - - 0 1", "a1d1"), "Rd1 ");
    EXPECT_EQ(sanIn("7k/8/8/8/8/8/7K/R3r3 w - - 0 1", "a1d1"), "Rd1 ");
    // a1, a3 and c1 all reach b2; a1 shares a file with one, a rank with the other.
    EXPECT_EQ(sanIn("6k1/8/8/8/8/Q7/8/Q1Q4K w - - 0 1", "a1b2 a3b2 c1b2"), "Qa1b2 Q3b2 Qcb2 ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", "e1e2"), "Kxe2 ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/8/8/4K3 b - - 0 1", "e8d7"), "Kd7 ");

    // En passant takes a pawn that is not on the destination: still a capture.
    setUp(StartFen);
    for (const char* text : {"e2e4", "a7a6", "e4e5", "d7d5"})
        EXPECT_EQ(playMoveText(engine, text), 1);
    EXPECT_EQ(san(engine.game.board, "e5d6"), "exd6 ");
}

TEST(MoveText, SanPieceLettersAreReplaceable) {
    char saved[8];
    std::memcpy(saved, pieceLetters, sizeof saved);
    std::memcpy(pieceLetters + 1, "BSLTDK", 6);
    EXPECT_EQ(sanIn(StartFen, "g1f3"), "Sf3 ");
    EXPECT_EQ(sanIn(Promotion, "e1f2"), "Kf2 ");
    EXPECT_EQ(sanIn(Promotion, "e7e8q"), "e8=Q ");  // promotions keep the English letters
    std::memcpy(pieceLetters, saved, sizeof saved);
    EXPECT_EQ(sanIn(StartFen, "g1f3"), "Nf3 ");
}

TEST(MoveText, ParseCoordinatesAndPromotions) {
    setUp(StartFen);
    EXPECT_EQ(playMoveText(engine, "e2e4"), 1);
    EXPECT_EQ(playMoveText(engine, "e7e5"), 1);
    EXPECT_EQ(playMoveText(engine, "d7d5"), 0);  // black's move, but white is to move
    EXPECT_EQ(engine.game.board.ply, 2);
    EXPECT_EQ(engine.game.board.squares[E4], Pawn);
    EXPECT_EQ(engine.game.board.squares[E5], Pawn);

    // Piece 0: no letter, an unknown letter or a bare "=" names no promotion.
    struct Case {
        const char* text;
        int piece;
    };
    const Case cases[] = {
        {"e7e8q", Queen},  {"e7e8Q", Queen},  {"e7e8=q", Queen}, {"e7e8=Q", Queen},
        {"e7e8n", Knight}, {"e7e8N", Knight}, {"e7e8r", Rook},   {"e7e8=R", Rook},
        {"e7e8b", Bishop}, {"e7e8B", Bishop}, {"e7e8", 0},       {"e7e8k", 0},
        {"e7e8p", 0},      {"e7e8x", 0},      {"e7e8=", 0},      {"e7e8=k", 0}};
    // The pawn on a2 keeps the material from ending the game.
    const char* fen = "k7/4P3/8/8/8/8/P7/4K3 w - - 0 1";
    for (Case c : cases) {
        expectParse(fen, c.text, c.piece != NoPiece,
                    {{E7, c.piece ? NoPiece : Pawn}, {E8, c.piece}});
        if (c.piece) {
            EXPECT_EQ(engine.game.board.white.*pieceSet[c.piece], bit(E8)) << c.text;
        }
    }
}

TEST(MoveText, ParseCastling) {
    const char* both = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1";
    for (const char* text : {"O-O", "0-0", "e1g1"})
        expectParse(both, text, 1, {{G1, King}, {F1, Rook}, {H1, NoPiece}});
    for (const char* text : {"O-O-O", "0-0-0"})
        expectParse(both, text, 1, {{C1, King}, {D1, Rook}, {A1, NoPiece}});
    expectParse("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq - 0 1", "O-O-O", 1,
                {{C8, King}, {D8, Rook}});
    // Without the right, or with the path blocked, nothing is played.
    expectParse("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w Qkq - 0 1", "O-O", 0);
    expectParse(StartFen, "O-O-O", 0);

    expectParse(Random, "O-O", 1, {{G1, King}, {F1, Rook}, {B1, NoPiece}, {E1, NoPiece}});
    expectParse(Random, "0-0-0", 1, {{C1, King}, {D1, Rook}, {A1, NoPiece}});
    expectParse(KingStays, "O-O-O", 1, {{C1, King}, {D1, Rook}, {B1, NoPiece}});
}

TEST(MoveText, ParseHostileText) {
    // The h-file is open: a parser that let an unreadable coordinate wrap onto
    // a real square would play "E2E4" as h1h3.
    setUp("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPP1/RNBQKBNR w KQkq - 0 1");
    uint64_t key = engine.game.board.hashKey;
    std::vector<std::string> texts = {"",      "e",     "e2",    "e2e",  "zzzz", "e2e4x",
                                      "E2E4",  "i2h3",  "e9e4",  "e0e4", "O-",   "0-",
                                      "e2 e4", "e2-e4", "e2e4 ", "e2e5", "h1h9"};
    texts.push_back(std::string(4095, 'e'));
    texts.push_back("e2e4" + std::string(4091, 'x'));
    texts.push_back(std::string(4095, '\xff'));
    for (const std::string& text : texts) {
        EXPECT_EQ(parseExact(text), 0) << text.substr(0, 16);
        EXPECT_EQ(engine.game.board.ply, 0) << text.substr(0, 16);
        EXPECT_EQ(engine.game.board.hashKey, key) << text.substr(0, 16);
    }
    EXPECT_EQ(parseExact("h1h3"), 1);
    EXPECT_EQ(engine.game.board.squares[H3], Rook);
}

TEST(MoveText, PlayRefusals) {
    // Nine white pawns: the board is whole but rejected.
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(setupPosition(engine, "rnbqkbnr/pppppppp/8/8/8/P7/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
              0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "telluser too many white pawns!\n");
    EXPECT_EQ(playMoveIfValid(engine, buildMove(E2, E4, KindDoubleStep, Pawn)), 0);
    EXPECT_EQ(playMoveText(engine, "e2e4"), 0);
    EXPECT_EQ(engine.game.board.ply, 0);
    EXPECT_EQ(engine.game.board.squares[E2], Pawn);

    // No side to move at all: the parser must not look at the board.
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(setupPosition(engine, "8/8/8/8/8/8/8/8 x - - 0 1"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "telluser no one to move!\n");
    EXPECT_EQ(playMoveText(engine, "e2e4"), 0);
    EXPECT_EQ(playMoveText(engine, "O-O"), 0);

    // Moves not legal here: ungenerated, the other side's, ignoring check, pinned.
    const char* check = "4r1k1/8/8/8/8/8/R7/4K3 w - - 0 1";
    const std::pair<const char*, Move> refused[] = {
        {StartFen, 0},
        {StartFen, buildMove(E2, E5, KindPawn, Pawn)},
        {StartFen, buildMove(E7, E5, KindDoubleStep, Pawn)},
        {StartFen, buildMove(B1, D2, KindKnight, Knight)},
        {check, buildMove(A2, A3, KindRook, Rook)},
        {Pinned, buildMove(C3, E2, KindKnight, Knight)}};
    for (auto [fen, move] : refused) {
        setUp(fen);
        uint64_t key = engine.game.board.hashKey;
        EXPECT_EQ(playMoveIfValid(engine, move), 0) << fen;
        EXPECT_EQ(engine.game.board.ply, 0) << fen;
        EXPECT_EQ(engine.game.board.hashKey, key) << fen;
    }
    // Valid setups opened the door again: the block is played.
    setUp(check);
    EXPECT_EQ(playMoveIfValid(engine, buildMove(A2, E2, KindRook, Rook)), 1);
    EXPECT_EQ(engine.game.board.squares[E2], Rook);
}

TEST(MoveText, PlayRefusesWhenHistoryFull) {
    setUp(StartFen);
    const Move shuffle[4] = {
        buildMove(G1, F3, KindKnight, Knight), buildMove(G8, F6, KindKnight, Knight),
        buildMove(F3, G1, KindKnight, Knight), buildMove(F6, G8, KindKnight, Knight)};
    const int limit = MaxGame - MaxPly;
    ASSERT_EQ(limit, 936);
    // The game ends by repetition long before: the history limit holds anyway.
    ::testing::internal::CaptureStdout();
    int played = 0;
    while (played < limit && playMoveIfValid(engine, shuffle[played % 4])) ++played;
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(played, limit);
    EXPECT_EQ(engine.game.board.ply, limit);

    for (int inProgress : {0, 1}) {
        engine.game.gameInProgress = inProgress;
        EXPECT_EQ(playMoveIfValid(engine, shuffle[limit % 4]), 0);
        EXPECT_EQ(playMoveText(engine, "g1f3"), 0);
        EXPECT_EQ(engine.game.board.ply, limit);
        EXPECT_EQ(engine.game.board.squares[G1], Knight);
    }
}

TEST(MoveText, SendEngineMove) {
    // Castling is named by its wing, wherever the king starts.
    const std::pair<Move, const char*> lines[] = {
        {buildMove(E2, E4, KindDoubleStep, Pawn), "move e2e4\n"},
        {buildMove(G8, F6, KindKnight, Knight), "move g8f6\n"},
        {buildMove(E7, E8, KindPromoteQueen, Pawn, 0, Queen), "move e7e8q\n"},
        {buildMove(B2, A1, KindPromoteKnight, Pawn, Rook, Knight), "move b2a1n\n"},
        {buildMove(D7, C8, KindPromoteRook, Pawn, Bishop, Rook), "move d7c8r\n"},
        {buildMove(H2, H1, KindPromoteBishop, Pawn, 0, Bishop), "move h2h1b\n"},
        {buildMove(E1, G1, KindCastleKingSide, King), "move O-O\n"},
        {buildMove(E8, C8, KindCastleQueenSide, King), "move O-O-O\n"},
        {buildMove(B1, G1, KindCastleKingSide, King), "move O-O\n"},
        {buildMove(C1, C1, KindCastleQueenSide, King), "move O-O-O\n"}};
    for (int inProgress : {1, 0}) {
        engine.game.gameInProgress = inProgress;
        for (auto [move, line] : lines) {
            ::testing::internal::CaptureStdout();
            sendEngineMove(engine, move);
            EXPECT_EQ(::testing::internal::GetCapturedStdout(), inProgress ? line : "");
        }
    }
}
