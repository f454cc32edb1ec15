// Time budget and its single extension: the clock driven by moving the
// engine's start counter into the past, never by waiting.
#include "search/timeman.h"

#include "platform/platform.h"
#include "test_support.h"

namespace {

class Time : public testing::Test {
protected:
    void SetUp() override {
        saved = engine;
        engine.search.state = SearchThinking;
        engine.clock.moveTime = 0;
        engine.clock.depthLimit = 0;
        engine.clock.increment = 0;
        engine.game.opponentIsComputer = 0;
    }
    void TearDown() override { engine = saved; }

    static void clocks(int own, int other, int movesPerSession) {
        engine.clock.engineClock = own;
        engine.clock.opponentClock = other;
        engine.clock.movesPerSession = movesPerSession;
    }
    // Makes the search appear to have run for so many centiseconds.
    static void setElapsed(int centiseconds) {
        engine.search.startCounter =
            int64_t(readCounter()) - int64_t(centiseconds) * engine.search.counterFrequency / 100;
    }
    static int budget(int gamePly, int previousScore = 0, int lastIrreversiblePly = 0) {
        timeBudget(engine, gamePly, lastIrreversiblePly, previousScore);
        return engine.search.deadline;
    }

    Engine saved;
};

TEST_F(Time, ControlsOfMovesAndTime) {
    // Forty moves in five minutes, first move: 46 expected moves, 40 to the control.
    clocks(30000, 30000, 40);
    EXPECT_EQ(budget(0), 750);
    EXPECT_EQ(engine.search.timeExtension, 150);
    EXPECT_EQ(engine.search.pollInterval, 1000);
    EXPECT_EQ(engine.search.timeExtended, 0);
    EXPECT_LE(elapsedCentiseconds(engine), 100);  // the clock starts now
    // Last move before the control: 95 % of the clock.
    EXPECT_EQ(budget(78), 28500);
    // Right after the control the table's 22 moves are nearer than the next 40.
    EXPECT_EQ(budget(80), 30000 / 22);
    // 1.6 pawns ahead: 46 - trunc(0.16 * 46) = 39 moves.
    EXPECT_EQ(budget(0, 160), 30000 / 39);
    EXPECT_EQ(budget(0, -160), 30000 / 39);
    // A mate score leaves the horizon alone.
    EXPECT_EQ(budget(0, 32000), 750);

    // Without "level" every move is the last before the control.
    for (int ply : {0, 1, 40, 200}) {
        clocks(6000, 6000, 1);
        engine.clock.increment = 500;
        EXPECT_EQ(budget(ply), 5700) << ply;
    }
}

TEST_F(Time, SuddenDeathAndIncrement) {
    clocks(100000, 100000, 0);
    EXPECT_EQ(budget(0), 100000 / 46);
    EXPECT_EQ(budget(200), 100000 / 19);
    // Ten pawns or more ahead: never fewer than ten moves.
    EXPECT_EQ(budget(0, 1500), 100000 / 10);
    engine.clock.increment = 1000;
    EXPECT_EQ(budget(0), 800 + 100000 / 46);

    // However large the increment, never more than an eighth of the clock.
    for (int clock : {1, 7, 80, 999, 5000, 30000}) {
        for (int ply : {0, 30, 120}) {
            for (int score : {0, 400, 900, -31000}) {
                clocks(clock, clock / 2, 0);
                engine.clock.increment = 3000;
                int deadline = budget(ply, score);
                EXPECT_LE(deadline, clock / 8 > 0 ? clock / 8 : 1) << clock << " " << ply;
                EXPECT_GE(deadline, 1) << clock << " " << ply;
            }
        }
    }

    // A fallen flag is clamped to one centisecond before anything divides by it.
    clocks(0, 5000, 0);
    EXPECT_EQ(budget(10), 1);
    EXPECT_EQ(engine.clock.engineClock, 1);
    clocks(-300, 5000, 40);
    EXPECT_EQ(budget(10), 1);
}

TEST_F(Time, BehindOnTheClock) {
    clocks(30000, 60000, 40);
    // Shortly after a capture or pawn move the budget shrinks by the ratio...
    EXPECT_EQ(budget(0, 0, 0), 375);
    // ...long after it by one more than the ratio.
    EXPECT_EQ(budget(20, 0, 0), 30000 / 30 / 3);
    // Short of thirty seconds against a human: one more than the ratio as well;
    // against a computer only the ratio.
    clocks(2000, 4000, 40);
    EXPECT_EQ(budget(0), 2000 / 40 / 3);
    engine.game.opponentIsComputer = 1;
    EXPECT_EQ(budget(0), 2000 / 40 / 2);
    // Ahead on the clock changes nothing.
    clocks(30000, 10000, 40);
    EXPECT_EQ(budget(0), 750);
}

TEST_F(Time, LimitsOtherThanTheClock) {
    clocks(30000, 30000, 40);
    for (int state : {SearchPondering, SearchAnalysing}) {
        engine.search.state = state;
        EXPECT_EQ(budget(0), 1073741824) << state;
        EXPECT_EQ(engine.search.timeExtension, 1073741824 / 5);
    }
    engine.search.state = SearchThinking;
    engine.clock.depthLimit = 6;
    EXPECT_EQ(budget(0), 1073741824);

    // "st" overrides everything, depth limit included, and is never extended.
    engine.clock.moveTime = 500;
    EXPECT_EQ(budget(0), 500);
    EXPECT_EQ(engine.clock.engineClock, 500);
    EXPECT_EQ(engine.search.timeExtension, 100);
    setElapsed(0);
    EXPECT_EQ(extendTime(engine), 0);
    EXPECT_EQ(engine.search.deadline, 500);
    EXPECT_EQ(engine.search.timeExtended, 0);
}

TEST_F(Time, ExtensionOncePerSearch) {
    clocks(30000, 30000, 40);
    budget(0);
    setElapsed(700);
    EXPECT_EQ(extendTime(engine), 1);
    EXPECT_EQ(engine.search.deadline, 900);
    EXPECT_EQ(engine.search.timeExtended, 1);
    EXPECT_EQ(extendTime(engine), 0);
    EXPECT_EQ(engine.search.deadline, 900);

    // Refused once 18 % of the clock is gone.
    budget(0);
    setElapsed(6000);
    EXPECT_EQ(extendTime(engine), 0);
    EXPECT_EQ(engine.search.deadline, 750);
    budget(0);
    setElapsed(4000);
    EXPECT_EQ(extendTime(engine), 1);

    // Refused with less than a second on the clock.
    clocks(110, 110, 40);
    budget(0);
    engine.search.timeExtension = 50;
    setElapsed(15);
    EXPECT_EQ(extendTime(engine), 0);

    // The extension halves until it fits what is left of the clock.
    clocks(2000, 2000, 1);
    budget(0);
    engine.search.timeExtension = 1000;
    engine.clock.engineClock = 350;
    setElapsed(50);
    EXPECT_EQ(extendTime(engine), 1);
    EXPECT_EQ(engine.search.deadline, 1900 + 250);

    // Nothing left after halving: refused.
    budget(0);
    engine.search.timeExtension = 0;
    setElapsed(0);
    EXPECT_EQ(extendTime(engine), 0);
}

}  // namespace
