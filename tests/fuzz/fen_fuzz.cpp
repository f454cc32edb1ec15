// FEN text: a rejected text leaves a message; an accepted one a consistent
// board whose every legal move makes, names itself in SAN and coordinates,
// and takes back to the same board.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/check.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "driver/engine.h"
#include "fuzz_support.h"
#include "notation/fen.h"
#include "notation/movetext.h"

namespace {

void expectConsistent(const Board& board, const char* where) {
    if (const char* field = findBoardInconsistency(board)) {
        std::fprintf(stderr, "%s: %s disagrees\n", where, field);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Engine& engine = quietFuzzEngine();
    static Board board;
    const std::string text(reinterpret_cast<const char*>(data), size);
    char message[FenMessageSize] = "";
    if (!parseFen(board, engine.game.stack, text.c_str(), message)) {
        if (!message[0] || std::strlen(message) >= FenMessageSize) std::abort();
        return 0;
    }
    expectConsistent(board, "set up");
    const uint64_t key = board.hashKey;
    Move moves[MoveCapacity];
    const int count = generateLegalMoves(board, 0);
    for (int i = 0; i < count; ++i) moves[i] = board.stack->moveLists[0][i].move;
    for (int i = 0; i < count; ++i) {
        char san[16], coordinates[8];
        if (formatMoveSan(board, moves[i], san) >= int(sizeof san)) std::abort();
        formatMoveCoordinates(moves[i], coordinates);
        parseMoveText(board, coordinates);
        parseMoveText(board, san);
        saveUndo(board);
        makeMove(board, moves[i]);
        expectConsistent(board, "after a move");
        generateLegalMoves(board, 1);
        unmakeMove(board);
        if (board.hashKey != key) std::abort();
    }
    // The moves are alternatives, not a line: the text ends at the first that
    // cannot follow.
    char line[PvTextSize];
    variationText(board, moves, count < VariationTextMoves ? count : VariationTextMoves, line);
    expectConsistent(board, "after the variation");
    return 0;
}
