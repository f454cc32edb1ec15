// The opening book file: 16-byte records of game results per position key,
// little-endian, in no order, no header. The main book holds every game; one
// book per opponent holds the games against that opponent.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "board/types.h"

struct BookRecord {
    uint64_t key;  // hashKey of the position
    uint16_t whiteWins;
    uint16_t blackWins;
    uint16_t draws;
    uint16_t flags;  // bit 0: no data for this position
};
static_assert(sizeof(BookRecord) == 16);

constexpr const char* MainBookName = "vostrel.bk";

// Room for an opponent's book name: up to 64 name characters and ".bk".
constexpr int BookNameSize = 72;

// The first record of the file with key; when the file cannot be read or holds
// no such record: key with all counts 0 and flags 1.
BookRecord bookProbe(const char* fileName, uint64_t key);

// The record's share of points for colour (draws count half), 0 without
// games; with bookRand of 2 or more plus a random spread of
// (rand() % bookRand - bookRand / 2) hundredths.
double bookScore(const BookRecord& record, int colour, int bookRand);

struct BookChoice {
    Move move;  // 0: no book move
    BookRecord record;
    char counts[64];  // "W 3, D 1, B 0", for a chess server
    char line[128];   // the information line: a depth-0 thinking line
};

// A book move for the position (the opponent's book first, then the main
// book), or move 0. bookRand: the random spread of the scores, hundredths;
// occurrence: games the main book wants of a line that did not score almost
// every point.
BookChoice bookChooseMove(Board& board, const char* opponentName, int bookRand, int occurrence);

// The record with the counts added; while one would pass 65535, all three
// are halved.
BookRecord bookAddCounts(BookRecord record, uint64_t whiteWins, uint64_t blackWins, uint64_t draws);

// Adds the counts of increment to the file's record of its key, appending a
// new record when there is none; a count that would pass 65535 halves all
// three. Creates a missing file. 1 when stored, 0 when the file could not be
// read or written (its records are then left as they were).
int bookMergeRecord(const BookRecord& increment, const char* fileName);

// Credits one game with outcome (+1 white won, -1 black won, 0 draw) to every
// distinct position of undo[0 .. plies-1], in the main book and in the
// opponent's. 1 when both books took every position.
int bookLearnGame(const char* opponentName, const UndoRecord* undo, int plies, int outcome);

// Whether book files can be made in the current directory: a scratch file is
// made there and removed (an installed copy may sit in a read-only directory).
bool bookFilesWritable();

// The file name of an opponent's book: the name made safe as a file name in
// the program's directory (no separators, no "..", nothing a file system
// refuses or treats as a device), never the main book, never empty, plus ".bk".
void opponentBookName(char* fileName, int size, const char* opponentName);

// Every whole record of the file, in file order (a torn tail is no record);
// false when the file exists but cannot be read. A missing file is an empty book.
bool bookReadAll(const char* fileName, std::vector<BookRecord>& records);

// Writes the records as the whole book: to fileName plus ".tmp", then put in
// the old book's place in one step, so that the old book stays whole until
// the new one is. false when either step failed (the old book is then untouched).
bool bookWriteAll(const char* fileName, const std::vector<BookRecord>& records);

// Importing PGN games into a book: what to do, and what was done.
struct BookImport {
    const char* bookName;
    int plies;            // positions of each game's first plies, as learning adds them
    std::FILE* messages;  // the reasons a game or a file was skipped
    std::FILE* progress;  // a running count for a terminal, or null
};

struct ImportSummary {
    long gamesRead, imported, skipped;  // skipped: malformed, unfinished or another variant
    long positionsAdded, newPositions;  // games' positions credited; keys the book lacked
    int unreadableFiles;
    bool written;  // the book was written; not when no game was imported
};

// Reads every game of the files and credits each finished one, as learning
// would, to the book, which is written once at the end.
ImportSummary bookImportPgn(const BookImport& import, const char* const* files, int fileCount);
