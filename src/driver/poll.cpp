#include "driver/poll.h"

#include <cstring>

#include "driver/dispatch.h"
#include "driver/engine.h"
#include "platform/input.h"
#include "search/search.h"

namespace {

// Commands that change the position or start a search, and those that use the
// board, its move lists or the search themselves: they wait until the search
// has returned. Each also appears without its first letter, so that a line
// whose first character was already taken from the input still stops the
// search. The bare "o" catches "otim" too.
constexpr const char* stopPrefixes[] = {
    "usermove", "sermove", "go",       "o",       "new",    "ew",    "result", "esult",
    "position", "osition", "setboard", "etboard", "undo",   "ndo",   "remove", "emove",
    "analyze",  "nalyze",  "perft",    "divide",  "eval\n", "eval ", "bk",     "au ",
    "bench",    "exclude", "xclude",   "include", "nclude"};

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

int pollInput(Engine& engine) {
    static int console = -1;
    if (console < 0) console = inputIsConsole() ? 1 : 0;
    Search& search = engine.search;

    static char pending[4096];
    InputPeek peek = peekInput(pending, int(sizeof pending));
    if (peek == InputGone) {
        // The engine's move and the benchmark's figures are owed: that search
        // ends by its own limits, and the main loop then finds the end of input.
        if (search.control.state == SearchThinking || engine.session.benchmarkRunning) return 0;
        shutdownEngine(engine);
    }
    if (peek == InputNothing) return 0;

    // A typed line stops any search, analysis included, and waits for the
    // main loop: a console move carries no "usermove" to tell it apart.
    if (console) {
        requestStop(search, 1);
        return 0;
    }

    if (pollAction(pending) == PollStop) {
        requestStop(search, 1);
        return 1;
    }
    readAndDispatchLine(engine);
    return 0;
}
