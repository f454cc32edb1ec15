// Draw offers and a full game history. The transcripts drive the rest of the
// game through the protocol: set-up and refused moves (game, setboard) and the
// result lines, each game ending once with the first rule that holds (game).
#include "driver/game.h"

#include "board/makemove.h"
#include "test_support.h"

namespace {

void startGame(const char* fen, std::initializer_list<const char*> moves = {}) {
    ASSERT_EQ(setupPosition(engine, fen), 1) << fen;
    for (const char* move : moves) EXPECT_EQ(playMoveText(engine.game, move), 1) << move;
}

// Whether considerDraw has the engine say "offer draw".
int draw(int32_t score, int offer) {
    return considerDraw(engine.game, engine.settings, score, offer);
}

}  // namespace

TEST(Game, DrawOffers) {
    // Ahead by a little with pawns: no draw (the transcript game has the offers taken at
    // once, and not taken when behavior_accept_remis is off).
    startGame(StartFen);
    EXPECT_EQ(draw(30, 0), 0);
    EXPECT_EQ(draw(0, 0), 1);
    // A quiet level pawnless ending is a recognised draw, accepted despite a small edge and
    // offered after the engine's move, not again within ten plies; a rook up is no draw.
    startGame("4k3/8/8/8/8/8/r7/4K2R w - - 0 1", {"h1h2", "a2a3", "h2h3", "a3a4"});
    engine.game.lastDrawOfferPly = -100;
    EXPECT_EQ(draw(30, 0), 0);
    EXPECT_EQ(playMoveText(engine.game, "h3h4"), 1);
    EXPECT_EQ(draw(30, 0), 1);
    EXPECT_EQ(draw(30, 1), 1);
    EXPECT_EQ(draw(30, 1), 0);
    startGame("4k3/8/8/8/8/8/8/R3K2R w - - 0 1", {"h1h2", "e8d8", "h2h3", "d8e8", "h3h4"});
    EXPECT_EQ(draw(30, 0), 0);
}

TEST(Game, FullHistoryRefusesMoves) {
    Game& game = engine.game;
    startGame(StartFen);
    const char* dance[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int ply = 0; ply < MaxGamePlies; ++ply) playMoveText(game, dance[ply % 4]);
    EXPECT_EQ(game.board.ply, MaxGamePlies);
    EXPECT_EQ(playMoveText(game, "g1f3"), 0);
    // A take-back frees room.
    unmakeMove(game.board);
    EXPECT_EQ(playMoveText(game, dance[(MaxGamePlies - 1) % 4]), 1);
}
