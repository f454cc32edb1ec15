// The memory that the memory setting sizes: transposition table, pawn table
// and evaluation cache, allocated once and cleared at every new game.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/searchstack.h"

struct TableEntry {
    uint32_t check;  // low 32 bits of hashKey
    uint16_t move;   // from, to and kind of the best move; 0 none
    int16_t score;   // mate scores relative to the node
    uint8_t generation;
    uint8_t hits;   // probes in the current generation, saturating
    uint8_t depth;  // whole plies
    uint8_t flags;  // bits 0-1 bound type, 2-4 the node's flags
};
static_assert(sizeof(TableEntry) == 12);

struct TableBucket {
    TableEntry entries[4];
};
static_assert(sizeof(TableBucket) == 48);

extern TableBucket* transpositionTable;
extern uint32_t ttBuckets;  // power of two; bucket = (hashKey >> 32) & (ttBuckets - 1)
extern uint8_t ttGeneration;
extern uint32_t hitTotal;
extern int hitShift;  // log2 of the number of entries

// Bytes the three tables may take: the setting in megabytes, at least 1024,
// at most a quarter of the address space.
uint64_t tableBytes(int megabytes, int egtbCache);

// Sizes and (re)allocates the three tables from megabytes (and egtb_cache),
// cleared. Returns 0, with no tables, when an allocation failed.
int allocateTables(int megabytes, int egtbCache);

// Zeroes the table and the evaluation cache, fills the pawn table with 0x01
// bytes so that no entry's check matches, generation 1, no hits.
void clearTables();

// Frees all three; the pointers become null.
void freeTables();

// Looks the position up; fills the record's table fields (ttScore, ttBound,
// ttDepth, ttHits, hashMove, flags) and returns the bound that allows a
// cut-off at this depth and window, else Bound::None.
Bound probeTable(Board& board, int ply, int depth, int32_t alpha, int32_t beta, PlyRecord& record);

// Stores a result and its bound. flags: the node's record
// flags (bits 0-2 are kept).
void storeTable(const Board& board, Move move, int ply, int depth, int32_t score, Bound bound,
                uint8_t flags);

// Thousandths of the table that hold entries of the current search, from a
// sample of its first thousand entries.
int tablePermill();

// The entry of the position, or null.
TableEntry* findTableEntry(const Board& board);

// A full Move from the 16 stored bits, read against the board.
Move expandTableMove(const Board& board, uint16_t word);
