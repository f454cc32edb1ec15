// The opening book file: 16-byte records of game results per position key,
// little-endian, in no order, no header.
#pragma once

#include <cstdint>

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
