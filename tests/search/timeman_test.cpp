// Time budget and its single extension: the clock driven by moving the
// search's start counter into the past, never by waiting.
#include "search/timeman.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "test_support.h"

namespace {

SearchLimits limits;

// The search after budgeting a move under the clock: own and opponent's time,
// moves per session, increment, "st", "sd".
Search& budget(std::array<int, 6> clock, int gamePly = 0, int previousScore = 0,
               int state = SearchThinking, bool computer = false) {
    Search& search = engine.search;
    limits = {clock[0], clock[1], clock[2], clock[3], clock[4], clock[5]};
    search.limits = &limits;
    search.state = state;
    search.request = {state, computer, 0};
    timeBudget(search, gamePly, gamePly, previousScore);
    return search;
}

}  // namespace

TEST(Time, Budgets) {
    // Clock, game ply, previous score, state, opponent a computer, deadline.
    const std::tuple<std::array<int, 6>, int, int, int, bool, int> cases[] = {
        // Forty moves in five minutes: 46 moves expected, 40 to the control.
        {{30000, 30000, 40}, 0, 0, 0, false, 750},
        {{30000, 30000, 40}, 78, 0, 0, false, 28500},         // the last before it: 95 %
        {{30000, 30000, 40}, 80, 0, 0, false, 30000 / 22},    // the table's 22 are nearer
        {{30000, 30000, 40}, 0, -160, 0, false, 30000 / 39},  // 1.6 pawns: 46 - 7 moves
        {{30000, 30000, 40}, 0, 32000, 0, false, 750},        // a mate changes nothing
        {{100000, 100000}, 200, 0, 0, false, 100000 / 19},    // sudden death, past the table
        {{100000, 100000}, 0, 1500, 0, false, 100000 / 10},   // never fewer than ten moves
        {{100000, 100000, 0, 1000}, 0, 0, 0, false, 800 + 100000 / 46},  // 80 % of the increment
        {{800, 400, 0, 3000}, 0, 0, 0, false, 100},  // never more than an eighth of the clock
        {{0, 5000}, 10, 0, 0, false, 1},             // a fallen flag
        // Behind on the clock: the budget divided by the ratio, or by one
        // more long after a capture or pawn move, or short of thirty seconds
        // against a human.
        {{30000, 60000, 40}, 0, 0, 0, false, 375},
        {{30000, 60000, 40}, 20, 0, 0, false, 30000 / 30 / 3},
        {{2000, 4000, 40}, 0, 0, 0, false, 2000 / 40 / 3},
        {{2000, 4000, 40}, 0, 0, 0, true, 2000 / 40 / 2},
        {{30000, 30000, 40}, 0, 0, SearchAnalysing, false, 1073741824},  // or pondering
        {{30000, 30000, 40, 0, 0, 6}, 0, 0, 0, false, 750},              // "sd" keeps the clock
        {{200000, 200000, 100}, 118, 0, 0, false, 200000 / 19},  // 41 to a control of 100: 19
        {{30000, 30000, 40, 0, 500, 6}, 0, 0, 0, false, 500},    // "st" overrides all
    };
    for (auto [clock, gamePly, previousScore, state, computer, deadline] : cases) {
        Search& search = budget(clock, gamePly, previousScore, state, computer);
        EXPECT_EQ(search.deadline, deadline) << clock[0] << " " << clock[1] << " " << gamePly;
        EXPECT_EQ(search.timeExtended, 0);
        EXPECT_EQ(limits.engineClock, std::max(clock[4] ? clock[4] : clock[0], 1));
        EXPECT_LE(elapsedCentiseconds(search), 100);  // the clock starts now
    }
    engine.search.state = SearchIdle;
    engine.search.limits = &engine.clock;
}

TEST(Time, ExtensionOncePerSearch) {
    // Clock, extension, centiseconds elapsed, extension granted.
    const std::tuple<std::array<int, 6>, int, int, int> cases[] = {
        {{30000, 30000, 40}, 150, 5300, 150},     // up to 18 % of the clock gone,
        {{30000, 30000, 40}, 150, 5600, 0},       // not beyond
        {{110, 110, 40}, 50, 15, 0},              // less than a second left
        {{350, 350, 40}, 1000, 50, 250},          // halved until less than what is left
        {{30000, 30000, 40, 0, 500}, 100, 0, 0},  // never with "st"
    };
    for (auto [clock, extension, elapsed, granted] : cases) {
        Search& search = budget(clock);
        const int deadline = search.deadline;
        search.timeExtension = extension;
        search.startCounter -= int64_t(elapsed) * search.counterFrequency / 100;
        EXPECT_EQ(extendTime(search), granted > 0) << clock[0] << " " << elapsed;
        EXPECT_EQ(search.deadline, deadline + granted) << clock[0] << " " << elapsed;
        EXPECT_EQ(extendTime(search), 0);  // once per search
    }
    engine.search.state = SearchIdle;
    engine.search.limits = &engine.clock;
}
