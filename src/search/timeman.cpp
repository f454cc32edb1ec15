#include "search/timeman.h"

#include <climits>
#include <cstdlib>

#include "eval/material.h"
#include "platform/platform.h"
#include "search/search.h"
#include "search/threads.h"

namespace {

// Moves the game is still expected to last, by move number; 19 beyond.
constexpr int movesLeftTable[54] = {46, 45, 44, 43,                                  // 0-3
                                    42, 41, 40, 39, 38, 37, 36, 35, 34, 33, 32, 31,  // 4-15
                                    30, 30, 29, 29, 28, 28, 27, 27, 27,              // 16-24
                                    26, 26, 26, 25, 25, 25, 25,                      // 25-31
                                    24, 24, 24, 24, 23, 23, 23, 23,                  // 32-39
                                    22, 22, 22, 22, 21, 21, 21, 21, 21,              // 40-48
                                    20, 20, 20, 20, 20};                             // 49-53

constexpr int NoTimeLimit = 1073741824;

}  // namespace

int elapsedCentiseconds(const SearchControl& control) {
    int64_t frequency = control.counterFrequency;
    if (frequency <= 0) frequency = int64_t(readCounterFrequency());
    double ticks = double(int64_t(readCounter()) - control.startCounter);
    double centiseconds = ticks / double(frequency) * 100.0;
    // A start counter that was never set must not overflow the conversion.
    if (centiseconds >= double(INT_MAX)) return INT_MAX;
    if (centiseconds <= double(INT_MIN)) return INT_MIN;
    return int(centiseconds);
}

void timeBudget(SearchThread& thread, int gamePly, int settledPlies, int previousScore) {
    SearchControl& search = *thread.control;
    SearchLimits& limits = *search.limits;
    // The clock is clamped before it divides anything: a GUI reports a fallen
    // flag as 0 or less, and a negative quotient would turn into a negative budget.
    if (limits.engineClock < 1) limits.engineClock = 1;
    // What the GUI and the pipes take of every move is not the engine's to
    // spend: the budget is made from the clock without it.
    const int overhead = (search.settings->move_overhead + 9) / 10;
    const int clock = limits.engineClock > overhead ? limits.engineClock - overhead : 1;

    // Behind on the clock: spend less, much less when the position has not
    // settled into a sequence of irreversible moves.
    float factor = 1.0f;
    const int own = limits.engineClock;
    if (limits.opponentClock > own) {
        float ratio = float(limits.opponentClock) / float(own);
        bool quickReply = (search.request.opponentIsComputer || own >= 3000) && settledPlies < 11;
        factor = quickReply ? ratio : 1.0f + ratio;
    }

    int moveNumber = gamePly / 2;
    int movesLeft = moveNumber >= 0 && moveNumber < 54 ? movesLeftTable[moveNumber] : 19;

    // A clear advantage or disadvantage shortens the horizon.
    int score = std::abs(previousScore);
    int pawnValue = (pieceMaterial[Pawn].opening + pieceMaterial[Pawn].endgame) / 2;
    if (score < MateBound && pawnValue > 0)
        movesLeft -= int(float(score) / float(pawnValue * 10) * float(movesLeft));

    int moves = movesLeft > 10 ? movesLeft : 10;
    // Moves until the next control: as the GUI counts them, or from the
    // moves per control and the game's move number.
    const bool control = limits.movesToGo > 0 || limits.movesPerSession != 0;
    if (control) {
        int untilControl = limits.movesToGo > 0
                               ? limits.movesToGo
                               : limits.movesPerSession - moveNumber % limits.movesPerSession;
        if (untilControl < moves) moves = untilControl;
        if (moves < 1) moves = 1;
    }

    int64_t incrementPart = int64_t(limits.increment) * 80 / 100;
    int64_t deadline = int64_t(float(incrementPart + clock / moves) / factor);
    if (!control && deadline > clock / 8) deadline = clock / 8;
    if (moves == 1) deadline = int64_t(clock) * 95 / 100;
    if (deadline <= 0) deadline = 1;
    // A depth limit ("sd") bounds the search beside the clock, not instead of it.
    if (search.state == SearchPondering || search.state == SearchAnalysing) deadline = NoTimeLimit;
    if (deadline > NoTimeLimit) deadline = NoTimeLimit;
    if (limits.moveTime != 0) {
        limits.engineClock = limits.moveTime;
        deadline = limits.moveTime - overhead;
        if (deadline < 1) deadline = 1;
    }

    search.deadline = int(deadline);
    search.startCounter = int64_t(readCounter());
    search.pollInterval = 1000;
    search.timeExtended = 0;
    search.timeExtension = search.deadline / 5;
}

int extendTime(SearchThread& thread) {
    SearchControl& search = *thread.control;
    const SearchLimits& limits = *search.limits;
    // Once per search: a second overrun would eat the reserve the first one left.
    if (search.timeExtended) return 0;
    if (limits.moveTime != 0) return 0;
    int elapsed = elapsedCentiseconds(search);
    int64_t remaining = int64_t(limits.engineClock) - elapsed;
    if (remaining < 100) return 0;
    float used = float(elapsed) / float(limits.engineClock);
    if (used > 0.18f) return 0;
    int extension = search.timeExtension;
    while (extension > 0 && extension >= remaining) extension >>= 1;
    if (extension <= 0) return 0;
    search.deadline += extension;
    search.timeExtended = 1;
    return 1;
}

int pollIntervalFor(int searchState, int remaining) {
    if (searchState == SearchThinking) {
        if (remaining < 10) return 1000;
        if (remaining < 100) return 10000;
        if (remaining < 1000) return 100000;
        return 150000;
    }
    if (searchState == SearchPondering) return remaining < 1000 ? 1000 : 5000;
    return 35000;
}

int scheduleNextPoll(SearchThread& thread) {
    SearchControl& search = *thread.control;
    SearchStack& stack = thread.stack;
    // A node limit ends the search at the first poll past it, whatever the
    // iteration; polls come no further apart than the nodes left.
    double nodesLeft = 0;
    if (search.limits->nodeLimit > 0) {
        const BoardStack& moves = thread.moves;
        nodesLeft = search.limits->nodeLimit - stack.totalNodes - moves.makeCount -
                    moves.nullMoveCount - helperNodeCount(thread);
        if (nodesLeft <= 0) return 1;
    }
    int64_t remaining = int64_t(search.deadline) - elapsedCentiseconds(search);
    // The first two iterations always finish: without them there is no move.
    if (remaining < 6 && thread.root.iterationDepth >= 3) {
        if (search.canStop) return 1;
        return extendTime(thread) ? 0 : 1;
    }
    int clamped = remaining > 1000000 ? 1000000 : int(remaining);
    int interval = pollIntervalFor(search.state, clamped);
    if (stack.tablebaseProbes != 0) interval = 1000;
    if (nodesLeft > 0 && nodesLeft < interval) interval = int(nodesLeft) + 1;
    search.pollInterval = interval;
    stack.pollLimit = thread.moves.makeCount + uint32_t(interval);
    return 0;
}

void pollSearch(SearchThread& search) {
    if (search.index != 0) {
        pollHelper(search);
        return;
    }
    ++search.stack.pollCount;
    if (scheduleNextPoll(search)) {
        requestStop(search, 1);
        return;
    }
    search.control->host->poll(search);
}
