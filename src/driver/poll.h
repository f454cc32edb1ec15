// Input during a search: every so many nodes, after its clock, the search
// asks the front end to look at what the GUI has sent, without consuming
// anything. Commands that change the game stop the search and stay in the
// input for the main loop; harmless ones run at once.
#pragma once

struct Engine;

// Returns 1 when input stopped the search. A GUI that has gone ends the
// program, except in a search whose result is still owed (own move, benchmark).
int pollInput(Engine& engine);

// What the first pending line asks of a running search.
enum PollAction : int {
    PollDispatch = 0,  // harmless: read and run it now
    PollStop = 1,      // stop; the main loop runs it afterwards
};

// Classifies the first pending line for a running search.
int pollAction(const char* text);
