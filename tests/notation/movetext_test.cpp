// Move text: SAN with its disambiguation rules, the move parser's promotion and
// castling spellings and its hostile inputs, the refusals of playMoveIfValid,
// and the engine's "move" line.
#include "notation/movetext.h"

#include <cstring>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "test_support.h"

namespace {

// The generated move with this coordinate text ("e1g1" for white's short
// castling); with a kind, only a move of that kind (castling or a king step).
Move findMove(Board& board, const char* coordinates, int kind = -1) {
    int count = generateMoves(board);
    for (int i = 0; i < count; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        char text[8];
        formatMoveCoordinates(move, text);
        if (std::strcmp(text, coordinates) == 0 && (kind < 0 || moveKind(move) == kind))
            return move;
    }
    ADD_FAILURE() << coordinates << " is not a legal move here";
    return 0;
}

std::string san(Board& board, const char* coordinates, int kind = -1) {
    Move move = findMove(board, coordinates, kind);
    char text[16];
    int length = formatMoveSan(board, move, text);
    EXPECT_EQ(length, int(std::strlen(text))) << text;
    return text;
}

std::string sanIn(const char* fen, const char* coordinates, int kind = -1) {
    return san(boardFromFen(fen), coordinates, kind);
}

void play(Board& board, const char* coordinates) {
    Move move = findMove(board, coordinates);
    saveUndo(board);
    makeMove(board, move);
}

void setUp(const char* fen) { ASSERT_EQ(setupPosition(engine, fen), 1) << fen; }

// Hands text to the parser in a buffer of exactly its size, so that a read
// past the terminator is a read past the allocation.
int parseExact(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return parseUserMove(engine, buffer.data());
}

std::string engineMoveLine(Move move) {
    ::testing::internal::CaptureStdout();
    sendEngineMove(engine, move);
    return ::testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(MoveText, SanPawnMoves) {
    EXPECT_EQ(sanIn(StartFen, "e2e4"), "e4 ");
    EXPECT_EQ(sanIn(StartFen, "e2e3"), "e3 ");
    EXPECT_EQ(sanIn("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "e4d5"),
              "exd5 ");
    EXPECT_EQ(sanIn("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 2", "d5e4"),
              "dxe4 ");

    // En passant takes a pawn that is not on the destination: still a capture.
    Board& board = boardFromFen(StartFen);
    for (const char* move : {"e2e4", "a7a6", "e4e5", "d7d5"}) play(board, move);
    EXPECT_EQ(san(board, "e5d6"), "exd6 ");

    const char* promotion = "3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1";
    EXPECT_EQ(sanIn(promotion, "e7e8q"), "e8=Q ");
    EXPECT_EQ(sanIn(promotion, "e7e8n"), "e8=N ");
    EXPECT_EQ(sanIn(promotion, "e7e8r"), "e8=R ");
    EXPECT_EQ(sanIn(promotion, "e7e8b"), "e8=B ");
    EXPECT_EQ(sanIn(promotion, "e7d8q"), "exd8=Q ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/8/1p6/R3K3 b - - 0 1", "b2a1n"), "bxa1=N ");
}

TEST(MoveText, SanCastling) {
    const char* both = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    EXPECT_EQ(sanIn(both, "e1g1"), "O-O ");
    EXPECT_EQ(sanIn(both, "e1c1"), "O-O-O ");
    EXPECT_EQ(sanIn("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8"), "O-O ");
    EXPECT_EQ(sanIn("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8"), "O-O-O ");

    // Fischerandom: the king on b1 travels five files to castle short, one to
    // castle long; on c1 it castles long without moving at all.
    const char* random = "rk2r3/pppppppp/8/8/8/8/PPPPPPPP/RK2R3 w EAea - 0 1";
    EXPECT_EQ(sanIn(random, "b1g1", KindCastleKingSide), "O-O ");
    EXPECT_EQ(sanIn(random, "b1c1", KindCastleQueenSide), "O-O-O ");
    EXPECT_EQ(sanIn(random, "b1c1", KindKing), "Kc1 ");
    EXPECT_EQ(sanIn("1rk5/pppppppp/8/8/8/8/PPPPPPPP/1RK5 w Bb - 0 1", "c1c1"), "O-O-O ");
}

TEST(MoveText, SanDisambiguation) {
    // Knights on b1 and f3 both reach d2.
    const char* knights = "rnbqkbnr/pppppppp/8/8/3P4/5N2/PPP1PPPP/RNBQKB1R w KQkq - 0 1";
    EXPECT_EQ(sanIn(knights, "b1d2"), "Nbd2 ");
    EXPECT_EQ(sanIn(knights, "f3d2"), "Nfd2 ");
    EXPECT_EQ(sanIn(knights, "f3e5"), "Ne5 ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/5N2/3r4/1N2K3 w - - 0 1", "b1d2"), "Nbxd2 ");

    // The knight on c3 is pinned against e1: only the one on g1 can reach e2.
    EXPECT_EQ(sanIn("4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1", "g1e2"), "Ne2 ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/2N5/8/4K1N1 w - - 0 1", "g1e2"), "Nge2 ");

    // Same file: the rank tells them apart; same rank: the file.
    const char* fileRooks = "k7/8/8/8/8/4R3/8/4R1K1 w - - 0 1";
    EXPECT_EQ(sanIn(fileRooks, "e1e2"), "R1e2 ");
    EXPECT_EQ(sanIn(fileRooks, "e3e2"), "R3e2 ");
    const char* rankRooks = "7k/8/8/8/8/8/8/R4RK1 w - - 0 1";
    EXPECT_EQ(sanIn(rankRooks, "a1e1"), "Rae1 ");
    EXPECT_EQ(sanIn(rankRooks, "f1e1"), "Rfe1 ");
    // A rook whose path is blocked is no candidate.
    EXPECT_EQ(sanIn("1k6/8/8/8/8/8/7K/R4B1R w - - 0 1", "a1d1"), "Rd1 ");
    // A black rook reaching the square is no candidate either.
    EXPECT_EQ(sanIn("7k/8/8/8/8/8/7K/R3r3 w - - 0 1", "a1d1"), "Rd1 ");

    // Queens a1, a3, c1 all reach b2: one twin shares a1's file and one its
    // rank, so a1 needs the whole square.
    const char* queens = "6k1/8/8/8/8/Q7/8/Q1Q4K w - - 0 1";
    EXPECT_EQ(sanIn(queens, "a1b2"), "Qa1b2 ");
    EXPECT_EQ(sanIn(queens, "a3b2"), "Q3b2 ");
    EXPECT_EQ(sanIn(queens, "c1b2"), "Qcb2 ");

    // Kings need no disambiguation.
    EXPECT_EQ(sanIn("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", "e1e2"), "Kxe2 ");
    EXPECT_EQ(sanIn("4k3/8/8/8/8/8/8/4K3 b - - 0 1", "e8d7"), "Kd7 ");
}

TEST(MoveText, SanPieceLettersAreReplaceable) {
    char saved[8];
    std::memcpy(saved, pieceLetters, sizeof saved);
    std::memcpy(pieceLetters + 1, "BSLTDK", 6);
    EXPECT_EQ(sanIn(StartFen, "g1f3"), "Sf3 ");
    EXPECT_EQ(sanIn("3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1", "e1f2"), "Kf2 ");
    // Promotions keep the English letters.
    EXPECT_EQ(sanIn("3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8q"), "e8=Q ");
    std::memcpy(pieceLetters, saved, sizeof saved);
    EXPECT_EQ(sanIn(StartFen, "g1f3"), "Nf3 ");
}

TEST(MoveText, SanLeavesBoardUnchanged) {
    Board& board = boardFromFen("4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1");
    const Board before = board;
    san(board, "g1e2");
    EXPECT_TRUE(sameBoard(board, before));
}

TEST(MoveText, ParseCoordinatesAndPromotions) {
    setUp(StartFen);
    EXPECT_EQ(parseUserMove(engine, "e2e4"), 1);
    EXPECT_EQ(parseUserMove(engine, "e7e5"), 1);
    EXPECT_EQ(engine.board.squares[E4], Pawn);
    EXPECT_EQ(engine.board.squares[E5], Pawn);
    EXPECT_EQ(engine.board.ply, 2);
    // A legal-looking text for the wrong side plays nothing.
    EXPECT_EQ(parseUserMove(engine, "d7d5"), 0);
    EXPECT_EQ(engine.board.ply, 2);

    // The pawn on a2 keeps the material from ending the game.
    const char* promotion = "k7/4P3/8/8/8/8/P7/4K3 w - - 0 1";
    for (const char* text : {"e7e8q", "e7e8Q", "e7e8=q", "e7e8=Q"}) {
        setUp(promotion);
        EXPECT_EQ(parseUserMove(engine, text), 1) << text;
        EXPECT_EQ(engine.board.squares[E8], Queen) << text;
        EXPECT_EQ(engine.board.white.queens, bit(E8)) << text;
    }
    struct Case {
        const char* text;
        int piece;
    };
    for (Case c : {Case{"e7e8n", Knight}, Case{"e7e8N", Knight}, Case{"e7e8r", Rook},
                   Case{"e7e8=R", Rook}, Case{"e7e8b", Bishop}, Case{"e7e8B", Bishop}}) {
        setUp(promotion);
        EXPECT_EQ(parseUserMove(engine, c.text), 1) << c.text;
        EXPECT_EQ(engine.board.squares[E8], c.piece) << c.text;
    }
    // No letter, an unknown letter or a bare "=" names no promotion move.
    for (const char* text : {"e7e8", "e7e8k", "e7e8p", "e7e8x", "e7e8=", "e7e8=k"}) {
        setUp(promotion);
        EXPECT_EQ(parseUserMove(engine, text), 0) << text;
        EXPECT_EQ(engine.board.ply, 0) << text;
        EXPECT_EQ(engine.board.squares[E7], Pawn) << text;
    }
}

TEST(MoveText, ParseCastling) {
    const char* both = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1";
    for (const char* text : {"O-O", "0-0"}) {
        setUp(both);
        EXPECT_EQ(parseUserMove(engine, text), 1) << text;
        EXPECT_EQ(engine.board.squares[G1], King) << text;
        EXPECT_EQ(engine.board.squares[F1], Rook) << text;
        EXPECT_EQ(engine.board.squares[H1], NoPiece) << text;
    }
    for (const char* text : {"O-O-O", "0-0-0"}) {
        setUp(both);
        EXPECT_EQ(parseUserMove(engine, text), 1) << text;
        EXPECT_EQ(engine.board.squares[C1], King) << text;
        EXPECT_EQ(engine.board.squares[D1], Rook) << text;
        EXPECT_EQ(engine.board.squares[A1], NoPiece) << text;
    }
    // Black castles by the same words.
    setUp("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq - 0 1");
    EXPECT_EQ(parseUserMove(engine, "O-O-O"), 1);
    EXPECT_EQ(engine.board.squares[C8], King);
    EXPECT_EQ(engine.board.squares[D8], Rook);
    // The king's coordinates castle as well.
    setUp(both);
    EXPECT_EQ(parseUserMove(engine, "e1g1"), 1);
    EXPECT_EQ(engine.board.squares[F1], Rook);

    // Without the right, or with the path blocked, castling text plays nothing.
    setUp("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w Qkq - 0 1");
    EXPECT_EQ(parseUserMove(engine, "O-O"), 0);
    setUp(StartFen);
    EXPECT_EQ(parseUserMove(engine, "O-O-O"), 0);
    EXPECT_EQ(engine.board.ply, 0);

    // Fischerandom, king b1 with rooks a1 and e1: each word picks its wing.
    const char* random = "rk2r3/pppppppp/8/8/8/8/PPPPPPPP/RK2R3 w EAea - 0 1";
    setUp(random);
    EXPECT_EQ(parseUserMove(engine, "O-O"), 1);
    EXPECT_EQ(engine.board.squares[G1], King);
    EXPECT_EQ(engine.board.squares[F1], Rook);
    EXPECT_EQ(engine.board.squares[B1], NoPiece);
    EXPECT_EQ(engine.board.squares[E1], NoPiece);
    setUp(random);
    EXPECT_EQ(parseUserMove(engine, "0-0-0"), 1);
    EXPECT_EQ(engine.board.squares[C1], King);
    EXPECT_EQ(engine.board.squares[D1], Rook);
    EXPECT_EQ(engine.board.squares[A1], NoPiece);

    // King c1, rook b1: the king stays, the rook jumps over it to d1.
    setUp("1rk5/pppppppp/8/8/8/8/PPPPPPPP/1RK5 w Bb - 0 1");
    EXPECT_EQ(parseUserMove(engine, "O-O-O"), 1);
    EXPECT_EQ(engine.board.squares[C1], King);
    EXPECT_EQ(engine.board.squares[D1], Rook);
    EXPECT_EQ(engine.board.squares[B1], NoPiece);
    EXPECT_EQ(engine.board.ply, 1);
}

TEST(MoveText, ParseHostileText) {
    // The h-file is open: a parser that let an unreadable coordinate wrap onto
    // a real square would play "E2E4" as h1h3.
    setUp("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPP1/RNBQKBNR w KQkq - 0 1");
    uint64_t key = engine.board.hashKey;
    std::vector<std::string> texts = {"",      "e",     "e2",    "e2e",  "zzzz", "e2e4x",
                                      "E2E4",  "i2h3",  "e9e4",  "e0e4", "O-",   "0-",
                                      "e2 e4", "e2-e4", "e2e4 ", "e2e5", "h1h9"};
    texts.push_back(std::string(4095, 'e'));
    texts.push_back("e2e4" + std::string(4091, 'x'));
    texts.push_back(std::string(4095, '\xff'));
    for (const std::string& text : texts) {
        EXPECT_EQ(parseExact(text), 0) << text.substr(0, 16);
        EXPECT_EQ(engine.board.ply, 0) << text.substr(0, 16);
        EXPECT_EQ(engine.board.hashKey, key) << text.substr(0, 16);
    }
    // The same position still takes a proper move.
    EXPECT_EQ(parseExact("h1h3"), 1);
    EXPECT_EQ(engine.board.squares[H3], Rook);
}

TEST(MoveText, PlayRefusesOnRejectedBoard) {
    // Nine white pawns: the board is whole but rejected.
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(setupPosition(engine, "rnbqkbnr/pppppppp/8/8/8/P7/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
              0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "telluser too many white pawns!\n");
    EXPECT_EQ(playMoveIfValid(engine, buildMove(E2, E4, KindDoubleStep, Pawn)), 0);
    EXPECT_EQ(parseUserMove(engine, "e2e4"), 0);
    EXPECT_EQ(engine.board.ply, 0);
    EXPECT_EQ(engine.board.squares[E2], Pawn);

    // No side to move at all: the parser must not look at the board.
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(setupPosition(engine, "8/8/8/8/8/8/8/8 x - - 0 1"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "telluser no one to move!\n");
    EXPECT_EQ(parseUserMove(engine, "e2e4"), 0);
    EXPECT_EQ(parseUserMove(engine, "O-O"), 0);

    // A valid setup opens the door again.
    setUp(StartFen);
    EXPECT_EQ(playMoveIfValid(engine, buildMove(E2, E4, KindDoubleStep, Pawn)), 1);
}

TEST(MoveText, PlayRefusesInvalidMoves) {
    setUp(StartFen);
    EXPECT_EQ(playMoveIfValid(engine, 0), 0);
    EXPECT_EQ(playMoveIfValid(engine, buildMove(E2, E5, KindPawn, Pawn)), 0);
    EXPECT_EQ(playMoveIfValid(engine, buildMove(E7, E5, KindDoubleStep, Pawn)), 0);
    EXPECT_EQ(playMoveIfValid(engine, buildMove(B1, D2, KindKnight, Knight)), 0);
    EXPECT_EQ(engine.board.ply, 0);

    // In check, a move that ignores the check is refused; a block is played.
    setUp("4r1k1/8/8/8/8/8/R7/4K3 w - - 0 1");
    EXPECT_EQ(playMoveIfValid(engine, buildMove(A2, A3, KindRook, Rook)), 0);
    EXPECT_EQ(engine.board.ply, 0);
    EXPECT_EQ(engine.board.squares[A2], Rook);
    EXPECT_EQ(playMoveIfValid(engine, buildMove(A2, E2, KindRook, Rook)), 1);
    EXPECT_EQ(engine.board.squares[E2], Rook);

    // A pinned knight stays.
    setUp("4k3/8/8/8/1b6/2N5/8/4K3 w - - 0 1");
    EXPECT_EQ(playMoveIfValid(engine, buildMove(C3, E2, KindKnight, Knight)), 0);
    EXPECT_EQ(engine.board.ply, 0);
}

TEST(MoveText, PlayRefusesWhenHistoryFull) {
    setUp(StartFen);
    const Move shuffle[4] = {
        buildMove(G1, F3, KindKnight, Knight), buildMove(G8, F6, KindKnight, Knight),
        buildMove(F3, G1, KindKnight, Knight), buildMove(F6, G8, KindKnight, Knight)};
    const int limit = engine.search->maxGame - engine.search->maxPly;
    ASSERT_EQ(limit, 936);
    // The game ends by repetition long before: the history limit holds anyway.
    ::testing::internal::CaptureStdout();
    int played = 0;
    while (played < limit && playMoveIfValid(engine, shuffle[played % 4])) ++played;
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(played, limit);
    EXPECT_EQ(engine.board.ply, limit);

    Move next = shuffle[limit % 4];
    for (int inProgress : {0, 1}) {
        engine.gameInProgress = inProgress;
        EXPECT_EQ(playMoveIfValid(engine, next), 0);
        EXPECT_EQ(parseUserMove(engine, "g1f3"), 0);
        EXPECT_EQ(engine.board.ply, limit);
        EXPECT_EQ(engine.board.squares[G1], Knight);
    }
}

TEST(MoveText, SendEngineMove) {
    engine.gameInProgress = 1;
    EXPECT_EQ(engineMoveLine(buildMove(E2, E4, KindDoubleStep, Pawn)), "move e2e4\n");
    EXPECT_EQ(engineMoveLine(buildMove(G8, F6, KindKnight, Knight)), "move g8f6\n");
    EXPECT_EQ(engineMoveLine(buildMove(E7, E8, KindPromoteQueen, Pawn, 0, Queen)), "move e7e8q\n");
    EXPECT_EQ(engineMoveLine(buildMove(B2, A1, KindPromoteKnight, Pawn, Rook, Knight)),
              "move b2a1n\n");
    EXPECT_EQ(engineMoveLine(buildMove(D7, C8, KindPromoteRook, Pawn, Bishop, Rook)),
              "move d7c8r\n");
    EXPECT_EQ(engineMoveLine(buildMove(H2, H1, KindPromoteBishop, Pawn, 0, Bishop)),
              "move h2h1b\n");
    // Castling is named by its wing, wherever the king starts.
    EXPECT_EQ(engineMoveLine(buildMove(E1, G1, KindCastleKingSide, King)), "move O-O\n");
    EXPECT_EQ(engineMoveLine(buildMove(E8, C8, KindCastleQueenSide, King)), "move O-O-O\n");
    EXPECT_EQ(engineMoveLine(buildMove(B1, G1, KindCastleKingSide, King)), "move O-O\n");
    EXPECT_EQ(engineMoveLine(buildMove(C1, C1, KindCastleQueenSide, King)), "move O-O-O\n");

    engine.gameInProgress = 0;
    EXPECT_EQ(engineMoveLine(buildMove(E2, E4, KindDoubleStep, Pawn)), "");
    EXPECT_EQ(engineMoveLine(buildMove(E1, G1, KindCastleKingSide, King)), "");
}
