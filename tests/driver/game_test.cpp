// Result lines: each game ends once, with the line of the first rule that holds.
#include "driver/game.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "test_support.h"

namespace {

void startGame(const char* fen) { ASSERT_EQ(setupPosition(engine, fen), 1) << fen; }

// Plays one move given in coordinates and runs the game-end detection; returns
// what was printed.
std::string playAndCheck(const char* text) {
    Board& board = engine.game.board;
    int count = generateMoves(board);
    std::vector<std::string> moves = listText(board, 0, count);
    auto it = std::find(moves.begin(), moves.end(), text);
    EXPECT_NE(it, moves.end()) << text;
    if (it == moves.end()) return "";
    Move move = board.stack->moveLists[0][it - moves.begin()].move;
    ::testing::internal::CaptureStdout();
    saveUndo(board);
    makeMove(board, move);
    checkGameEnd(engine);
    return ::testing::internal::GetCapturedStdout();
}

std::string checkOnly() {
    ::testing::internal::CaptureStdout();
    checkGameEnd(engine);
    return ::testing::internal::GetCapturedStdout();
}

// Plays a reversible move (no capture, no pawn) into a position not seen
// before, so that neither repetition nor material ends the game; without one,
// any move that does not end the game when allowed. Returns the output.
std::string shuffle(std::set<uint64_t>& seen, bool anyWhenStuck = false) {
    Board& board = engine.game.board;
    int count = generateMoves(board);
    Move fallback = 0;
    // Start the search at a point that wanders, so the pieces do not pile up.
    for (int k = 0; k < count; ++k) {
        Move move = board.stack->moveLists[0][(k + board.ply * 7) % count].move;
        bool reversible = !moveCaptured(move) && movePiece(move) != Pawn;
        if (!reversible && !anyWhenStuck) continue;
        saveUndo(board);
        makeMove(board, move);
        // Never mate or stalemate: the game must go on.
        if (generateLegalMoves(board, 1) == 0) {
            unmakeMove(board);
            continue;
        }
        if (!fallback) fallback = move;
        if (reversible && seen.insert(board.hashKey).second) {
            ::testing::internal::CaptureStdout();
            checkGameEnd(engine);
            return ::testing::internal::GetCapturedStdout();
        }
        unmakeMove(board);
    }
    if (!anyWhenStuck || !fallback) {
        ADD_FAILURE() << "no fresh reversible move at ply " << board.ply;
        return "";
    }
    saveUndo(board);
    makeMove(board, fallback);
    ::testing::internal::CaptureStdout();
    checkGameEnd(engine);
    return ::testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(GameEnd, MateStalemateAndMaterial) {
    startGame(StartFen);
    EXPECT_EQ(playAndCheck("f2f3"), "");
    EXPECT_EQ(playAndCheck("e7e5"), "");
    EXPECT_EQ(playAndCheck("g2g4"), "");
    EXPECT_EQ(playAndCheck("d8h4"), "0-1 {Checkmate}\n");
    EXPECT_EQ(engine.game.gameInProgress, 0);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(checkGameEnd(engine), 1);  // no game in progress: silent
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    startGame("7k/8/5KQ1/8/8/8/8/8 w - - 0 1");
    EXPECT_EQ(playAndCheck("g6g8"), "");  // check, not mate: the king takes
    startGame("7k/8/5KQ1/8/8/8/8/8 w - - 0 1");
    EXPECT_EQ(playAndCheck("g6f7"), "1/2-1/2 {Stalemate}\n");
    startGame("4k3/8/8/8/8/8/8/1Q2K3 w - - 0 1");
    EXPECT_EQ(playAndCheck("b1b8"), "");
    startGame("1k6/8/1K6/8/8/8/8/7R w - - 0 1");
    EXPECT_EQ(playAndCheck("h1h8"), "1-0 {Checkmate}\n");

    startGame("4k3/8/8/8/8/8/8/4KN2 w - - 0 1");
    EXPECT_EQ(checkOnly(), "1/2-1/2 {ScoreDraw by insufficient material}\n");
    startGame("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    EXPECT_EQ(checkOnly(), "");
    startGame("4k3/8/8/8/8/8/8/3NKN2 w - - 0 1");  // four men: played on
    EXPECT_EQ(checkOnly(), "");
    // The last capture leaves bare kings.
    startGame("4k3/8/8/8/8/8/3q4/4K3 w - - 0 1");
    EXPECT_EQ(playAndCheck("e1d2"), "1/2-1/2 {ScoreDraw by insufficient material}\n");
}

TEST(GameEnd, RepetitionFiftyMovesAndFullHistory) {
    startGame(StartFen);
    const char* dance[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(playAndCheck(dance[i % 4]), "") << i;
    EXPECT_EQ(playAndCheck(dance[3]), "1/2-1/2 {ScoreDraw by repetition}\n");

    // 100 reversible plies into fresh positions end the game; 99 do not.
    startGame("rnb1kbnr/8/8/8/8/8/8/RNB1KBNR w - - 0 1");
    std::set<uint64_t> seen{engine.game.board.hashKey};
    for (int ply = 1; ply < 100; ++ply) ASSERT_EQ(shuffle(seen), "") << ply;
    EXPECT_EQ(shuffle(seen), "1/2-1/2 {ScoreDraw by 50 move rule}\n");

    // Played on past the result, the history fills up at 936 plies; the side to
    // move loses.
    for (int ply = 101; ply < 936; ++ply) {
        engine.game.gameInProgress = 1;
        shuffle(seen, true);
    }
    engine.game.gameInProgress = 1;
    std::string line = shuffle(seen, true);
    ASSERT_EQ(engine.game.board.ply, 936);
    EXPECT_EQ(line, engine.game.board.toMove->colour == White ? "0-1 {White is out of stack}\n"
                                                              : "1-0 {Black is out of stack}\n");
}

TEST(GameEnd, DrawOffers) {
    startGame(StartFen);
    engine.search.root.bestRootScore = 0;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(considerDraw(engine, 0), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "draw\n");
    // Ahead by a little in a position with pawns: silent.
    engine.search.root.bestRootScore = 30;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(considerDraw(engine, 0), 0);
    engine.search.root.bestRootScore = 0;
    engine.settings.behavior_accept_remis = 0;
    EXPECT_EQ(considerDraw(engine, 0), 0);
    engine.settings.behavior_accept_remis = 1;
    engine.game.gameInProgress = 0;
    EXPECT_EQ(considerDraw(engine, 0), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// A quiet pawnless ending that the evaluation calls level is a recognised
// draw: accepted although the search saw a small edge, offered after the
// engine's move; not before five reversible plies.
TEST(GameEnd, RecognisedDrawInPawnlessEndings) {
    startGame("4k3/8/8/8/8/8/r7/4K2R w - - 0 1");
    engine.search.root.bestRootScore = 30;
    engine.game.lastDrawOfferPly = -100;
    for (const char* move : {"h1h2", "a2a3", "h2h3", "a3a4"}) playAndCheck(move);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(considerDraw(engine, 0), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    playAndCheck("h3h4");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(considerDraw(engine, 0), 1);
    EXPECT_EQ(considerDraw(engine, 1), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "draw\noffer draw\n");
    // A rook up is no draw.
    startGame("4k3/8/8/8/8/8/8/R3K2R w - - 0 1");
    for (const char* move : {"h1h2", "e8d8", "h2h3", "d8e8", "h3h4"}) playAndCheck(move);
    EXPECT_EQ(considerDraw(engine, 0), 0);
}

TEST(Game, SetupPositionStartsTheGame) {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(setupPosition(engine, "4k3/8/8/8/8/8/8/4K3 b - - 0 1"), 1);
    EXPECT_EQ(engine.game.gameInProgress, 1);
    EXPECT_EQ(engine.game.boardValid, 1);
    EXPECT_EQ(engine.game.self.isWhite, 1);  // the engine takes the side not to move
    EXPECT_EQ(engine.game.whitePlayer, &engine.game.self);
    EXPECT_STREQ(engine.game.startFen, "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    ASSERT_EQ(setupPosition(engine, "4k3/8/8/8/8/8/8/8 w - - 0 1"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "telluser wrong number of white kings!\n");
    // A rejected board is never played on.
    EXPECT_EQ(engine.game.gameInProgress, 0);
    EXPECT_EQ(engine.game.boardValid, 0);

    // The marked test position of pawns against pawns.
    ASSERT_EQ(setupPosition(engine, "8/8/PP6/PP6/6pp/6pp/8/1k4K1 w - - 0 1"), 1);
    EXPECT_EQ(engine.game.positionMarker, 1);
    ASSERT_EQ(setupPosition(engine, StartFen), 1);
    EXPECT_EQ(engine.game.positionMarker, 0);
    // An overlong text is cut at the field's width.
    std::string longText = std::string(StartFen) + std::string(400, ' ');
    ASSERT_EQ(setupPosition(engine, longText.c_str()), 1);
    EXPECT_EQ(std::string(engine.game.startFen).size(), 255u);
}
