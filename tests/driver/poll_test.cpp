// Which pending lines stop a running search and stay in the input for the main
// loop; the transcripts and the live sessions drive the whole poll.
#include "driver/poll.h"

#include "test_support.h"

TEST(Poll, StoppingCommandsStayInTheInput) {
    auto expect = [](std::initializer_list<const char*> texts, int action) {
        for (const char* text : texts) EXPECT_EQ(pollAction(text), action) << "'" << text << "'";
    };
    // clang-format off
    // Commands that change the position, start a search or use the board or the tables wait for
    // the main loop; so does a bare move as typed at the console.
    expect({"usermove e2e4\n", "undo\n", "remove\n", "analyze\n", "usermove e2", "go\n",
            "new\n", "result 1-0 {White mates}\n", "position x\n",
            "setboard 8/8/8/8/8/8/8/K1k5 w - - 0 1\n", "otim 1000\n", "option Clear Hash\n",
            "perft 2\n", "divide 1\n", "eval\n", "bk\n", "au nodes x\n", "bench\n",
            "exclude e2e4\n", "include all\n", "e2e4\n", "e7e8q\r\n", "O-O-O\n"}, PollStop);
    // Harmless commands run inside the search; only the first line counts.
    expect({"time 1000\n", "post\n", "ping 7\n", ".\n", "?\n", "exit\n", "force\n", "draw\n",
            "\n", "time 1000\nusermove e2e4\n", "Usermove e2e4\n", "ndo\n", "ew\n", "0-0\n",
            "e2e4e5\n", "e2x4\n", "memory 64\n", "evaluate_control = 3\n"}, PollDispatch);
    // clang-format on
}
