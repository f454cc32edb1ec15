// Make and unmake: every field restored exactly, the consistency check after
// each move, the staged generators, the special moves (castling, en passant).
#include "board/makemove.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <string>

#include "board/attacks.h"
#include "board/check.h"
#include "board/movegen.h"
#include "test_support.h"

// Random games from every reference position (orthodox and fischerandom, with
// castling, en passant and promotions): at each ply every legal move and the
// null move are made and unmade, and the staged generators and the validators
// are checked against the legal moves.
TEST(MakeMove, RandomGamesRestoreEveryField) {
    std::mt19937 random(20261206);
    int made = 0, castlings = 0, enPassants = 0, promotions = 0;
    for (const std::string& fen : referenceFens()) {
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
                ASSERT_EQ(findBoardInconsistency(board), nullptr)
                    << fen << " ply " << ply << " move " << std::hex << move;
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
            // The staged generators give every legal move but rook and bishop
            // promotions exactly once; their other moves, and the move made two plies back, must
            // validate exactly when legal.
            std::vector<Move> candidates;
            if (!board.checkInfo) {
                int n = generateCaptures(board, 1) + generateQuietMoves(board, 2);
                for (int i = 0; i < n; ++i) candidates.push_back(board.stack->moveLists[1][i].move);
                for (Move move : legal) {
                    int kind = moveKind(move);
                    bool once = kind != KindPromoteRook && kind != KindPromoteBishop;
                    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), move), once) << fen;
                }
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
    EXPECT_TRUE(made > 100000 && castlings > 100 && enPassants > 20 && promotions > 100)
        << made << " " << castlings << " " << enPassants << " " << promotions;
}

// Special moves: the check state, castling rights, irreversible ply,
// fifty-move count and en-passant file they leave, fischerandom castling (the king's move to its
// rook's square); every case taken back to the start position.
TEST(MakeMove, SpecialMoves) {
    struct Case {
        const char *fen, *moves, *after;
        int whiteRights, blackRights, lastIrreversiblePly, checkInfo, epFile, fifty;
    };
    const char* rooks = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq";
    const Case cases[] = {
        // Double steps: an en-passant file only when a pawn can take; one
        // uncovering a rook's check along the rank.
        {"4k3/3p4/8/4P3/8/8/8/4K3 b -", "d7d5", "4k3/8/8/3pP3/8/8/8/4K3", 0, 0, 1, 0, 4, 0},
        {"8/8/8/8/8/8/R3P2k/K7 w -", "e2e4", "8/8/8/8/4P3/8/R6k/K7", 0, 0, 1, 1 + A2, 0, 0},
        // En passant opening a bishop's diagonal through the captured pawn, and
        // a rook's file while the pawn checks too.
        {"6k1/3p4/8/4P3/8/8/B7/K7 b -", "d7d5 e5d6", "6k1/8/3P4/8/8/8/B7/K7", 0, 0, 2, 1 + A2, 0,
         0},
        {"8/3pk3/8/4P3/8/8/8/K3R3 b -", "d7d5 e5d6", "8/4k3/3P4/8/8/8/8/K3R3", 0, 0, 2, DoubleCheck,
         0, 0},
        // Castling with the rook giving check: no earlier position recurs, but the
        // fifty-move count runs on.
        {"5k2/8/8/8/8/8/8/4K2R w K", "e1g1", "5k2/8/8/8/8/8/8/5RK1", 0, 0, 1, 1 + F1, 0, 1},
        // A rook that returns does not regain its right; a king move loses both
        // but is no irreversible move.
        {rooks, "h1h2 a8a7 h2h1 e8d8", "3k3r/r7/8/8/8/8/8/R3K2R", CastleQueenSide, 0, 0, 0, 0, 4},
        // Taking an unmoved rook removes its owner's right (and checks).
        {rooks, "h1h8", "r3k2R/8/8/8/8/8/8/R3K3", CastleQueenSide, CastleQueenSide, 1, 1 + H8, 0,
         0},
        // Fischerandom: king f1 and rook g1 swap; with the king already on c1
        // only the rook moves.
        {"4k3/8/8/8/8/8/8/5KR1 w G", "f1g1", "4k3/8/8/8/8/8/8/5RK1", 0, 0, 1, 0, 0, 1},
        {"4k3/8/8/8/8/8/8/1RK5 w B", "c1c1", "4k3/8/8/8/8/8/8/2KR4", 0, 0, 1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        Board& board = boardFromFen(c.fen);
        const Board start = board;
        std::istringstream moves(c.moves);
        for (std::string move; moves >> move;) play(board, {move.c_str()});
        EXPECT_EQ(positionFen(board).substr(0, positionFen(board).find(' ')), c.after);
        EXPECT_EQ(board.white.castleRights, c.whiteRights);
        EXPECT_EQ(board.black.castleRights, c.blackRights);
        EXPECT_EQ(board.lastIrreversiblePly, c.lastIrreversiblePly);
        EXPECT_EQ(board.checkInfo, c.checkInfo);
        EXPECT_EQ(board.epFile, c.epFile);
        EXPECT_EQ(fiftyMoveCount(board), c.fifty);
        while (board.ply) unmakeMove(board);
        EXPECT_TRUE(sameBoard(board, start));
    }
}
