// The poll during a search: which pending lines stop it, how far apart the
// polls are, and when the clock ends it. Standard input itself is left alone
// (the input reader's own test owns it); the transcripts drive the whole poll.
#include "driver/poll.h"

#include "platform/platform.h"
#include "test_support.h"

namespace {

TEST(Poll, StoppingCommandsStayInTheInput) {
    // Expected action while thinking, pondering and analysing.
    auto expect = [](std::initializer_list<const char*> texts, int thinking, int analysing) {
        for (const char* text : texts) {
            EXPECT_EQ(pollAction(text, SearchThinking), thinking) << "'" << text << "'";
            EXPECT_EQ(pollAction(text, SearchPondering), thinking) << "'" << text << "'";
            EXPECT_EQ(pollAction(text, SearchAnalysing), analysing) << "'" << text << "'";
        }
    };
    // clang-format off
    // Moves and take-backs restart an analysis. Every command also counts
    // without its first letter; "o" covers "otim".
    expect({"usermove e2e4\n", "sermove e2e4\n", "undo\n", "ndo\n", "remove\n", "emove\n",
            "analyze\n", "nalyze\n", "usermove e2"}, PollStop, PollStopRestart);
    expect({"go\n", "new\n", "ew\n", "result 1-0 {White mates}\n", "esult 1-0\n",
            "position x\n", "osition x\n", "setboard 8/8/8/8/8/8/8/K1k5 w - - 0 1\n",
            "etboard 8/8/8/8/8/8/8/K1k5 w - - 0 1\n", "otim 1000\n", "o\n", "ot"},
           PollStop, PollStop);
    // A bare move as typed at the console must not be played inside the search.
    expect({"e2e4\n", "e7e8q\r\n", "O-O-O\n"}, PollStop, PollStop);
    // Harmless commands run inside the search; only the first line counts.
    expect({"time 1000\n", "post\n", "nopost\n", "easy\n", "hard\n", "ping 7\n", ".\n", "?\n",
            "exit\n", "force\n", "draw\n", "name Opponent\n", "rating 2400 2300\n",
            "computer\n", "quit\n", "\n", "\r\n", "time 1000\nusermove e2e4\n",
            "Usermove e2e4\n", "0-0\n", "e2e4e5\n", "e2x4\n", "ti", "e2e4e5"},
           PollDispatch, PollDispatch);
    // clang-format on
}

TEST(Poll, IntervalsByStateAndTimeLeft) {
    struct Case {
        int state, remaining, interval;
    };
    const Case cases[] = {
        {SearchThinking, -50, 1000},    {SearchThinking, 9, 1000},
        {SearchThinking, 10, 10000},    {SearchThinking, 99, 10000},
        {SearchThinking, 100, 100000},  {SearchThinking, 999, 100000},
        {SearchThinking, 1000, 150000}, {SearchThinking, 1 << 30, 150000},
        {SearchPondering, 0, 1000},     {SearchPondering, 999, 1000},
        {SearchPondering, 1000, 5000},  {SearchPondering, 1 << 30, 5000},
        {SearchAnalysing, 0, 35000},    {SearchAnalysing, 1 << 30, 35000},
        {SearchIdle, 5, 35000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pollIntervalFor(c.state, c.remaining), c.interval)
            << c.state << " " << c.remaining;
}

class PollClock : public testing::Test {
protected:
    void SetUp() override {
        savedEngine = engine;
        savedStack = engine.search.stack;
        engine.search.state = SearchThinking;
        engine.clock.moveTime = 0;
        engine.clock.engineClock = 30000;
        engine.search.timeExtended = 0;
        engine.search.timeExtension = 150;
        engine.search.stack.tablebaseProbes = 0;
        engine.search.startCounter = int64_t(readCounter());
    }
    void TearDown() override {
        engine = savedEngine;
        engine.search.stack = savedStack;
    }

    Engine savedEngine;
    SearchStack savedStack;
};

TEST_F(PollClock, NextPollFollowsTheTable) {
    SearchStack& stack = engine.search.stack;
    engine.search.deadline = 5000;
    engine.game.stack.makeCount = 12345;
    EXPECT_EQ(scheduleNextPoll(engine), 0);
    EXPECT_EQ(engine.search.pollInterval, 150000);
    EXPECT_EQ(stack.pollLimit, 12345u + 150000u);

    // The node counter is unsigned 32 bits: the limit wraps with it.
    engine.game.stack.makeCount = 0xFFFFFFF0u;
    EXPECT_EQ(scheduleNextPoll(engine), 0);
    EXPECT_EQ(stack.pollLimit, 0xFFFFFFF0u + 150000u);

    // Tablebase probes make every poll close.
    stack.tablebaseProbes = 3;
    engine.game.stack.makeCount = 10;
    EXPECT_EQ(scheduleNextPoll(engine), 0);
    EXPECT_EQ(engine.search.pollInterval, 1000);
    EXPECT_EQ(stack.pollLimit, 1010u);
}

TEST_F(PollClock, DeadlineStopsOnlyFromTheThirdIteration) {
    SearchStack& stack = engine.search.stack;
    engine.search.deadline = 3;
    engine.game.stack.makeCount = 500;
    stack.pollLimit = 77;

    // Iterations 1 and 2 always finish.
    engine.search.root.iterationDepth = 2;
    engine.search.canStop = 1;
    EXPECT_EQ(scheduleNextPoll(engine), 0);
    EXPECT_EQ(stack.pollLimit, 1500u);

    // Later the search stops when it may, and the next poll is not moved.
    engine.search.root.iterationDepth = 3;
    stack.pollLimit = 77;
    EXPECT_EQ(scheduleNextPoll(engine), 1);
    EXPECT_EQ(stack.pollLimit, 77u);
    EXPECT_EQ(engine.search.deadline, 3);

    // An iteration that must not be cut gets the extension once...
    engine.search.canStop = 0;
    EXPECT_EQ(scheduleNextPoll(engine), 0);
    EXPECT_EQ(engine.search.deadline, 153);
    EXPECT_EQ(engine.search.timeExtended, 1);
    EXPECT_EQ(stack.pollLimit, 77u);
    // ...and then polls as the table says until the new deadline comes.
    EXPECT_EQ(scheduleNextPoll(engine), 0);
    EXPECT_EQ(engine.search.pollInterval, 100000);
    engine.search.deadline = 3;
    EXPECT_EQ(scheduleNextPoll(engine), 1);

    // With "st" there is no extension.
    engine.search.timeExtended = 0;
    engine.clock.moveTime = 500;
    EXPECT_EQ(scheduleNextPoll(engine), 1);
}

}  // namespace
