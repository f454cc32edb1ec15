#include "search/searchstack.h"

#include <cstring>

void initSearchStack(SearchStack& stack) {
    std::memset(&stack, 0, sizeof stack);
    stack.plies = stack.plyStore + StackMargin;
}

void resetSearchStackForGame(SearchStack& stack) {
    stack.tablebaseProbes = 0;
    stack.tablebaseHits = 0;
    stack.pollCount = 0;
    // Killers and threat moves of the last game mean nothing in the next, and
    // would make the same search give different node counts.
    std::memset(stack.plyStore, 0, sizeof stack.plyStore);
    std::memset(stack.history, 0, sizeof stack.history);
    std::memset(stack.counterMoves, 0, sizeof stack.counterMoves);
    std::memset(stack.continuation, 0, sizeof stack.continuation);
}
