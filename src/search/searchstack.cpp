#include "search/searchstack.h"

#include <cstring>

SearchStack mainSearchStack;

void initSearchStack(SearchStack& stack) {
    std::memset(&stack, 0, sizeof stack);
    stack.margin = StackMargin;
    stack.maxGame = MaxGame;
    stack.maxPly = MaxPly;
    stack.moveCapacity = MoveCapacity;
    stack.undo = stack.undoStore + StackMargin;
    stack.plies = stack.plyStore + StackMargin;
    stack.moveLists[0] = stack.moveBuffer;
    for (int colour = Black; colour <= White; ++colour) {
        int base = colour == White ? 0 : 56;
        stack.kingStart[colour] = base + 4;
        stack.rookStartKingSide[colour] = base + 7;
        stack.rookStartQueenSide[colour] = base;
    }
}

void resetSearchStackForGame(SearchStack& stack) {
    stack.moveLists[0] = stack.moveBuffer;
    stack.tablebaseProbes = 0;
    stack.tablebaseHits = 0;
    stack.pollCount = 0;
    // Killers and threat moves of the last game mean nothing in the next, and
    // would make the same search give different node counts.
    std::memset(stack.plyStore, 0, sizeof stack.plyStore);
}
