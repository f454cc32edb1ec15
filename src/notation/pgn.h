// PGN text game by game: the tag pairs, then the movetext's moves up to its
// result, with comments ("{...}", ";..."), variations, NAGs, move numbers and
// escape lines ("%...") passed over and any line ending taken.
#pragma once

#include <cstddef>
#include <cstdio>

constexpr int PgnTokenSize = 16;       // a move's text, with room for its terminator
constexpr int PgnMaxMoves = 2048;      // moves kept of one game; the rest are read over
constexpr int PgnFenSize = 128;        // the [FEN] tag's value, longer is an error
constexpr int PgnVariantSize = 32;     // the [Variant] tag's value, cut to fit
constexpr int PgnBlockSize = 1 << 16;  // bytes read from a file at a time
constexpr int PgnUnfinished = 2;       // PgnGame::result of "*"

// Where the text comes from: a file, or bytes in memory (file null).
struct PgnReader {
    std::FILE* file;
    const char* text;
    size_t size;
    size_t at;
    int line;  // of the next character, from 1
    bool lastWasReturn;
    bool lineStart;  // the next character begins a line
    char block[PgnBlockSize];
};

struct PgnGame {
    int firstLine;
    char fen[PgnFenSize];  // empty: the initial position
    char variant[PgnVariantSize];
    int result;  // 1 white won, -1 black won, 0 draw, or PgnUnfinished
    int moveCount;
    bool movesCut;  // more than PgnMaxMoves moves
    char moves[PgnMaxMoves][PgnTokenSize];
    int moveLines[PgnMaxMoves];
    const char* error;  // the first fault of the game's text, null when none
    int errorLine;
};

void pgnReadFile(PgnReader& reader, std::FILE* file);
void pgnReadText(PgnReader& reader, const char* text, size_t size);

// The next game; 0 at the end of the text. A game with a fault is still read
// to its end (its result, or where the next game's tags begin), so that the
// games after it are read as they stand.
int pgnNextGame(PgnReader& reader, PgnGame& game);
