// Input during a search: every so many nodes the search looks at the clock
// and, without consuming anything, at what the GUI has sent. Commands that
// change the game stop the search and stay in the input for the main loop;
// harmless ones run at once.
#pragma once

struct Engine;

// stopRequested and the search's stop flag = value (1: stop now).
void requestStop(Engine& engine, int value);

// Called by the search when makeCount passes pollLimit. Returns 1 when input
// stopped the search; a GUI that has gone ends the program.
int pollInput(Engine& engine);

// Returns 1 when the search's time is used up; otherwise sets the next poll.
int scheduleNextPoll(Engine& engine);
