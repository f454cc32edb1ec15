#include "book/book.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "board/makemove.h"
#include "board/movegen.h"
#include "platform/platform.h"

namespace {

constexpr int RecordSize = 16;
constexpr int MaxBaseLength = 64;  // characters of an opponent's name kept in its file name

// Byte by byte, so that the file reads the same on any host byte order and
// whatever padding a compiler might choose.
uint64_t readLittleEndian(const unsigned char* bytes, int count) {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

void writeLittleEndian(unsigned char* bytes, uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

BookRecord decodeRecord(const unsigned char* bytes) {
    BookRecord record;
    record.key = readLittleEndian(bytes, 8);
    record.whiteWins = uint16_t(readLittleEndian(bytes + 8, 2));
    record.blackWins = uint16_t(readLittleEndian(bytes + 10, 2));
    record.draws = uint16_t(readLittleEndian(bytes + 12, 2));
    record.flags = uint16_t(readLittleEndian(bytes + 14, 2));
    return record;
}

void encodeRecord(unsigned char* bytes, const BookRecord& record) {
    writeLittleEndian(bytes, record.key, 8);
    writeLittleEndian(bytes + 8, record.whiteWins, 2);
    writeLittleEndian(bytes + 10, record.blackWins, 2);
    writeLittleEndian(bytes + 12, record.draws, 2);
    writeLittleEndian(bytes + 14, record.flags, 2);
}

bool noData(const BookRecord& record) { return record.flags & 1; }

int gamesOf(const BookRecord& record) { return record.whiteWins + record.blackWins + record.draws; }

double shareOf(const BookRecord& record, int colour) {
    int games = gamesOf(record);
    if (games == 0) return 0.0;
    int wins = colour == White ? record.whiteWins : record.blackWins;
    return (wins + record.draws / 2.0) / games;
}

// The opponent's book repeats what worked against this opponent: white takes
// only winning lines, black also lines that scored a little under half.
bool opponentBookAccepts(int, const BookRecord&, int colour, double share) {
    return colour == White ? share > 0.5 : share >= 0.45;
}

// The main book wants enough games, unless the line scored almost every point.
bool mainBookAccepts(int occurrence, const BookRecord& record, int colour, double share) {
    if (share < 0.9 && gamesOf(record) < occurrence) return false;
    return share >= (colour == White ? 0.45 : 0.35);
}

// The moves of list 0 against one book file: the acceptable move with the
// best noisy score, the earlier one on a tie.
BookChoice chooseFrom(const BookRecord* records, const MoveEntry* moves, int count, int colour,
                      int bookRand, int occurrence,
                      bool (*accepts)(int, const BookRecord&, int, double)) {
    BookChoice choice{};
    double best = -9999999999.0;
    for (int i = 0; i < count; ++i) {
        const BookRecord& record = records[i];
        if (noData(record) || !accepts(occurrence, record, colour, shareOf(record, colour)))
            continue;
        double value = bookScore(record, colour, bookRand);
        if (value > best) {
            best = value;
            choice.move = moves[i].move;
            choice.record = record;
        }
    }
    return choice;
}

bool isAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
unsigned char upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// Case-insensitive: the names below are the same file (or device) on Windows.
bool sameWord(const char* text, int length, const char* word) {
    int i = 0;
    for (; i < length && word[i]; ++i)
        if (upper(text[i]) != upper(word[i])) return false;
    return i == length && !word[i];
}

// A name Windows takes for a device whatever extension follows ("CON.bk" is
// the console), or the main book's own name.
bool reservedBase(const char* base, int length) {
    int stem = 0;
    while (stem < length && base[stem] != '.') ++stem;
    while (stem > 0 && base[stem - 1] == ' ') --stem;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : devices)
        if (sameWord(base, stem, device)) return true;
    if (stem == 4 && (sameWord(base, 3, "COM") || sameWord(base, 3, "LPT")) &&
        isAsciiDigit(base[3]))
        return true;
    return sameWord(base, length, "vostrel");
}

bool hasCounts(const BookRecord& record) {
    return record.whiteWins || record.blackWins || record.draws;
}

// One whole record at its own offset, so that a failure cannot tear another.
bool writeRecordAt(std::FILE* file, long offset, const BookRecord& record) {
    unsigned char bytes[RecordSize];
    encodeRecord(bytes, record);
    return std::fseek(file, offset, SEEK_SET) == 0 &&
           std::fwrite(bytes, 1, RecordSize, file) == RecordSize && std::fflush(file) == 0;
}

// Opens a book for update, creating a missing one. Append mode creates the
// file without ever truncating one that exists but refused the update mode.
std::FILE* openForUpdate(const char* fileName) {
    if (std::FILE* file = std::fopen(fileName, "r+b")) return file;
    std::FILE* created = std::fopen(fileName, "ab");
    if (!created) return nullptr;
    std::fclose(created);
    return std::fopen(fileName, "r+b");
}

bool seenBefore(const UndoRecord* undo, int ply) {
    for (int i = 0; i < ply; ++i)
        if (undo[i].hashKey == undo[ply].hashKey) return true;
    return false;
}

constexpr int BatchSize = 256;       // keys looked up in one pass over a file
constexpr int FilterBits = 1 << 14;  // a key's low bits say whether it may be one of them
constexpr int BlockRecords = 4096;   // records read at a time
constexpr int ChoiceMoves = 512;     // more than any position's pseudo-legal moves

// What one pass over a book found of a batch of distinct keys: the first
// record of each (flags 1 and no counts where none) and its offset (-1).
struct Scan {
    BookRecord records[BatchSize];
    long offsets[BatchSize];
    long end;  // of the whole records, when the pass reached the file's end; else -1
    bool failed;
};

// A book is read in blocks and each key filtered by its low bits before the
// batch is searched: a book move costs one pass over the file, not one per
// legal move.
void scanBook(std::FILE* file, const uint64_t* keys, int count, Scan& scan) {
    uint64_t filter[FilterBits / 64] = {};
    std::pair<uint64_t, int> sorted[BatchSize];
    for (int i = 0; i < count; ++i) {
        scan.records[i] = {keys[i], 0, 0, 0, 1};
        scan.offsets[i] = -1;
        sorted[i] = {keys[i], i};
        filter[(keys[i] % FilterBits) / 64] |= uint64_t(1) << (keys[i] % 64);
    }
    std::sort(sorted, sorted + count);
    scan.end = -1;
    scan.failed = false;
    int missing = count;
    unsigned char block[RecordSize * BlockRecords];
    long offset = 0;
    while (missing > 0) {
        size_t got = std::fread(block, 1, sizeof block, file);
        size_t whole = got - got % RecordSize;
        for (size_t at = 0; at < whole; at += RecordSize) {
            uint64_t key = readLittleEndian(block + at, 8);
            if (!(filter[(key % FilterBits) / 64] >> (key % 64) & 1)) continue;
            auto it = std::lower_bound(sorted, sorted + count, std::make_pair(key, -1));
            if (it == sorted + count || it->first != key || scan.offsets[it->second] >= 0) continue;
            scan.records[it->second] = decodeRecord(block + at);
            scan.offsets[it->second] = offset + long(at);
            --missing;
        }
        // A short read at the end leaves a torn record: it is not a record at all.
        if (got < sizeof block) {
            scan.failed = std::ferror(file) != 0;
            if (!scan.failed) scan.end = offset + long(whole);
            return;
        }
        // Offsets are longs, 32 bits on Windows: a book past 2 GB is read no further.
        if (offset > LONG_MAX - 2 * long(sizeof block)) {
            scan.failed = true;
            return;
        }
        offset += long(whole);
    }
}

// Adds the counts of increments (distinct keys, at most BatchSize) to their
// records, appending the new ones after the last whole record.
bool mergeBatch(std::FILE* file, const BookRecord* increments, int count) {
    uint64_t keys[BatchSize];
    for (int i = 0; i < count; ++i) keys[i] = increments[i].key;
    Scan scan;
    scanBook(file, keys, count, scan);
    if (scan.failed) return false;
    long append = scan.end;
    if (append >= 0) {
        // The new records go over any torn tail, so that every record stays at
        // a multiple of 16; only when the scan really reached the end.
        long end = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
        if (end < append || end - append >= RecordSize) append = -1;
    }
    for (int i = 0; i < count; ++i) {
        const BookRecord& increment = increments[i];
        if (scan.offsets[i] >= 0) {
            BookRecord record = bookAddCounts(scan.records[i], increment.whiteWins,
                                              increment.blackWins, increment.draws);
            record.flags |= increment.flags;
            if (!writeRecordAt(file, scan.offsets[i], record)) return false;
        } else if (hasCounts(increment)) {
            if (append < 0 || !writeRecordAt(file, append, increment)) return false;
            append += RecordSize;
        }
    }
    return true;
}

// The first record of each of count distinct keys (flags 1 and no counts
// where the file has none or cannot be read).
void probeMany(const char* fileName, const uint64_t* keys, int count, BookRecord* records) {
    for (int i = 0; i < count; ++i) records[i] = {keys[i], 0, 0, 0, 1};
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return;
    Scan scan;
    for (int at = 0; at < count; at += BatchSize) {
        int size = std::min(BatchSize, count - at);
        if (at > 0 && std::fseek(file, 0, SEEK_SET) != 0) break;
        scanBook(file, keys + at, size, scan);
        std::copy(scan.records, scan.records + size, records + at);
    }
    std::fclose(file);
}

// Merges into one book file: every increment or, after a failure, none of the rest.
bool mergeIntoFile(const char* fileName, const BookRecord* increments, int count) {
    if (count == 0) return true;
    std::FILE* file = openForUpdate(fileName);
    if (!file) return false;
    bool stored = true;
    for (int at = 0; at < count && stored; at += BatchSize) {
        int size = std::min(BatchSize, count - at);
        stored = mergeBatch(file, increments + at, size);
        if (stored && at + size < count) stored = std::fseek(file, 0, SEEK_SET) == 0;
    }
    if (std::fclose(file) != 0) stored = false;
    return stored;
}

}  // namespace

BookRecord bookProbe(const char* fileName, uint64_t key) {
    BookRecord record;
    probeMany(fileName, &key, 1, &record);
    return record;
}

BookRecord bookAddCounts(BookRecord record, uint64_t whiteWins, uint64_t blackWins,
                         uint64_t draws) {
    uint64_t white = record.whiteWins + whiteWins;
    uint64_t black = record.blackWins + blackWins;
    uint64_t drawn = record.draws + draws;
    // Halving all three keeps the ratios that the choice looks at.
    while (white > 65535 || black > 65535 || drawn > 65535) {
        white /= 2;
        black /= 2;
        drawn /= 2;
    }
    record.whiteWins = uint16_t(white);
    record.blackWins = uint16_t(black);
    record.draws = uint16_t(drawn);
    return record;
}

double bookScore(const BookRecord& record, int colour, int bookRand) {
    double score = shareOf(record, colour);
    if (bookRand >= 2) score += (std::rand() % bookRand - bookRand / 2) * 0.01;
    return score;
}

BookChoice bookChooseMove(Board& board, const char* opponentName, int bookRand, int occurrence) {
    char opponentBook[BookNameSize];
    opponentBookName(opponentBook, sizeof opponentBook, opponentName);
    int count = generateMoves(board);
    const MoveEntry* moves = board.stack->moveLists[0];
    // The positions after each move, looked up in one pass over each book.
    uint64_t keys[ChoiceMoves] = {};
    BookRecord records[ChoiceMoves];
    count = std::min(count, ChoiceMoves);
    saveUndo(board);
    for (int i = 0; i < count; ++i) {
        makeMove(board, moves[i].move);
        keys[i] = board.hashKey;
        unmakeMove(board);
    }
    int colour = board.toMove->colour;
    probeMany(opponentBook, keys, count, records);
    BookChoice choice =
        chooseFrom(records, moves, count, colour, bookRand, occurrence, opponentBookAccepts);
    if (!choice.move) {
        probeMany(MainBookName, keys, count, records);
        choice = chooseFrom(records, moves, count, colour, bookRand, occurrence, mainBookAccepts);
    }
    if (!choice.move) return choice;
    const BookRecord& record = choice.record;
    if (noData(record))
        std::snprintf(choice.counts, sizeof choice.counts, "W 0, D 0, B 0");
    else
        std::snprintf(choice.counts, sizeof choice.counts, "W %d, D %d, B %d", record.whiteWins,
                      record.draws, record.blackWins);
    std::snprintf(choice.line, sizeof choice.line, "0\t%d\t0\t0\t%s\n",
                  int(shareOf(record, board.toMove->colour) * 100), choice.counts);
    return choice;
}

int bookMergeRecord(const BookRecord& increment, const char* fileName) {
    return mergeIntoFile(fileName, &increment, 1);
}

int bookLearnGame(const char* opponentName, const UndoRecord* undo, int plies, int outcome) {
    char opponentBook[BookNameSize];
    opponentBookName(opponentBook, sizeof opponentBook, opponentName);
    static BookRecord increments[MaxGame];  // static: too large for a thread's stack
    int count = 0;
    for (int ply = 0; ply < plies && ply < MaxGame; ++ply) {
        // A repeated position was still reached in one game only.
        if (seenBefore(undo, ply)) continue;
        increments[count++] = {undo[ply].hashKey, uint16_t(outcome == 1), uint16_t(outcome == -1),
                               uint16_t(outcome == 0), 0};
    }
    // After a failure a book is left alone for the rest of the game.
    bool mainStored = mergeIntoFile(MainBookName, increments, count);
    bool opponentStored = mergeIntoFile(opponentBook, increments, count);
    return mainStored && opponentStored;
}

void opponentBookName(char* fileName, int size, const char* opponentName) {
    char base[MaxBaseLength + 2];
    int length = 0;
    for (const char* c = opponentName; *c && length < MaxBaseLength; ++c) {
        unsigned char ch = static_cast<unsigned char>(*c);
        bool kept = isAsciiLetter(ch) || isAsciiDigit(ch) || ch == ' ' || ch == '_' || ch == '-' ||
                    (ch == '.' && length > 0);
        base[length++] = kept ? char(ch) : '_';
    }
    if (length == 0) base[length++] = '_';
    base[length] = '\0';
    std::snprintf(fileName, size_t(size), "%s%s.bk", reservedBase(base, length) ? "_" : "", base);
}

bool bookFilesWritable() {
    constexpr const char* Scratch = "vostrel-write-check.tmp";
    std::FILE* file = std::fopen(Scratch, "wb");
    if (!file) return false;
    std::fclose(file);
    std::remove(Scratch);
    return true;
}

bool bookReadAll(const char* fileName, std::vector<BookRecord>& records) {
    records.clear();
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return errno == ENOENT;
    unsigned char bytes[RecordSize * 4096];
    size_t got;
    while ((got = std::fread(bytes, 1, sizeof bytes, file)) >= RecordSize) {
        for (size_t at = 0; at + RecordSize <= got; at += RecordSize)
            records.push_back(decodeRecord(bytes + at));
        if (got % RecordSize) break;  // the torn tail that ends the file
    }
    bool read = !std::ferror(file);
    std::fclose(file);
    return read;
}

bool bookWriteAll(const char* fileName, const std::vector<BookRecord>& records) {
    char temporary[4096];
    if (std::snprintf(temporary, sizeof temporary, "%s.tmp", fileName) >= int(sizeof temporary))
        return false;
    std::FILE* file = std::fopen(temporary, "wb");
    if (!file) return false;
    unsigned char bytes[RecordSize * 4096];
    bool written = true;
    for (size_t i = 0; i < records.size() && written;) {
        size_t count = 0;
        for (; count < 4096 && i < records.size(); ++count, ++i)
            encodeRecord(bytes + count * RecordSize, records[i]);
        written = std::fwrite(bytes, RecordSize, count, file) == count;
    }
    if (std::fclose(file) != 0) written = false;
    if (written && replaceFile(temporary, fileName)) return true;
    std::remove(temporary);
    return false;
}
