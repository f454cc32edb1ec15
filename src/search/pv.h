// A principal variation: moves with the score and depth at which each
// became best. The root keeps one, and so does every node of the search.
#pragma once

#include <cstdint>

#include "board/types.h"

constexpr int MaxVariation = 64;

struct PrincipalVariation {
    int32_t pvLength;
    Move pvMoves[MaxVariation];
    int16_t pvScores[MaxVariation];
    int16_t pvDepths[MaxVariation];  // eighths of a ply
};

// pv = move (with its score and depth) followed by the variation rest.
inline void extendVariation(PrincipalVariation& pv, Move move, int32_t score, int depth,
                            const PrincipalVariation& rest) {
    int length = rest.pvLength + 1 < MaxVariation ? rest.pvLength + 1 : MaxVariation;
    pv.pvLength = length;
    pv.pvMoves[0] = move;
    pv.pvScores[0] = int16_t(score);
    pv.pvDepths[0] = int16_t(depth);
    for (int i = 1; i < length; ++i) {
        pv.pvMoves[i] = rest.pvMoves[i - 1];
        pv.pvScores[i] = rest.pvScores[i - 1];
        pv.pvDepths[i] = rest.pvDepths[i - 1];
    }
}
