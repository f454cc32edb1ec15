// Time management: the clock information turned into one deadline per
// search, and its single extension.
#pragma once

#include <cstdint>

struct SearchThread;

// Sets deadline, startCounter, pollInterval, timeExtended and timeExtension;
// may rewrite the limits' engineClock. gamePly counts from the game's first
// move; settledPlies are those since the last capture, pawn move or castling.
// previousScore: the best score of the last search.
void timeBudget(SearchThread& search, int gamePly, int settledPlies, int previousScore);

// Moves the deadline once, when the clock allows; returns 1 if it did.
int extendTime(SearchThread& search);

// Every so many nodes: the clock, then the host's look at the input. Stops the
// search when its time is up.
void pollSearch(SearchThread& search);

// Whether the search's time is used up; otherwise sets the next poll.
int scheduleNextPoll(SearchThread& search);

// Nodes until the next poll, by search state and centiseconds left.
int pollIntervalFor(int searchState, int remaining);
