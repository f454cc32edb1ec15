// Time management: the clock information turned into one deadline per
// search, and its single extension.
#pragma once

#include <cstdint>

struct Engine;

// Sets deadline, startCounter, pollInterval, timeExtended and timeExtension;
// may rewrite engineClock. previousScore: the best score of the last search.
void timeBudget(Engine& engine, int gamePly, int lastIrreversiblePly, int previousScore);

// Moves the deadline once, when the clock allows; returns 1 if it did.
int extendTime(Engine& engine);

// Centiseconds since the engine's startCounter.
int elapsedCentiseconds(const Engine& engine);
