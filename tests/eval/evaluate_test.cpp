// The evaluation as a whole: colour symmetry over many positions, the cache
// and what it must not keep, the draw shortcuts and the damping.
#include "eval/evaluate.h"

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "search/tt.h"
#include "test_support.h"

namespace {

int32_t evaluateFen(const char* fen) {
    return evaluate(testEval(), boardFromFen(fen), -FullWindow, FullWindow);
}

bool cached(const Board& board) {
    return testEval().cache[board.hashKey & (EvalCacheSize - 1)].key == board.hashKey;
}

}  // namespace

// Random games from every reference position, taking pieces eagerly, and random
// placements of thin material that games seldom reach: openings, middle games,
// pawn endings and pawnless endings, shared with the pawn-structure mirror test.
std::vector<std::string> gamePositions() {
    static std::vector<std::string> fens;
    if (!fens.empty()) return fens;
    std::mt19937 random(4401);
    for (const std::string& start : referenceFens()) {
        Board& game = referenceBoard(start.c_str());
        for (int ply = 0; ply < 200 && game.ply < 900; ++ply) {
            fens.push_back(positionFen(game));
            int count = generateLegalMoves(game, 0);
            if (count == 0) break;
            const MoveEntry* moves = game.stack->moveLists[0];
            Move move = moves[random() % count].move;
            for (int i = 0; i < count && random() % 4 != 0; ++i)
                if (moveCaptured(moves[i].move) >= Knight) move = moves[i].move;
            saveUndo(game);
            makeMove(game, move);
        }
    }
    const char* const thin[] = {"RBr",  "Qr",   "BN",   "NN",   "BB",      "RRq",   "NNN",
                                "BBNr", "RNrn", "RPr",  "RPPr", "BPPb",    "NNppp", "BPn",
                                "NPb",  "Qrpp", "QNqp", "Rrp",  "RBNrbpp", "RPp",   "BP",
                                "Bpp",  "Qp",   "BPbp", "NPPn", "NNPpp"};
    for (int i = 0; i < 4000; ++i) {
        std::array<char, 64> men{};
        for (char man : "Kk" + std::string(thin[i % std::size(thin)])) {
            int low = (man | 0x20) == 'p' ? 8 : 0, square;  // pawns off the back ranks
            do square = low + int(random() % unsigned(64 - 2 * low));
            while (men[square]);
            men[square] = man;
        }
        fens.push_back(squaresFen(men, random() & 1));
    }
    return fens;
}

// The colour-flipped position must score exactly the negated value. The one
// rounding that favours a colour, the arithmetic shift in a pawnless position
// whose score is otherwise 0, is allowed a difference of one.
TEST(Evaluate, MirroredPositionNegatesTheScore) {
    testEval().rootPieceCount = 0;
    int compared = 0, pawnEndings = 0, pawnless = 0, endgames = 0, shifted = 0;
    for (const std::string& fen : gamePositions()) {
        Board board, mirror;
        char message[FenMessageSize];
        if (!parseFen(board, engine.game.stack, fen.c_str(), message)) continue;  // nine pawns
        ASSERT_EQ(parseFen(mirror, engine.game.stack, mirrorFen(fen).c_str(), message), 1);
        bool noPawns = !(board.white.pawns | board.black.pawns);
        bool noPieces =
            !((board.white.materialSignature | board.black.materialSignature) & SignaturePieces);
        int32_t score = evaluate(testEval(), board, -FullWindow, FullWindow);
        int32_t mirrored = evaluate(testEval(), mirror, -FullWindow, FullWindow);
        ASSERT_TRUE(mirrored == -score || (noPawns && score + mirrored == 1)) << fen;
        shifted += mirrored != -score;
        ++compared;
        pawnless += noPawns;
        pawnEndings += noPieces && !noPawns;
        endgames += !noPawns && !noPieces && board.phase <= 14;
    }
    EXPECT_GT(compared, 10000);
    EXPECT_GT(std::min({pawnless, pawnEndings, endgames}), 100);
    EXPECT_LT(shifted, compared / 100);
}

// A hit returns the stored value whatever the window; a lazy bound is not
// stored, so the next call with a wide window computes the full score.
TEST(Evaluate, CacheKeepsOnlyFullScores) {
    clearSearchMemory(engine.search);
    // White is a queen up: far above a window around 0.
    Board& board = boardFromFen("rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_EQ(evaluate(testEval(), board, -50, 0), 0);
    EXPECT_FALSE(cached(board));
    int32_t full = evaluate(testEval(), board, -FullWindow, FullWindow);
    EXPECT_GT(full, 1000);
    EXPECT_TRUE(cached(board));
    EXPECT_EQ(evaluate(testEval(), board, -50, 0), full);
    // Black to move and a queen down: the bound comes back in White's view.
    clearSearchMemory(engine.search);
    Board& black = boardFromFen("rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_EQ(evaluate(testEval(), black, 10, 50), -10);
    EXPECT_FALSE(cached(black));
}

// Draw shortcuts that return 0 without storing: every file closed with no
// capture possible, and a side to move that is stalemated.
TEST(Evaluate, LockedAndStalematedPositionsAreZero) {
    Board& locked = boardFromFen("r3k2r/8/8/1p1p1p1p/pPpPpPpP/P1P1P1P1/8/RQ2KB1R w - - 0 1");
    EXPECT_EQ(evaluate(testEval(), locked, -FullWindow, FullWindow), 0);
    EXPECT_FALSE(cached(locked));
    // Black: king h8 boxed in by the queen, pawn blocked, no capture.
    Board& stalemate = boardFromFen("7k/5Q2/8/p7/P7/8/8/K7 b - - 0 1");
    EXPECT_EQ(evaluate(testEval(), stalemate, -FullWindow, FullWindow), 0);
    EXPECT_FALSE(cached(stalemate));
    EXPECT_GT(evaluateFen("7k/5Q2/8/p7/P7/8/8/K7 w - - 0 1"), 1000);  // White to move wins
    EXPECT_NE(evaluateFen("7k/7P/6K1/p7/P7/8/8/8 b - - 0 1"), 0);  // pawn endings have no such test
}

// After more than fifty reversible plies the score is halved towards zero, and
// the halved score is what the cache keeps.
TEST(Evaluate, FiftyMoveDamping) {
    const char* fen = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 0 1";
    clearSearchMemory(engine.search);
    int32_t fresh = evaluateFen(fen);
    Board& board = boardFromFen(fen);
    for (int round = 0; round < 13; ++round) play(board, {"f3g1", "c6b8", "g1f3", "b8c6"});
    ASSERT_EQ(board.ply - board.lastIrreversiblePly, 52);
    clearSearchMemory(engine.search);
    EXPECT_EQ(evaluate(testEval(), board, -FullWindow, FullWindow), fresh / 2);
    EXPECT_EQ(testEval().cache[board.hashKey & (EvalCacheSize - 1)].score, fresh / 2);
}

// Four men or fewer: a recognised win is worth WinScore only below the root's
// material; a recognised draw is 0; neither is cached.
TEST(Evaluate, EndgameGate) {
    clearSearchMemory(engine.search);
    testEval().rootPieceCount = 4;
    Board& rook = boardFromFen("8/8/8/4k3/8/8/8/R3K3 w - - 0 1");
    EXPECT_EQ(evaluate(testEval(), rook, -FullWindow, FullWindow), WinScore);
    EXPECT_FALSE(cached(rook));
    testEval().rootPieceCount = 3;
    int32_t played = evaluateFen("8/8/8/4k3/8/8/8/R3K3 w - - 0 1");
    EXPECT_TRUE(played > 500 && played < WinScore) << played;
    Board& knights = boardFromFen("8/8/8/4k3/8/8/8/1NN1K3 w - - 0 1");
    EXPECT_EQ(evaluate(testEval(), knights, -FullWindow, FullWindow), 0);
    EXPECT_FALSE(cached(knights));
    testEval().rootPieceCount = 0;
}
