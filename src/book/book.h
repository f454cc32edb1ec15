// The opening book file: 16-byte records of game results per position key,
// little-endian, in no order, no header.
#pragma once

#include <cstdint>

#include "board/types.h"

struct Engine;

struct BookRecord {
    uint64_t key;  // hashKey of the position
    uint16_t whiteWins;
    uint16_t blackWins;
    uint16_t draws;
    uint16_t flags;  // bit 0: no data for this position
};
static_assert(sizeof(BookRecord) == 16);

constexpr const char* MainBookName = "vostrel.bk";

// The first record of the file with key; when the file cannot be read or holds
// no such record: key with all counts 0 and flags 1.
BookRecord bookProbe(const char* fileName, uint64_t key);

// A book move for the position (the opponent's book first, then the main
// book), or 0. Learning and choice arrive with the book's own work; until then
// no move is found.
Move bookChooseMove(Engine& engine, Board& board, char* informationLine, int size);
