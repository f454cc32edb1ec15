// Make and unmake: every field restored exactly, the consistency check (keys
// recomputed) after each move, the staged generators, the special moves.
#include "board/makemove.h"

#include <algorithm>
#include <random>
#include <sstream>
#include <tuple>

#include "board/attacks.h"
#include "board/check.h"
#include "board/movegen.h"
#include "test_support.h"

// Random games from every reference position (orthodox and fischerandom): at
// each ply every legal move and the null move are made and unmade, and the
// staged generators and the validators are checked against the legal moves.
TEST(MakeMove, RandomGamesRestoreEveryField) {
    std::mt19937 random(20261206);
    int made = 0, castlings = 0, enPassants = 0, promotions = 0;
    for (const std::string& fen : referenceFens()) {
        SCOPED_TRACE(fen);
        Board& board = referenceBoard(fen.c_str());
        for (int ply = 0, count; ply < 160 && (count = generateMoves(board)) > 0; ++ply) {
            std::vector<Move> legal;
            for (int i = 0; i < count; ++i) legal.push_back(board.stack->moveLists[0][i].move);
            const Board before = board;
            for (Move move : legal) {
                ASSERT_TRUE(validateMove(board, move)) << ply;
                saveUndo(board);
                makeMove(board, move);
                ++made;
                castlings += moveIsCastling(move);
                enPassants += moveIsEnPassant(move);
                promotions += movePromotion(move) != 0;
                ASSERT_EQ(findBoardInconsistency(board), nullptr) << ply << " " << std::hex << move;
                ASSERT_FALSE(canCaptureKing(board));
                unmakeMove(board);
                ASSERT_TRUE(sameBoard(board, before)) << ply;
            }
            // The staged generators give every legal move once, but for rook and
            // bishop promotions; their moves and the move made two plies back
            // must validate exactly when legal.
            std::vector<Move> candidates;
            if (!board.checkInfo) {
                saveUndo(board);
                makeNullMove(board);
                ASSERT_EQ(findBoardInconsistency(board), nullptr);
                unmakeNullMove(board);
                ASSERT_TRUE(sameBoard(board, before));
                int n = generateCaptures(board, 1) + generateQuietMoves(board, 2);
                for (int i = 0; i < n; ++i) candidates.push_back(board.stack->moveLists[1][i].move);
                for (Move move : legal) {
                    bool once =
                        moveKind(move) != KindPromoteRook && moveKind(move) != KindPromoteBishop;
                    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), move), once);
                }
            }
            if (board.ply >= 2) candidates.push_back(Move(board.stack->undo[board.ply - 2].move));
            for (Move move : candidates)
                EXPECT_EQ(isMoveLegal(board, move),
                          std::find(legal.begin(), legal.end(), move) != legal.end())
                    << std::hex << move;
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

// Position, moves, and the placement with castleRights (white, black),
// lastIrreversiblePly, epFile and fiftyMoveCount after them; each game is
// then taken back to its start.
TEST(MakeMove, SpecialMoves) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"4k3/3p4/8/4P3/8/8/8/4K3 b -", "d7d5", "4k3/8/8/3pP3/8/8/8/4K3 ; 0 0 1 4 0"},
        {"8/8/8/8/8/8/R3P2k/K7 w -", "e2e4", "8/8/8/8/4P3/8/R6k/K7 ; 0 0 1 0 0"},
        {"6k1/3p4/8/4P3/8/8/B7/K7 b -", "d7d5 e5d6", "6k1/8/3P4/8/8/8/B7/K7 ; 0 0 2 0 0"},
        {"8/3pk3/8/4P3/8/8/8/K3R3 b -", "d7d5 e5d6", "8/4k3/3P4/8/8/8/8/K3R3 ; 0 0 2 0 0"},
        {"5k2/8/8/8/8/8/8/4K2R w K", "e1g1", "5k2/8/8/8/8/8/8/5RK1 ; 0 0 1 0 1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq", "h1h2 a8a7 h2h1 e8d8",
         "3k3r/r7/8/8/8/8/8/R3K2R ; 2 0 0 0 4"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq", "h1h8", "r3k2R/8/8/8/8/8/8/R3K3 ; 2 2 1 0 0"},
        {"4k3/8/8/8/8/8/8/5KR1 w G", "f1g1", "4k3/8/8/8/8/8/8/5RK1 ; 0 0 1 0 1"},
        {"4k3/8/8/8/8/8/8/1RK5 w B", "c1c1", "4k3/8/8/8/8/8/8/2KR4 ; 0 0 1 0 1"},
    };
    for (auto [fen, moves, expected] : cases) {
        SCOPED_TRACE(fen);
        Board& board = boardFromFen(fen);
        const Board start = board;
        std::istringstream words(moves);
        for (std::string move; words >> move;) play(board, {move.c_str()});
        std::ostringstream state;
        state << positionFen(board).substr(0, positionFen(board).find(' ')) << " ;";
        for (int value : {int(board.white.castleRights), int(board.black.castleRights),
                          int(board.lastIrreversiblePly), int(board.epFile), fiftyMoveCount(board)})
            state << " " << value;
        EXPECT_EQ(state.str(), expected);
        while (board.ply) unmakeMove(board);
        EXPECT_TRUE(sameBoard(board, start));
    }
}
