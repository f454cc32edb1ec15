#include "driver/poll.h"

#include "driver/engine.h"

void requestStop(Engine& engine, int value) {
    engine.stopRequested = value;
    engine.search->stopFlag = value;
}

int pollInput(Engine&) { return 0; }
int scheduleNextPoll(Engine&) { return 0; }
