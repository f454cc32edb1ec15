// PGN games into the book: every game read and checked move by move, the
// credits of all of them gathered in memory, the book merged and written once.
#include <algorithm>
#include <cstring>
#include <memory>

#include "board/makemove.h"
#include "book/book.h"
#include "notation/fen.h"
#include "notation/movetext.h"
#include "notation/pgn.h"

namespace {

// One position's games, wider than a record's counts while they add up.
struct Credit {
    uint64_t key;
    uint32_t whiteWins, blackWins, draws;
};

constexpr size_t CompactAt = size_t(1) << 22;  // credits gathered before equal keys are folded
constexpr long ProgressEvery = 1000;           // games between two progress lines

// Sorts by key and folds equal keys into one credit.
void compact(std::vector<Credit>& credits) {
    std::sort(credits.begin(), credits.end(),
              [](const Credit& a, const Credit& b) { return a.key < b.key; });
    size_t kept = 0;
    for (size_t i = 0; i < credits.size(); ++i) {
        if (kept > 0 && credits[kept - 1].key == credits[i].key) {
            credits[kept - 1].whiteWins += credits[i].whiteWins;
            credits[kept - 1].blackWins += credits[i].blackWins;
            credits[kept - 1].draws += credits[i].draws;
        } else {
            credits[kept++] = credits[i];
        }
    }
    credits.resize(kept);
}

bool sameText(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? char(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? char(*b - 'A' + 'a') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// Orthodox chess and fischerandom, by the names PGN writers give them.
bool playedVariant(const char* variant) {
    static const char* const names[] = {"",          "standard",      "normal",
                                        "chess",     "fischerandom",  "chess960",
                                        "chess 960", "fischer random"};
    for (const char* name : names)
        if (sameText(variant, name)) return true;
    return false;
}

struct Importer {
    const BookImport& import;
    ImportSummary& summary;
    std::vector<Credit> credits;
    std::vector<uint64_t> keys;  // of one game
    std::unique_ptr<BoardStack> stack = std::make_unique<BoardStack>();
    std::unique_ptr<PgnGame> game = std::make_unique<PgnGame>();
    std::unique_ptr<PgnReader> reader = std::make_unique<PgnReader>();
    Board board{};

    Importer(const BookImport& task, ImportSummary& totals) : import(task), summary(totals) {
        initBoardStack(*stack);
    }

    void skip(const char* fileName, int line, const char* reason, const char* detail = "") {
        ++summary.skipped;
        if (import.messages)
            std::fprintf(import.messages, "%s:%d: %s%s, game skipped\n", fileName, line, reason,
                         detail);
    }

    // The keys of the positions before each of the first plies + 1 moves, or
    // the reason the game cannot be taken.
    const char* playGame(char* detail, int detailSize, int& line) {
        char message[FenMessageSize];
        line = game->firstLine;
        if (!parseFen(board, *stack, game->fen[0] ? game->fen : StartFen, message)) {
            std::snprintf(detail, size_t(detailSize), ": %s", message);
            return "bad FEN";
        }
        keys.clear();
        for (int i = 0; i < game->moveCount; ++i) {
            if (i <= import.plies) keys.push_back(board.hashKey);
            // A game longer than the history can hold is checked as far as it goes.
            if (!undoHasRoom(board)) break;
            SanReading reading = readMoveSan(board, game->moves[i]);
            if (!reading.move) {
                line = game->moveLines[i];
                std::snprintf(detail, size_t(detailSize), " \"%s\"", game->moves[i]);
                return reading.error;
            }
            saveUndo(board);
            makeMove(board, reading.move);
        }
        return nullptr;
    }

    void readGame(const char* fileName) {
        ++summary.gamesRead;
        if (game->error) return skip(fileName, game->errorLine, game->error);
        if (!playedVariant(game->variant)) {
            char detail[PgnVariantSize + 8];
            std::snprintf(detail, sizeof detail, " \"%s\"", game->variant);
            return skip(fileName, game->firstLine, "variant not played", detail);
        }
        char detail[PgnTokenSize + FenMessageSize + 8];
        int line = 0;
        if (const char* reason = playGame(detail, sizeof detail, line))
            return skip(fileName, line, reason, detail);
        // An unfinished game teaches nothing; it is no fault either.
        if (game->result == PgnUnfinished) {
            ++summary.skipped;
            return;
        }
        ++summary.imported;
        // A position repeated within the game was still reached in one game.
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        for (uint64_t key : keys)
            credits.push_back({key, game->result == 1, game->result == -1, game->result == 0});
        summary.positionsAdded += long(keys.size());
        if (credits.size() >= CompactAt) compact(credits);
    }

    void readFile(const char* fileName) {
        std::FILE* file = std::fopen(fileName, "rb");
        if (!file) {
            ++summary.unreadableFiles;
            if (import.messages) std::fprintf(import.messages, "%s: cannot be read\n", fileName);
            return;
        }
        pgnReadFile(*reader, file);
        while (pgnNextGame(*reader, *game)) {
            readGame(fileName);
            if (import.progress && summary.gamesRead % ProgressEvery == 0)
                std::fprintf(import.progress, "\r%s: %ld games read", fileName, summary.gamesRead);
        }
        if (std::ferror(file)) {
            ++summary.unreadableFiles;
            if (import.messages)
                std::fprintf(import.messages, "%s: read error, the rest not read\n", fileName);
        }
        std::fclose(file);
    }

    // The book's records, the first of each key credited, plus the new keys;
    // sorted by key.
    bool merge(std::vector<BookRecord>& book) {
        compact(credits);
        if (!bookReadAll(import.bookName, book)) {
            if (import.messages)
                std::fprintf(import.messages, "%s: the book cannot be read\n", import.bookName);
            return false;
        }
        std::stable_sort(book.begin(), book.end(),
                         [](const BookRecord& a, const BookRecord& b) { return a.key < b.key; });
        book.erase(
            std::unique(book.begin(), book.end(),
                        [](const BookRecord& a, const BookRecord& b) { return a.key == b.key; }),
            book.end());
        std::vector<BookRecord> merged;
        merged.reserve(book.size() + credits.size());
        size_t b = 0;
        for (const Credit& credit : credits) {
            while (b < book.size() && book[b].key < credit.key) merged.push_back(book[b++]);
            BookRecord record{credit.key, 0, 0, 0, 0};
            if (b < book.size() && book[b].key == credit.key)
                record = book[b++];
            else
                ++summary.newPositions;
            // As learning does one game at a time.
            record = bookAddCounts(record, credit.whiteWins, credit.blackWins, credit.draws);
            merged.push_back(record);
        }
        while (b < book.size()) merged.push_back(book[b++]);
        book.swap(merged);
        return true;
    }
};

}  // namespace

ImportSummary bookImportPgn(const BookImport& import, const char* const* files, int fileCount) {
    ImportSummary summary{};
    Importer importer{import, summary};
    for (int i = 0; i < fileCount; ++i) importer.readFile(files[i]);
    if (import.progress && summary.gamesRead >= ProgressEvery)
        std::fprintf(import.progress, "\r%*s\r", 60, "");
    // Nothing taken: the book stays as it is, not even rewritten.
    if (summary.imported == 0) return summary;
    std::vector<BookRecord> book;
    summary.written = importer.merge(book) && bookWriteAll(import.bookName, book);
    if (!summary.written && import.messages)
        std::fprintf(import.messages, "%s: the book could not be written; it is as it was\n",
                     import.bookName);
    return summary;
}
