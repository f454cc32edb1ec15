// The game: set-up and its rejections, the moves it refuses, result lines
// (each game ends once, with the line of the first rule that holds) and draws.
#include "driver/game.h"

#include <utility>

#include "board/makemove.h"
#include "test_support.h"

static void startGame(const char* fen) { ASSERT_EQ(setupPosition(engine, fen), 1) << fen; }

// What playing the move (coordinates) printed; the move must be played.
static std::string playAndCheck(const char* text) {
    return stdoutOf([&] { EXPECT_EQ(playMoveText(engine.game, text), 1) << text; });
}

// What considerDraw returned and printed.
static std::string draw(int32_t score, int offer) {
    int result = 0;
    std::string out =
        stdoutOf([&] { result = considerDraw(engine.game, engine.settings, score, offer); });
    return std::to_string(result) + " " + out;
}

static std::string checkOnly() {
    return stdoutOf([] { checkGameEnd(engine.game); });
}

TEST(Game, SetupAndRefusedMoves) {
    Game& game = engine.game;
    startGame("4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    EXPECT_EQ(game.whitePlayer, &game.self);  // the engine takes the side not to move
    EXPECT_STREQ(game.startFen, "4k3/8/8/8/8/8/8/4K3 b - - 0 1");
    startGame("8/8/PP6/PP6/6pp/6pp/8/1k4K1 w - - 0 1");  // the marked test position
    EXPECT_EQ(game.positionMarker, 1);
    // An overlong text is cut at the field's width.
    startGame((std::string(StartFen) + std::string(400, ' ')).c_str());
    EXPECT_EQ(game.positionMarker, 0);
    EXPECT_EQ(std::string(game.startFen).size(), 255u);
    // A rejected board, whole (nine white pawns) or without a side to move, is never played on.
    const std::pair<const char*, const char*> rejected[] = {
        {"rnbqkbnr/pppppppp/8/8/8/P7/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
         "telluser too many white pawns!\n"},
        {"8/8/8/8/8/8/8/8 x - - 0 1", "telluser no one to move!\n"}};
    for (const auto& row : rejected) {
        EXPECT_EQ(stdoutOf([&] { EXPECT_EQ(setupPosition(engine, row.first), 0); }), row.second);
        EXPECT_EQ(game.gameInProgress + game.boardValid, 0);
        EXPECT_EQ(playMoveIfValid(game, buildMove(E2, E4, KindDoubleStep, Pawn)), 0);
        EXPECT_EQ(playMoveText(game, "e2e4") + playMoveText(game, "O-O"), 0);
        EXPECT_EQ(game.board.ply, 0);
    }
    // Not legal here: none, ungenerated, blocked, the other side's, ignoring check, pinned.
    const std::pair<const char*, Move> refused[] = {
        {StartFen, 0},
        {StartFen, buildMove(E2, E5, KindPawn, Pawn)},
        {StartFen, buildMove(B1, D2, KindKnight, Knight)},
        {StartFen, buildMove(E7, E5, KindDoubleStep, Pawn)},
        {"4r1k1/8/8/8/8/8/R7/4K3 w - - 0 1", buildMove(A2, A3, KindRook, Rook)},
        {"4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1", buildMove(C3, E2, KindKnight, Knight)}};
    for (auto [fen, move] : refused) {
        startGame(fen);
        uint64_t key = game.board.hashKey;
        EXPECT_EQ(playMoveIfValid(game, move), 0) << fen;
        EXPECT_EQ(game.board.hashKey, key) << fen;
    }
}

TEST(GameEnd, MateStalemateAndMaterial) {
    const char* const material = "1/2-1/2 {ScoreDraw by insufficient material}\n";
    const char* const cases[][3] = {
        {"4k3/8/8/8/8/8/8/4KN2 w - - 0 1", nullptr, material},
        {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", nullptr, ""},
        {"4k3/8/8/8/8/8/8/3NKN2 w - - 0 1", nullptr, ""},       // four men: played on
        {"4k3/8/8/8/8/8/3q4/4K3 w - - 0 1", "e1d2", material},  // to bare kings
        {"7k/8/5KQ1/8/8/8/8/8 w - - 0 1", "g6g8", ""},          // not mate: the king takes
        {"7k/8/5KQ1/8/8/8/8/8 w - - 0 1", "g6f7", "1/2-1/2 {Stalemate}\n"},
        {"1k6/8/1K6/8/8/8/8/7R w - - 0 1", "h1h8", "1-0 {Checkmate}\n"},
        {"8/8/8/8/8/6k1/r7/7K b - - 0 1", "a2a1", "0-1 {Checkmate}\n"}};
    for (const auto& [fen, move, line] : cases) {
        startGame(fen);
        EXPECT_EQ(move ? playAndCheck(move) : checkOnly(), line) << fen;
    }
    EXPECT_EQ(stdoutOf([] { EXPECT_EQ(checkGameEnd(engine.game), 1); }), "");  // over: silent
}

TEST(GameEnd, RepetitionFiftyMovesAndFullHistory) {
    Game& game = engine.game;
    startGame(StartFen);
    const char* dance[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(playAndCheck(dance[i % 4]), "") << i;
    EXPECT_EQ(playAndCheck(dance[3]), "1/2-1/2 {ScoreDraw by repetition}\n");
    // Played on: the 99th ply still repeats, the 100th comes under the fifty-move rule first.
    for (int ply = 8; ply < 98; ++ply) playAndCheck(dance[ply % 4]);
    game.gameInProgress = 1;
    EXPECT_EQ(playAndCheck(dance[2]), "1/2-1/2 {ScoreDraw by repetition}\n");
    game.gameInProgress = 1;
    EXPECT_EQ(playAndCheck(dance[3]), "1/2-1/2 {ScoreDraw by 50 move rule}\n");
    // A full history refuses further moves; a take-back frees room.
    for (int ply = 100; ply < MaxGamePlies; ++ply) playMoveText(game, dance[ply % 4]);
    EXPECT_EQ(playMoveText(game, "g1f3"), 0);
    unmakeMove(game.board);
    EXPECT_EQ(playMoveText(game, dance[(MaxGamePlies - 1) % 4]), 1);
    EXPECT_EQ(game.board.ply, MaxGamePlies);
}

TEST(GameEnd, DrawOffers) {
    Settings& settings = engine.settings;
    startGame(StartFen);
    EXPECT_EQ(draw(0, 0), "1 offer draw\n");
    // Ahead by a little in a position with pawns, not accepting, or no game: silent.
    EXPECT_EQ(draw(30, 0), "0 ");
    settings.behavior_accept_remis = 0;
    EXPECT_EQ(draw(0, 0), "0 ");
    settings.behavior_accept_remis = 1;
    engine.game.gameInProgress = 0;
    EXPECT_EQ(draw(0, 0), "0 ");
    // A quiet level pawnless ending is a recognised draw, accepted despite a small edge and
    // offered after the engine's move, not again within ten plies; a rook up is no draw.
    startGame("4k3/8/8/8/8/8/r7/4K2R w - - 0 1");
    engine.game.lastDrawOfferPly = -100;
    for (const char* move : {"h1h2", "a2a3", "h2h3", "a3a4"}) playAndCheck(move);
    EXPECT_EQ(draw(30, 0), "0 ");
    playAndCheck("h3h4");
    EXPECT_EQ(draw(30, 0), "1 offer draw\n");
    EXPECT_EQ(draw(30, 1), "1 offer draw\n");
    EXPECT_EQ(draw(30, 1), "0 ");
    startGame("4k3/8/8/8/8/8/8/R3K2R w - - 0 1");
    for (const char* move : {"h1h2", "e8d8", "h2h3", "d8e8", "h3h4"}) playAndCheck(move);
    EXPECT_EQ(draw(30, 0), "0 ");
}
