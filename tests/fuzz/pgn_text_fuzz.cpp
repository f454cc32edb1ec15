// PGN text of any content imported into a book: the reader, SAN on the
// positions the games reach, and the merge with the book the last input left.
#include <cstdlib>
#include <vector>

#include "book/book.h"
#include "driver/engine.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Engine& engine = quietFuzzEngine();
    (void)engine;
    // The book stays from input to input, so that merges meet real books.
    writeScratchFile("games.pgn", data, size);
    const char* files[] = {"games.pgn"};
    ImportSummary summary = bookImportPgn({"fuzz.bk", 6, nullptr, nullptr}, files, 1);
    if (summary.written != (summary.imported > 0) ||
        summary.imported + summary.skipped != summary.gamesRead ||
        summary.newPositions > summary.positionsAdded)
        std::abort();
    std::vector<BookRecord> records;
    if (!bookReadAll("fuzz.bk", records)) std::abort();
    for (size_t i = 1; i < records.size(); ++i)
        if (records[i - 1].key >= records[i].key) std::abort();
    // A book that only grows would slow the fuzzer: it starts again now and then.
    if (records.size() > 20000) clearScratchDirectory();
    return 0;
}
