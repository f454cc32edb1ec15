// The game: the position and its history, the players, and the game's state;
// its set-up, the moves played into it, its end on the board (mate,
// stalemate, fifty moves, repetition, insufficient material)
// and the answer to draw offers.
#pragma once

#include <cstdint>

#include "board/types.h"

struct Engine;
struct Settings;

struct PlayerRecord {
    char name[64];
};

struct Game {
    Board board;
    BoardStack stack;  // the game's undo records; the search continues on them
    int boardValid;    // 1 once a setup passed validation; nothing plays on a rejected board
    int gameInProgress;
    int variant;  // 0 normal chess, 1 fischerandom
    int resignAllowed;
    int lastDrawOfferPly;
    int positionMarker;  // a marked test position: thinking lines show the score 0
    // The result line of the game's end on the board ("1-0 {Checkmate}"),
    // owed to a GUI that is told results; null while none is owed.
    const char* resultLine;
    PlayerRecord self;
    PlayerRecord opponent;
    int opponentIsComputer;
    PlayerRecord* whitePlayer;
    PlayerRecord* blackPlayer;
    char startFen[256];
};

// An empty game, the engine playing Black.
void initGame(Game& game);

// Gives whitePlayer and blackPlayer their records.
void setPlayerColours(Game& game, int engineIsWhite);

// The game from FEN text, the tables left as they are. Returns 1 when
// accepted; otherwise 0 with the reason in message (FenMessageSize bytes),
// and nothing may be played on the board.
int setupGame(Game& game, const char* text, char* message);

// New game from FEN text: resets the game state and the search's memory,
// parses, and on success starts the game with the engine on the side not to
// move. Returns 1 when accepted; otherwise 0, with the reason in message
// (FenMessageSize bytes) when one is given.
int setupPosition(Engine& engine, const char* text, char* message = nullptr);

// No room for another move: the rest of the undo records belong to the search.
inline bool historyFull(const Game& game) { return game.board.ply >= MaxGamePlies; }

// The one door for a move from outside into the game: validates, plays, and
// runs the game-end detection. Returns 1 when played.
int playMoveIfValid(Game& game, Move move);

// A move typed or sent as text, in coordinates ("e2e4", "e7e8q", "O-O") or
// SAN ("Nf3", "exd8=Q+"), played when it is legal. Returns 1 when played;
// ambiguous, when given, tells whether the text was SAN that names two moves.
int playMoveText(Game& game, const char* text, bool* ambiguous = nullptr);

// Ends a game that the board has finished, its result line owed in
// resultLine. Returns 1 when no game was in progress on entry, else 0.
int checkGameEnd(Game& game);

// offer 0: whether to answer the opponent's offer with "offer draw", which
// accepts it; offer 1: whether to offer one after the engine's move. score:
// the last search's best score, the engine's view. Returns 1 for "offer draw".
int considerDraw(Game& game, const Settings& settings, int32_t score, int offer);
