// Time budget and its single extension: the clock driven by moving the
// search's start counter into the past, never by waiting.
#include "search/timeman.h"

#include <algorithm>
#include <array>

#include "test_support.h"

// Each row: a move's clock situation and the deadline it gives, in
// centiseconds; some also ask for the single extension after so many
// centiseconds, and what it grants: only up to 18 % of the clock gone (5300
// of 30000, not 5600) and never with "st" (moveTime).
TEST(Time, BudgetAndExtension) {
    struct Clock {
        int own, opponent, increment, perSession, movesToGo, gamePly;
        int previousScore = 0, moveTime = 0, state = SearchThinking, computer = 0;
    };
    // Own clock, opponent's, increment, moves per session, moves to go, game
    // ply (and previous score, "st", state, opponent a computer): deadline,
    // extension asked for, centiseconds elapsed, extension granted.
    const std::pair<Clock, std::array<int, 4>> cases[] = {
        {{30000, 30000, 0, 40, 0, 0}, {750, 150, 5300, 150}},    // 40 moves to the control
        {{30000, 30000, 0, 40, 0, 0, 32000}, {750, 150, 5600}},  // a mate changes nothing
        {{30000, 30000, 0, 40, 0, 78}, {28500}},                 // the last before it: 95 %
        {{30000, 30000, 0, 40, 0, 80}, {1363}},                  // the table's 22 are nearer
        {{30000, 30000, 0, 40, 0, 0, -160}, {769}},              // 1.6 pawns: 46 - 7 moves
        {{30000, 30000, 0, 40, 5, 0}, {6000}},                   // the GUI's count first
        {{100000, 100000, 0, 0, 0, 200}, {5263}},                // sudden death, past the table: 19
        {{100000, 100000, 0, 0, 0, 0, 1500}, {10000}},           // never fewer than ten moves
        {{100000, 100000, 1000, 0, 0, 0}, {2973}},               // 80 % of the increment
        {{800, 400, 3000, 0, 0, 0}, {100}},  // never more than an eighth of the clock
        {{0, 5000, 0, 0, 0, 10}, {1}},       // a fallen flag
        // Behind on the clock: divided by the ratio, or by one more long after
        // a capture or pawn move, or short of thirty seconds against a human.
        {{30000, 60000, 0, 40, 0, 0}, {375}},
        {{30000, 60000, 0, 40, 0, 20}, {333}},
        {{2000, 4000, 0, 40, 0, 0}, {16}},
        {{2000, 4000, 0, 40, 0, 0, 0, 0, SearchThinking, 1}, {25}},
        {{30000, 30000, 0, 40, 0, 0, 0, 0, SearchAnalysing}, {1073741824}},  // or pondering
        {{30000, 30000, 0, 40, 0, 0, 0, 500}, {500, 100}},                   // "st" overrides all
        {{110, 110, 0, 40, 0, 0}, {2, 50, 15}},          // no extension with less than a second,
        {{700, 700, 0, 40, 0, 0}, {17, 1000, 50, 500}},  // halved until less than what is left
    };
    SearchControl& search = engine.search.control;
    SearchThread& thread = engine.search.main;
    SearchLimits limits;
    search.limits = &limits;
    const int32_t overhead = engine.settings.move_overhead;
    engine.settings.move_overhead = 0;
    for (auto [c, expected] : cases) {
        const auto [deadline, extension, elapsed, granted] = expected;
        limits = {c.own, c.opponent, c.perSession, c.increment, c.moveTime, 0, c.movesToGo};
        search.request = {search.state = c.state, c.computer, 0};
        timeBudget(thread, c.gamePly, c.gamePly, c.previousScore);
        search.state = SearchIdle;  // for the protocol tests, as after a search
        EXPECT_EQ(search.deadline, deadline) << c.own << " " << c.gamePly;
        EXPECT_EQ(limits.engineClock, std::max(c.moveTime ? c.moveTime : c.own, 1));
        if (!extension) continue;
        search.timeExtension = extension;
        search.startCounter -= int64_t(elapsed) * search.counterFrequency / 100;
        EXPECT_EQ(extendTime(thread), granted > 0) << c.own << " " << elapsed;
        EXPECT_EQ(search.deadline, deadline + granted) << c.own << " " << elapsed;
        EXPECT_EQ(extendTime(thread), 0);  // once per search
    }
    // The move overhead comes off the clock first, and off a fixed move time:
    // 500 ms leave 29950 centiseconds for 40 moves, 30 ms leave 497 of "st 5".
    const std::array<int, 4> overheads[] = {
        {500, 30000, 0, 748}, {30, 30000, 500, 497}, {5000, 300, 0, 1}};
    for (auto [milliseconds, own, moveTime, deadline] : overheads) {
        engine.settings.move_overhead = milliseconds;
        limits = {own, own, 40, 0, moveTime, 0, 0};
        search.request = {search.state = SearchThinking, 0, 0};
        timeBudget(thread, 0, 0, 0);
        EXPECT_EQ(search.deadline, deadline) << milliseconds;
    }
    search.state = SearchIdle;
    engine.settings.move_overhead = overhead;
    search.limits = &engine.clock;
}
