// The end of a game on the board: mate, stalemate, fifty moves, repetition,
// insufficient material, a full history; and the answer to draw offers.
#pragma once

struct Engine;

// Announces a finished game with its result line and clears gameInProgress.
// Returns 1 when no game was in progress on entry, else 0.
int checkGameEnd(Engine& engine);

// offer 0: answers the opponent's offer ("draw" when accepted); offer 1: the
// engine's own offer after its move ("offer draw"). Returns 1 when it printed.
int considerDraw(Engine& engine, int offer);
