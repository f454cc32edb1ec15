// The evaluation as a whole: colour symmetry over many positions, the cache
// and what it must not keep, tempo, the draw shortcuts and the damping.
#include "eval/evaluate.h"

#include <random>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/pawns.h"
#include "search/tt.h"
#include "test_support.h"

namespace {

int32_t evaluateFen(const std::string& fen, int32_t alpha = -FullWindow,
                    int32_t beta = FullWindow) {
    return evaluate(boardFromFen(fen.c_str()), alpha, beta);
}

bool cached(const Board& board) {
    return evalCache[board.hashKey & (EvalCacheSize - 1)].key == board.hashKey;
}

}  // namespace

// Random games from every reference position (orthodox and fischerandom),
// taking pieces eagerly, pass through openings, middle games, pawn endings and pawnless endings;
// the colour-flipped position must score exactly the negated value. The one rounding that favours a
// colour, the arithmetic shift in a pawnless position whose score is otherwise 0, is allowed a
// difference of one.
TEST(Evaluate, MirroredPositionNegatesTheScore) {
    std::mt19937 random(4401);
    rootPieceCount = 0;
    int compared = 0, pawnEndings = 0, pawnless = 0, endgames = 0, shifted = 0;
    for (const std::string& start : referenceFens()) {
        Board& game = referenceBoard(start.c_str());
        std::vector<std::string> fens;
        for (int ply = 0; ply < 200 && game.ply < 900; ++ply) {
            fens.push_back(positionFen(game));
            int count = generateLegalMoves(game, 0);
            if (count == 0) break;
            // Pieces are taken eagerly, so that games reach every kind of ending.
            const MoveEntry* moves = game.stack->moveLists[0];
            Move move = moves[random() % count].move;
            for (int i = 0; i < count && random() % 4 != 0; ++i) {
                if (moveCaptured(moves[i].move) >= Knight) move = moves[i].move;
            }
            saveUndo(game);
            makeMove(game, move);
        }
        for (const std::string& fen : fens) {
            Board board;
            char message[FenMessageSize];
            if (!parseFen(board, engine.game.stack, fen.c_str(), message)) continue;  // nine pawns
            Board mirror;
            ASSERT_EQ(
                parseFen(mirror, engine.game.stack, positionFen(board, true).c_str(), message), 1);
            bool noPawns = !(board.white.pawns | board.black.pawns);
            bool noPieces =
                !((board.white.materialSignature | board.black.materialSignature) & 0xFFFF0);
            int32_t score = evaluate(board, -FullWindow, FullWindow);
            int phase = board.phase;
            int32_t mirrored = evaluate(mirror, -FullWindow, FullWindow);
            ++compared;
            pawnless += noPawns;
            pawnEndings += noPieces && !noPawns;
            endgames += !noPawns && !noPieces && phase <= 14;
            if (noPawns && score + mirrored == 1) {
                ++shifted;
                continue;
            }
            ASSERT_EQ(mirrored, -score) << fen;
        }
    }
    EXPECT_GT(compared, 10000);
    EXPECT_GT(pawnless, 100);
    EXPECT_GT(pawnEndings, 100);
    EXPECT_GT(endgames, 100);
    EXPECT_LT(shifted, compared / 100);
}

TEST(Evaluate, StartPositionIsTempoOnly) {
    EXPECT_EQ(evaluateFen(StartFen), 8);
    EXPECT_EQ(evaluateFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"), -8);
}

// A hit returns the stored value whatever the window; a lazy bound is not
// stored, so the next call with a wide window computes the full score.
TEST(Evaluate, CacheKeepsOnlyFullScores) {
    clearTables();
    // White is a queen up: far above a window around 0.
    const char* fen = "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    Board& board = boardFromFen(fen);
    EXPECT_EQ(evaluate(board, -50, 0), 0);
    EXPECT_FALSE(cached(board));
    int32_t full = evaluate(board, -FullWindow, FullWindow);
    EXPECT_GT(full, 1000);
    EXPECT_TRUE(cached(board));
    EXPECT_EQ(evaluate(board, -50, 0), full);

    // Black to move and a queen down: the bound comes back in White's view.
    clearTables();
    Board& black = boardFromFen("rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_EQ(evaluate(black, 0, 50), 0);
    EXPECT_EQ(evaluate(black, 10, 50), -10);
    EXPECT_FALSE(cached(black));
}

// Draw shortcuts that return 0 without storing: every file closed with no
// capture possible, and a side to move that is stalemated.
TEST(Evaluate, LockedAndStalematedPositionsAreZero) {
    const char* locked = "r3k2r/8/8/1p1p1p1p/pPpPpPpP/P1P1P1P1/8/RQ2KB1R w - - 0 1";
    Board& board = boardFromFen(locked);
    EXPECT_EQ(evaluate(board, -FullWindow, FullWindow), 0);
    EXPECT_FALSE(cached(board));

    // Black: king h8 boxed in by the queen, pawn blocked, no capture.
    Board& stalemate = boardFromFen("7k/5Q2/8/p7/P7/8/8/K7 b - - 0 1");
    EXPECT_EQ(evaluate(stalemate, -FullWindow, FullWindow), 0);
    EXPECT_FALSE(cached(stalemate));
    // The same with White to move is simply winning.
    EXPECT_GT(evaluateFen("7k/5Q2/8/p7/P7/8/8/K7 w - - 0 1"), 1000);
    // Pure pawn endings have no such test.
    EXPECT_NE(evaluateFen("7k/7P/6K1/p7/P7/8/8/8 b - - 0 1"), 0);
}

// After more than fifty reversible plies the score is halved towards zero, and
// the halved score is what the cache keeps.
TEST(Evaluate, FiftyMoveDamping) {
    const char* fen = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 0 1";
    clearTables();
    int32_t fresh = evaluateFen(fen);
    Board& board = boardFromFen(fen);
    for (int round = 0; round < 13; ++round) play(board, {"f3g1", "c6b8", "g1f3", "b8c6"});
    ASSERT_EQ(board.ply - board.lastIrreversiblePly, 52);
    clearTables();
    EXPECT_EQ(evaluate(board, -FullWindow, FullWindow), fresh / 2);
    EXPECT_EQ(evalCache[board.hashKey & (EvalCacheSize - 1)].score, fresh / 2);
}

// Four men or fewer: a recognised win is worth WinScore only below the root's
// material; a recognised draw is 0; neither is cached.
TEST(Evaluate, EndgameGate) {
    clearTables();
    Board& rook = boardFromFen("8/8/8/4k3/8/8/8/R3K3 w - - 0 1");
    rootPieceCount = 4;
    EXPECT_EQ(evaluate(rook, -FullWindow, FullWindow), WinScore);
    EXPECT_FALSE(cached(rook));
    Board& blackRook = boardFromFen("r3k3/8/8/8/4K3/8/8/8 b - - 0 1");
    EXPECT_EQ(evaluate(blackRook, -FullWindow, FullWindow), -WinScore);
    rootPieceCount = 3;
    Board& same = boardFromFen("8/8/8/4k3/8/8/8/R3K3 w - - 0 1");
    int32_t played = evaluate(same, -FullWindow, FullWindow);
    EXPECT_GT(played, 500);
    EXPECT_LT(played, WinScore);

    Board& knights = boardFromFen("8/8/8/4k3/8/8/8/1NN1K3 w - - 0 1");
    EXPECT_EQ(evaluate(knights, -FullWindow, FullWindow), 0);
    EXPECT_FALSE(cached(knights));
    rootPieceCount = 0;
}

TEST(Evaluate, PawnlessPositionsLeaveThePawnTableAlone) {
    Board& board = boardFromFen("8/8/3bk3/8/8/3NK3/8/8 w - - 0 1");
    board.evalScratch = nullptr;
    evaluate(board, -FullWindow, FullWindow);
    EXPECT_EQ(board.evalScratch, nullptr);
}
