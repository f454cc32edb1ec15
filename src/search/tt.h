// The transposition table that every search thread shares. Entries are read
// and written without locks: each is three words, and the first holds the key
// folded with the other two, so that an entry torn by two threads writing at
// once no longer matches any position.
#pragma once

#include <atomic>
#include <cstdint>

#include "board/types.h"
#include "search/searchstack.h"

// An entry as the search reads it.
struct TableEntry {
    uint32_t check;  // low 32 bits of hashKey
    uint16_t move;   // from, to and kind of the best move; 0 none
    int16_t score;   // mate scores relative to the node
    uint8_t generation;
    uint8_t hits;   // probes in the current generation, saturating
    uint8_t depth;  // whole plies
    uint8_t flags;  // bits 0-1 bound type, 2-4 the node's flags
};

// An entry as stored: word 1 move and score, word 2 generation, hits, depth
// and flags, word 0 the check xor word 1 xor word 2's depth and flags.
// Generation and hits stay out of the fold: probes update them alone.
struct TableSlot {
    std::atomic<uint32_t> word[3];
};
static_assert(sizeof(TableSlot) == 12);

struct TableBucket {
    TableSlot slots[4];
};
static_assert(sizeof(TableBucket) == 48);

struct TranspositionTable {
    TableBucket*
        buckets;  // page-aligned, in large pages where the system has them; null until allocated
    uint32_t bucketCount;  // power of two; bucket = (hashKey >> 32) & (bucketCount - 1)
    int hitShift;          // log2 of the number of entries
    uint8_t generation;    // of the running search; only the main thread advances it
};

// Bytes the memory setting gives the transposition and pawn tables: the
// setting in megabytes, at least 1024, at most a quarter of the address space.
uint64_t tableBytes(int megabytes, int egtbCache);

// How tableBytes divide: the main thread's pawn table first, the
// transposition table the rest.
struct TableSizes {
    uint64_t pawnEntries;
    uint64_t buckets;
};
TableSizes tableSizes(int megabytes, int egtbCache);

// (Re)allocates the table with buckets buckets, cleared. Returns 0, with no
// table, when the allocation failed.
int allocateTable(TranspositionTable& table, uint64_t buckets);

// Zeroes the table; generation 1.
void clearTable(TranspositionTable& table);

// Frees it; the table becomes empty.
void freeTable(TranspositionTable& table);

// Looks the position up; fills the ply's table fields (ttScore, ttBound,
// ttDepth, ttHits, hashMove, flags) and returns the bound that allows a
// cut-off at this depth and window, else Bound::None. Counts the hits in
// stack.hitTotal.
Bound probeTable(TranspositionTable& table, SearchStack& stack, Board& board, int ply, int depth,
                 int32_t alpha, int32_t beta);

// Stores a result and its bound. flags: the node's record flags (bits 0-2
// are kept).
void storeTable(TranspositionTable& table, SearchStack& stack, const Board& board, Move move,
                int ply, int depth, int32_t score, Bound bound, uint8_t flags);

// Thousandths of the table that hold entries of the current search, from a
// sample of its first thousand entries.
int tablePermill(const TranspositionTable& table);

// The bucket of a key: its high half, masked to the (power of two) count.
inline uint32_t bucketIndex(const TranspositionTable& table, uint64_t hashKey) {
    return uint32_t(hashKey >> 32) & (table.bucketCount - 1);
}

// Starts loading the bucket of a key that the search is about to probe, so
// that the probe finds it in the cache (a bucket may straddle two lines).
inline void prefetchBucket(const TranspositionTable& table, uint64_t hashKey) {
    if (!table.buckets) return;
    const char* bucket = reinterpret_cast<const char*>(&table.buckets[bucketIndex(table, hashKey)]);
    __builtin_prefetch(bucket);
    __builtin_prefetch(bucket + sizeof(TableBucket) - 1);
}

// The entry of the position: true, with it in entry, when there is one.
bool readTableEntry(const TranspositionTable& table, const Board& board, TableEntry& entry);

// A full Move from the 16 stored bits, read against the board.
Move expandTableMove(const Board& board, uint16_t word);
