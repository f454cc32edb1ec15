#include "driver/bench.h"

#include "driver/engine.h"

double collectNodeCount(Engine& engine) {
    SearchStack& stack = *engine.search;
    stack.totalNodes += double(stack.makeCount) + double(stack.nullMoveCount);
    stack.makeCount = 0;
    stack.nullMoveCount = 0;
    stack.pollLimit = 10000;
    return stack.totalNodes;
}
