#include "driver/xboard.h"

#include <cstdlib>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "driver/engine.h"
#include "driver/output.h"
#include "notation/fen.h"
#include "notation/movetext.h"
#include "platform/platform.h"

namespace {

bool startsWith(const char* line, const char* prefix) {
    return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

// Milliseconds since a counter reading.
uint64_t millisecondsSince(uint64_t start) {
    return (readCounter() - start) * 1000 / readCounterFrequency();
}

void reportPerft(int depth, uint64_t leaves, uint64_t start) {
    uint64_t elapsed = millisecondsSince(start);
    uint64_t rate = elapsed ? leaves * 1000 / elapsed : 0;
    sendText("perft %d %llu time %llu ms rate %llu/s\n", depth, (unsigned long long)leaves,
             (unsigned long long)elapsed, (unsigned long long)rate);
}

// "perft D" and "divide D": leaf counts from the current position, divide one
// line per root move in generation order first.
void countLeaves(Engine& engine, const char* line, bool divide) {
    Board& board = engine.board;
    int depth = int(std::atol(line + (divide ? 7 : 6)));
    if (!engine.boardValid) {
        sendText("Error (no valid position): %s\n", line);
        return;
    }
    if (depth < 1 || depth > MaxPly || board.ply + depth > board.stack->maxGame) {
        sendText("Error (depth out of range): %s\n", line);
        return;
    }
    uint64_t start = readCounter();
    if (!divide) {
        reportPerft(depth, perft(board, depth), start);
        return;
    }
    int count = generateMoves(board);
    uint64_t total = 0;
    for (int i = 0; i < count; ++i) {
        Move move = board.stack->moveLists[0][i].move;
        saveUndo(board);
        makeMove(board, move);
        uint64_t leaves = perft(board, depth - 1, 1);
        unmakeMove(board);
        char text[8];
        formatMoveCoordinates(move, text);
        sendText("%s %llu\n", text, (unsigned long long)leaves);
        total += leaves;
    }
    reportPerft(depth, total, start);
}

}  // namespace

int handleProtocolCommand(Engine& engine, const char* line) {
    if (startsWith(line, "setboard ")) {
        setupPosition(engine, line + 9);
    } else if (startsWith(line, "new")) {
        if (setupPosition(engine, StartFen)) engine.playing = 1;
    } else if (startsWith(line, "perft ")) {
        countLeaves(engine, line, false);
    } else if (startsWith(line, "divide ")) {
        countLeaves(engine, line, true);
    } else {
        return 0;
    }
    return 1;
}
