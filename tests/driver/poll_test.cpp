// Which pending lines stop a running search and stay in the input for the main
// loop; the transcripts and the live sessions drive the whole poll.
#include "driver/poll.h"

#include "test_support.h"

TEST(Poll, StoppingCommandsStayInTheInput) {
    auto expect = [](std::initializer_list<const char*> texts, int action) {
        for (const char* text : texts) EXPECT_EQ(pollAction(text), action) << "'" << text << "'";
    };
    // clang-format off
    // Commands that change the position, start a search or use the board wait for the main
    // loop. Every command also counts without its first letter; "o" covers "otim". A bare
    // move as typed at the console must not be played inside the search.
    expect({"usermove e2e4\n", "sermove e2e4\n", "undo\n", "ndo\n", "remove\n", "emove\n",
            "analyze\n", "nalyze\n", "usermove e2", "go\n", "new\n", "ew\n",
            "result 1-0 {White mates}\n", "esult 1-0\n", "position x\n", "osition x\n",
            "setboard 8/8/8/8/8/8/8/K1k5 w - - 0 1\n", "etboard 8/8/8/8/8/8/8/K1k5 w - - 0 1\n",
            "otim 1000\n", "ot", "perft 2\n", "divide 1\n", "eval\n", "bk\n", "au nodes x\n",
            "bench\n", "e2e4\n", "e7e8q\r\n", "O-O-O\n"}, PollStop);
    // Harmless commands run inside the search; only the first line counts.
    expect({"time 1000\n", "post\n", "ping 7\n", ".\n", "?\n", "exit\n", "force\n", "draw\n",
            "\n", "time 1000\nusermove e2e4\n", "Usermove e2e4\n", "0-0\n", "e2e4e5\n",
            "e2x4\n", "ti", "evaluate_control = 3\n"}, PollDispatch);
    // clang-format on
}
