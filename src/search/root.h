// The search driver's record of the root: the root moves, the best move and
// score, the iteration. The driver itself (think, startPonder) arrives with
// the search; the protocol calls it through this interface already.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/pv.h"

struct Engine;

struct RootMove {
    Move move;
    int32_t score;  // last search score, engine's view
    double nodes;   // nodes spent on it in the current iteration
    int32_t bestIteration;
    int32_t mated;  // 1 when its last score was below -31762
};

struct RootSearch {
    PrincipalVariation rootPv;
    RootMove rootMoves[220];
    RootMove* currentRootMove;
    Move bestRootMove;
    int32_t bestRootScore;  // engine's view, centipawns
    Move previousBestMove;
    int32_t previousBestScore;
    int32_t rootMoveCount;
    int32_t rootMoveIndex;
    int32_t iterationDepth;
    int32_t rootPly;
    int32_t rootPieceCount;
    int32_t iterationsDone;
    int32_t rootSearchState;
};

// Searches with state 0 (the engine's move), 1 (ponder) or 2 (analyse).
// Returns when the search is over.
void think(Engine& engine, int state);

// Ponders on the predicted reply until input stops it.
void startPonder(Engine& engine);
