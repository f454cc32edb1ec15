// Pawn structure: everything that depends only on the pawns, cached by
// pawnHashKey in the pawn table.
#pragma once

#include <cstdint>

#include "board/types.h"

struct PawnHashEntry {
    Bitboard passed;                 // passed pawns of both colours
    Bitboard fixed;                  // pawns that can no longer move or be guarded, both colours
    uint32_t check;                  // low 32 bits of pawnHashKey
    int16_t score;                   // structure score, White's view
    uint8_t filesWithoutWhitePawns;  // bit f: file f holds no white pawn
    uint8_t filesWithoutBlackPawns;
    uint8_t flags;  // PawnStructureFlag bits
    uint8_t padding[7];
};
static_assert(sizeof(PawnHashEntry) == 32);

// One per search thread, sized from the memory setting.
struct PawnTable {
    // Page-aligned, in large pages where the system has them; null until
    // allocated.
    PawnHashEntry* entries;
    uint32_t count;       // power of two
    PawnHashEntry spare;  // holds the structure when there is no table
};

// The slot of a pawn key: its high half, masked to the (power of two) count.
inline uint32_t pawnSlot(const PawnTable& table, uint64_t pawnHashKey) {
    return uint32_t(pawnHashKey >> 32) & (table.count - 1);
}

// (Re)allocates count entries (a power of two), filled so that no check
// matches. Returns 0, with no table, when the allocation failed.
int allocatePawnTable(PawnTable& table, uint64_t count);
// Every entry's check made unmatchable.
void clearPawnTable(PawnTable& table);
void freePawnTable(PawnTable& table);

enum PawnStructureFlag : uint8_t {
    PawnsLocked = 1,
    WhiteOutsidePasser = 8,
    BlackOutsidePasser = 16,
    PawnsFullyLocked = 32,  // locked, and pawns of both colours on every file
    WhiteSplitPassers = 64,
    BlackSplitPassers = 128
};

// Per-pawn flag bits, the column index of pawnFlagTable.
enum PawnFlag : int {
    PawnBackward = 1,
    PawnBlocked = 2,
    PawnCandidate = 4,
    PawnPassedDuo = 8,
    PawnDoubled = 16,
    PawnAdvanceAttacked = 32,
    PawnIsolatedOrWeak = 64,
    PawnPassed = 128,
    PawnDefended = 256
};

// [rank from the pawn's own side][flag set]: score of one pawn.
extern int16_t pawnFlagTable[8][512];

// Once at start-up, after the configuration file.
void buildPawnFlagTable();

// PawnFlag bits of the pawn on square (either colour), 0 without one.
int pawnFlagsOf(const Board& board, int square);

// Finds or builds the entry of the board's pawns, points evalScratch at it and
// writes both sides' pawnlessFiles. Only with at least one pawn on the board.
PawnHashEntry& probePawnStructure(PawnTable& table, Board& board);

// Starts loading the entry the evaluation of this position will read, so
// that it arrives while the search waits for the transposition table.
inline void prefetchPawnEntry(const PawnTable& table, const Board& board) {
    if (table.entries) __builtin_prefetch(&table.entries[pawnSlot(table, board.pawnHashKey)]);
}
