// The game: its set-up, the moves played into it, its end on the board (mate,
// stalemate, fifty moves, repetition, insufficient material, a full history)
// and the answer to draw offers.
#pragma once

#include "board/types.h"

struct Engine;

// New game from FEN text: resets the game state, parses, and on success
// starts the game with the engine on the side not to move. Reports a rejection
// as "telluser <reason>". Returns 1 when accepted.
int setupPosition(Engine& engine, const char* text);

// The one door for a move from outside into the game: validates, plays, and
// runs the game-end detection. Returns 1 when played.
int playMoveIfValid(Engine& engine, Move move);

// A move typed or sent as text ("e2e4", "e7e8q", "O-O"), played when it is
// legal. Returns 1 when played.
int playMoveText(Engine& engine, const char* text);

// Announces a finished game with its result line and clears gameInProgress.
// Returns 1 when no game was in progress on entry, else 0.
int checkGameEnd(Engine& engine);

// offer 0: answers the opponent's offer ("draw" when accepted); offer 1: the
// engine's own offer after its move ("offer draw"). Returns 1 when it printed.
int considerDraw(Engine& engine, int offer);
