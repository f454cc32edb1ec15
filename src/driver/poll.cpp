#include "driver/poll.h"

#include <cstring>

#include "driver/command_text.h"

namespace {

// Commands that change the position or start a search, and those that use the
// board, its move lists, the tables or the search themselves: they wait until
// the search has returned. The input hands over whole lines, so a prefix is
// always a line's start. "otim" comes just before the move it belongs to.
constexpr const char* stopPrefixes[] = {"usermove", "go",       "otim",     "option",  "new",
                                        "result",   "position", "setboard", "undo",    "remove",
                                        "analyze",  "perft",    "divide",   "eval\n",  "eval ",
                                        "bk",       "au ",      "bench",    "exclude", "include"};

// A coordinate as the move reader takes it: a file letter or a rank digit.
bool isCoordinate(char c) { return (c >= 'a' && c <= 'h') || (c >= '1' && c <= '8'); }

// A line of four or five characters is taken by the option handler for a
// console move ("e2e4", "e7e8q", "O-O-O"). Run during a search it would play
// on the game board and start a search inside the search, so it stops instead.
bool isConsoleMove(const char* text, size_t length) {
    if (length != 4 && length != 5) return false;
    char line[6] = {};
    std::memcpy(line, text, length);
    if (std::strstr(line, "O-O") || std::strstr(line, "0-0")) return true;
    for (size_t i = 0; i < 4; ++i)
        if (!isCoordinate(text[i])) return false;
    return true;
}

}  // namespace

int pollAction(const char* text) {
    for (const char* prefix : stopPrefixes)
        if (startsWith(text, prefix)) return PollStop;
    return isConsoleMove(text, std::strcspn(text, "\r\n")) ? PollStop : PollDispatch;
}
