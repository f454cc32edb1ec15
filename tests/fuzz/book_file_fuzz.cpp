// Book files of any content (random, truncated, bit-flipped): probes, the
// choice of a book move, a merge and a learned game.
#include <cstdlib>
#include <cstring>

#include "board/makemove.h"
#include "book/book.h"
#include "driver/engine.h"
#include "fuzz_support.h"
#include "notation/fen.h"
#include "notation/movetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Engine& engine = quietFuzzEngine();
    if (size < 2) return 0;
    // The first two bytes choose the spread and the occurrence; the main book
    // and the opponent's get the rest, the opponent's from its middle on.
    const int spread = data[0] % 32, occurrence = data[1] % 8;
    data += 2;
    size -= 2;
    char opponentBook[BookNameSize];
    opponentBookName(opponentBook, int(sizeof opponentBook), "fuzz");
    clearScratchDirectory();
    writeScratchFile(MainBookName, data, size);
    writeScratchFile(opponentBook, data + size / 2, size - size / 2);

    static Board board;
    char message[FenMessageSize];
    if (!parseFen(board, engine.game.stack, StartFen, message)) std::abort();
    uint64_t key = 0;
    if (size >= 8) std::memcpy(&key, data, 8);  // a key the file holds
    for (uint64_t probe : {key, board.hashKey}) {
        BookRecord record = bookProbe(MainBookName, probe);
        bookScore(record, White, spread);
    }
    BookChoice choice = bookChooseMove(board, "fuzz", spread, occurrence);
    if (choice.move) {
        char text[16];
        formatMoveSan(board, choice.move, text);
    }
    bookMergeRecord(BookRecord{key, 1, 0, 1, 0}, MainBookName);
    for (const char* move : {"e2e4", "e7e5", "g1f3"}) {
        saveUndo(board);
        makeMove(board, parseMoveText(board, move));
    }
    bookLearnGame("fuzz", board.stack->undo, board.ply, size ? int(data[size / 2] % 3) - 1 : 0);
    return 0;
}
