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
