// Input during a search: every so many nodes the search looks at the clock
// and, without consuming anything, at what the GUI has sent. Commands that
// change the game stop the search and stay in the input for the main loop;
// harmless ones run at once.
#pragma once

struct Engine;

// stopRequested and the search's stop flag = value (1: stop now).
void requestStop(Engine& engine, int value);

// Called by the search when makeCount passes pollLimit. Returns 1 when input
// stopped the search. A GUI that has gone ends the program,
// except in a search whose result is still owed (own move, benchmark).
int pollInput(Engine& engine);

// Returns 1 when the search's time is used up; otherwise sets the next poll.
int scheduleNextPoll(Engine& engine);

// Nodes until the next poll, by search state and centiseconds left.
int pollIntervalFor(int searchState, int remaining);

// What the first pending line asks of a running search.
enum PollAction : int {
    PollDispatch = 0,     // harmless: read and run it now
    PollStop = 1,         // stop; the main loop runs it afterwards
    PollStopRestart = 2,  // stop, and restart the analysis once it has run
};

// Classifies the first pending line for a search in searchState.
int pollAction(const char* text, int searchState);
