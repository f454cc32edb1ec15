// Input during a search: what the first pending line asks of it. Commands
// that change the position or start a search stop it and stay in the input
// for the main loop; harmless ones run at once.
#pragma once

enum PollAction : int {
    PollDispatch = 0,  // harmless: read and run it now
    PollStop = 1,      // stop; the main loop runs it afterwards
};

// Classifies the first pending line (with its line end) for a running search.
int pollAction(const char* text);
