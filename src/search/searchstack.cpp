#include "search/searchstack.h"

#include <cstring>

#include "board/makemove.h"

SearchStack mainSearchStack;
BoardStack mainBoardStack;

void initSearchStack(SearchStack& stack) {
    std::memset(&stack, 0, sizeof stack);
    stack.plies = stack.plyStore + StackMargin;
    initBoardStack(mainBoardStack);
}

void resetSearchStackForGame(SearchStack& stack) {
    mainBoardStack.moveLists[0] = mainBoardStack.moveBuffer;
    stack.tablebaseProbes = 0;
    stack.tablebaseHits = 0;
    stack.pollCount = 0;
    // Killers and threat moves of the last game mean nothing in the next, and
    // would make the same search give different node counts.
    std::memset(stack.plyStore, 0, sizeof stack.plyStore);
}
