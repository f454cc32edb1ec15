// Make and unmake: every maintained field restored bit for bit, keys equal to a
// recomputation from scratch, and the incremental check state exact.
#include "board/makemove.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "board/attacks.h"
#include "board/check.h"
#include "board/movegen.h"
#include "test_support.h"

namespace {}  // namespace

// Random games from every reference position (orthodox and fischerandom, with
// castling, en passant and promotions): at each ply every legal move is made
// and unmade, the null move too, and moves from outside the legal list are
// offered to the validators.
TEST(MakeMove, RandomGamesRestoreEveryField) {
    std::mt19937 random(20261206);
    std::vector<std::string> fens = referenceFens();
    ASSERT_GT(fens.size(), 90u);
    int made = 0, castlings = 0, enPassants = 0, promotions = 0;
    for (const std::string& fen : fens) {
        Board& board = referenceBoard(fen.c_str());
        for (int ply = 0; ply < 160; ++ply) {
            int count = generateMoves(board);
            if (count == 0) break;
            std::vector<Move> legal;
            for (int i = 0; i < count; ++i) legal.push_back(board.stack->moveLists[0][i].move);
            const Board before = board;
            for (Move move : legal) {
                ASSERT_TRUE(validateMove(board, move)) << fen << " ply " << ply;
                saveUndo(board);
                makeMove(board, move);
                ++made;
                castlings += moveIsCastling(move);
                enPassants += moveIsEnPassant(move);
                promotions += movePromotion(move) != 0;
                const char* error = findBoardInconsistency(board);
                ASSERT_EQ(error, nullptr) << fen << " ply " << ply << " move " << std::hex << move;
                ASSERT_FALSE(canCaptureKing(board)) << fen;
                unmakeMove(board);
                ASSERT_TRUE(sameBoard(board, before)) << fen << " ply " << ply;
            }
            if (!board.checkInfo) {
                saveUndo(board);
                makeNullMove(board);
                ASSERT_EQ(findBoardInconsistency(board), nullptr) << fen;
                unmakeNullMove(board);
                ASSERT_TRUE(sameBoard(board, before));
            }
            // Pseudo-legal moves of both staged generators, and the moves of the
            // position two plies back, must validate exactly when legal.
            std::vector<Move> candidates;
            if (!board.checkInfo) {
                int captures = generateCaptures(board, 1);
                int quiet = generateQuietMoves(board, 2);
                for (int i = 0; i < captures + quiet; ++i)
                    candidates.push_back(board.stack->moveLists[1][i].move);
            }
            if (board.ply >= 2) candidates.push_back(Move(board.stack->undo[board.ply - 2].move));
            for (Move move : candidates) {
                bool isLegal = std::find(legal.begin(), legal.end(), move) != legal.end();
                EXPECT_EQ(isMoveLegal(board, move), isLegal) << fen << " " << std::hex << move;
            }
            ASSERT_TRUE(sameBoard(board, before));
            saveUndo(board);
            makeMove(board, legal[random() % legal.size()]);
        }
        while (board.ply > 0) unmakeMove(board);
        ASSERT_EQ(findBoardInconsistency(board), nullptr);
    }
    // The games must have exercised the rare moves.
    EXPECT_GT(made, 100000);
    EXPECT_GT(castlings, 100);
    EXPECT_GT(enPassants, 20);
    EXPECT_GT(promotions, 100);
}

TEST(MakeMove, KeysAndEnPassantFile) {
    Board& board = boardFromFen(StartFen);
    EXPECT_EQ(board.hashKey & 1, 1u);
    const uint64_t whiteToMoveKey = board.hashKey;
    play(board, {"e2e4"});
    EXPECT_EQ(board.hashKey & 1, 0u);
    // No black pawn beside e4: no en-passant file, no en-passant key.
    EXPECT_EQ(board.epFile, 0);
    EXPECT_EQ(board.white.hashPart, computeHashKey(board) ^ board.black.hashPart);
    const uint64_t afterDoubleStep = board.hashKey;
    play(board, {"g8f6", "e4e5", "d7d5"});
    EXPECT_EQ(board.epFile, 4);
    EXPECT_EQ(board.toMove->colour, White);
    while (board.ply) unmakeMove(board);
    EXPECT_EQ(board.hashKey, whiteToMoveKey);

    // A useless double step transposes to the same key as the long way round.
    play(board, {"g1f3", "g8f6", "f3g1", "f6g8", "e2e4"});
    EXPECT_EQ(board.hashKey, afterDoubleStep);
}

TEST(MakeMove, CheckStateOfSpecialMoves) {
    // A double step that uncovers a rook's check on the rank.
    Board* board = &boardFromFen("8/8/8/8/8/8/R3P2k/K7 w - - 0 1");
    play(*board, {"e2e4"});
    EXPECT_EQ(board->checkInfo, 1 + 8);

    // En passant that opens a bishop's diagonal through the captured pawn.
    board = &boardFromFen("6k1/3p4/8/4P3/8/8/B7/K7 b - - 0 1");
    play(*board, {"d7d5", "e5d6"});
    EXPECT_EQ(board->checkInfo, 1 + 8);  // bishop a2

    // En passant that opens a file for a rook while the pawn checks too.
    board = &boardFromFen("8/3pk3/8/4P3/8/8/8/K3R3 b - - 0 1");
    play(*board, {"d7d5", "e5d6"});
    EXPECT_EQ(board->checkInfo, DoubleCheck);

    // Castling in which the rook gives check.
    board = &boardFromFen("5k2/8/8/8/8/8/8/4K2R w K - 0 1");
    play(*board, {"e1g1"});
    EXPECT_EQ(board->checkInfo, 1 + 5);
}

TEST(MakeMove, CastlingRightsAndIrreversiblePlies) {
    Board& board = boardFromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    // A rook that leaves and returns does not regain its right.
    play(board, {"h1h2", "a8a7", "h2h1"});
    EXPECT_EQ(board.white.castleRights, CastleQueenSide);
    EXPECT_EQ(board.black.castleRights, CastleKingSide);
    // A king move loses both rights but is no irreversible move.
    int16_t before = board.lastIrreversiblePly;
    play(board, {"e8d8"});
    EXPECT_EQ(board.black.castleRights, 0);
    EXPECT_EQ(board.lastIrreversiblePly, before);

    // Taking an unmoved rook on its start square removes its owner's right.
    Board& other = boardFromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    play(other, {"h1h8"});
    EXPECT_EQ(other.black.castleRights, CastleQueenSide);
    EXPECT_EQ(other.white.castleRights, CastleQueenSide);
    EXPECT_EQ(other.lastIrreversiblePly, other.ply);
}

TEST(MakeMove, MaterialAndSignatures) {
    Board& board = boardFromFen(StartFen);
    uint64_t signature = board.white.materialSignature;
    EXPECT_EQ(signature, board.black.materialSignature);
    EXPECT_EQ(signature & 0xF, 8u);           // pawns
    EXPECT_EQ((signature >> 4) & 0xF, 2u);    // knights
    EXPECT_EQ((signature >> 8) & 0xF, 2u);    // bishops
    EXPECT_EQ((signature >> 12) & 0xF, 2u);   // rooks
    EXPECT_EQ((signature >> 16) & 0xF, 1u);   // queens
    EXPECT_EQ((signature >> 20) & 0xF, 7u);   // non-pawn men
    EXPECT_EQ((signature >> 24) & 0xF, 15u);  // all men but the king
    EXPECT_EQ((signature >> 28) & 0xF, 4u);   // minors
    EXPECT_EQ((signature >> 32) & 0xF, 4u);   // heavy weight
    EXPECT_EQ((signature >> 36) & 0xF, 0u);
    EXPECT_EQ((signature >> 40) & 0xFF, 40u);  // pawn units
    EXPECT_EQ((signature >> 48) & 0xFF, 168u);
    EXPECT_EQ((signature >> 56) & 0xFF, 6u);
    EXPECT_EQ(board.white.material, 8 * 100 + 2 * 395 + 2 * 420 + 2 * 642 + 1310);

    // A promotion with capture: material by (queen - pawn), signature by the
    // difference of increments, one man fewer for the victim's side only.
    Board& promo = boardFromFen("1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    int material = promo.white.material, count = promo.pieceCount;
    uint64_t whiteSignature = promo.white.materialSignature;
    play(promo, {"a7b8q"});
    EXPECT_EQ(promo.white.material, material + 1310 - 100);
    EXPECT_EQ(promo.white.materialSignature,
              whiteSignature + signatureIncrement[Queen] - signatureIncrement[Pawn]);
    EXPECT_EQ(promo.pieceCount, count - 1);
    EXPECT_EQ(promo.black.material, 0);
}

TEST(MakeMove, FischerandomCastlingWithSwappedSquares) {
    // King on f1 and rook on g1: king-side castling swaps them.
    Board& board = boardFromFen("4k3/8/8/8/8/8/8/5KR1 w G - 0 1");
    play(board, {"f1g1"});
    EXPECT_EQ(board.squares[G1], King);
    EXPECT_EQ(board.squares[F1], Rook);
    unmakeMove(board);
    EXPECT_EQ(board.squares[F1], King);
    EXPECT_EQ(board.squares[G1], Rook);
    // King already on c1 with the rook on b1: only the rook moves.
    Board& queenSide = boardFromFen("4k3/8/8/8/8/8/8/1RK5 w B - 0 1");
    play(queenSide, {"c1c1"});
    EXPECT_EQ(queenSide.squares[C1], King);
    EXPECT_EQ(queenSide.squares[D1], Rook);
    EXPECT_EQ(queenSide.squares[B1], NoPiece);
}
