// Book speed at size: a book of N positions (random keys, plus every position
// after the first moves of the initial position), then the time of a book move
// from the initial position and of learning a 60-ply game into the book.
// Usage: book_bench [positions] [repeats]   (default 1000000 and 5; medians)
// Works in a directory of its own under the system's temporary directory.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "book/book.h"
#include "driver/engine.h"
#include "notation/fen.h"
#include "platform/platform.h"
#include "search/search.h"

namespace {

double secondsSince(uint64_t start) {
    return double(readCounter() - start) / double(readCounterFrequency());
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    long positions = argc > 1 ? std::max(1L, std::atol(argv[1])) : 1000000;
    int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    namespace fs = std::filesystem;
    fs::path directory = fs::temp_directory_path() / "vostrel-book-bench";
    fs::create_directories(directory);
    fs::current_path(directory);
    static Engine engine;
    static QuietHost host;
    initEngine(engine, host);
    ensureInitialised(engine);
    Board& board = engine.game.board;
    char message[FenMessageSize];
    if (!parseFen(board, engine.game.stack, StartFen, message)) return 2;

    // The positions after each first move, each with games enough to be chosen.
    std::vector<BookRecord> records;
    int count = generateMoves(board);
    for (int i = 0; i < count; ++i) {
        makeMove(board, board.stack->moveLists[0][i].move);
        records.push_back({board.hashKey, uint16_t(10 + i), 5, 5, 0});
        unmakeMove(board);
    }
    uint64_t state = 0x9E3779B97F4A7C15ull;
    while (long(records.size()) < positions) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        records.push_back({state ^ (state >> 29), 1, 1, 1, 0});
    }
    // The chosen positions at the end, where a scan reaches them last.
    std::rotate(records.begin(), records.begin() + count, records.end());
    if (!bookWriteAll(MainBookName, records)) return 2;

    std::vector<double> choice, learning;
    Move chosen = 0;
    for (int r = 0; r < repeats; ++r) {
        uint64_t start = readCounter();
        chosen = bookChooseMove(board, "bench opponent", 0, 1).move;
        choice.push_back(secondsSince(start));
        // A game of 60 plies: the first legal move each time.
        int played = 0;
        for (; played < 60 && generateLegalMoves(board, 0) > 0; ++played) {
            saveUndo(board);
            makeMove(board, board.stack->moveLists[0][0].move);
        }
        start = readCounter();
        bookLearnGame("bench opponent", board.stack->undo, played, 0);
        learning.push_back(secondsSince(start));
        while (played-- > 0) unmakeMove(board);
    }
    std::printf(
        "book of %ld positions (%.1f MB): book move %.2f ms%s, learning a game %.1f ms"
        " (medians of %d)\n",
        positions, double(fs::file_size(MainBookName)) / 1e6, median(choice) * 1e3,
        chosen ? "" : " (none found)", median(learning) * 1e3, repeats);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(directory);
    return chosen ? 0 : 1;
}
