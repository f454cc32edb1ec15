#include "search/timeman.h"

#include <climits>
#include <cstdlib>

#include "driver/engine.h"
#include "eval/material.h"
#include "platform/platform.h"

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

int elapsedCentiseconds(const Engine& engine) {
    int64_t frequency = engine.counterFrequency;
    if (frequency <= 0) frequency = int64_t(readCounterFrequency());
    double ticks = double(int64_t(readCounter()) - engine.startCounter);
    double centiseconds = ticks / double(frequency) * 100.0;
    // A start counter that was never set must not overflow the conversion.
    if (centiseconds >= double(INT_MAX)) return INT_MAX;
    if (centiseconds <= double(INT_MIN)) return INT_MIN;
    return int(centiseconds);
}

void timeBudget(Engine& engine, int gamePly, int lastIrreversiblePly, int previousScore) {
    // The clock is clamped before it divides anything: a GUI reports a fallen
    // flag as 0 or less, and a negative quotient would turn into a negative budget.
    if (engine.engineClock < 1) engine.engineClock = 1;
    const int clock = engine.engineClock;

    // Behind on the clock: spend less, much less when the position has not
    // settled into a sequence of irreversible moves.
    float factor = 1.0f;
    if (engine.opponentClock > clock) {
        float ratio = float(engine.opponentClock) / float(clock);
        bool quickReply =
            (engine.opponentIsComputer || clock >= 3000) && gamePly - lastIrreversiblePly < 11;
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
    if (engine.movesPerSession != 0) {
        int untilControl = engine.movesPerSession - moveNumber % engine.movesPerSession;
        if (untilControl < moves) moves = untilControl;
        if (moves < 1) moves = 1;
    }

    int64_t incrementPart = int64_t(engine.increment) * 80 / 100;
    int64_t deadline = int64_t(float(incrementPart + clock / moves) / factor);
    if (engine.movesPerSession == 0 && deadline > clock / 8) deadline = clock / 8;
    if (moves == 1) deadline = int64_t(clock) * 95 / 100;
    if (deadline <= 0) deadline = 1;
    if (engine.searchState == SearchPondering || engine.searchState == SearchAnalysing ||
        engine.depthLimit > 0)
        deadline = NoTimeLimit;
    if (deadline > NoTimeLimit) deadline = NoTimeLimit;
    if (engine.moveTime != 0) {
        engine.engineClock = engine.moveTime;
        deadline = engine.moveTime;
        if (deadline < 1) deadline = 1;
    }

    engine.deadline = int(deadline);
    engine.startCounter = int64_t(readCounter());
    engine.pollInterval = 1000;
    engine.timeExtended = 0;
    engine.timeExtension = engine.deadline / 5;
}

int extendTime(Engine& engine) {
    // Once per search: a second overrun would eat the reserve the first one left.
    if (engine.timeExtended) return 0;
    if (engine.moveTime != 0) return 0;
    int elapsed = elapsedCentiseconds(engine);
    int64_t remaining = int64_t(engine.engineClock) - elapsed;
    if (remaining < 100) return 0;
    float used = float(elapsed) / float(engine.engineClock);
    if (used > 0.18f) return 0;
    int extension = engine.timeExtension;
    while (extension > 0 && extension >= remaining) extension >>= 1;
    if (extension <= 0) return 0;
    engine.deadline += extension;
    engine.timeExtended = 1;
    return 1;
}
