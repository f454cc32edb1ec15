// The search's per-ply memory: undo records of the game and the search, the
// move buffer with one list per ply, castling geometry and the node counters.
// Fixed-size arrays, so nothing is allocated while the engine plays.
#pragma once

#include <cstdint>

#include "board/types.h"

// One entry of a move list: the Move and the search's ordering score.
struct MoveEntry {
    Move move;
    int32_t score;
};
static_assert(sizeof(MoveEntry) == 8);

constexpr int StackMargin = 4;  // records before index 0, for looking a few plies back
constexpr int MaxGame = 1000;   // undo records: game plies plus search plies
constexpr int MaxPly = 64;      // deepest search ply
constexpr int MoveListCount = 100;
constexpr int MoveCapacity = MaxPly * 220 + 1000;

struct PawnHashEntry;

struct SearchStack {
    UndoRecord undoStore[StackMargin + MaxGame];
    UndoRecord* undo;  // undoStore + StackMargin, indexed by Board::ply
    MoveEntry moveBuffer[MoveCapacity + StackMargin];
    // List k runs from moveLists[k] to moveLists[k + 1]; list 0 starts the buffer.
    MoveEntry* moveLists[MoveListCount];
    void* pawnTableRaw;        // allocation, 1024 spare bytes for the alignment
    PawnHashEntry* pawnTable;  // aligned to 1024; null until allocateTables
    uint32_t pawnEntries;      // power of two; slot = (pawnHashKey >> 32) & (n - 1)
    uint32_t tablebaseProbes;
    uint32_t tablebaseHits;
    uint32_t pollCount;
    int margin;
    int maxGame;
    int maxPly;
    int moveCapacity;
    Bitboard pinRay;  // scratch ray of pinDirection
    int stopFlag;
    // Castling geometry, indexed by colour: set at setup, read by castling.
    int32_t kingStart[2];
    int32_t rookStartKingSide[2];
    int32_t rookStartQueenSide[2];
    double totalNodes;
    uint32_t makeCount;  // +1 per makeMove: the search's node counter
    uint32_t nullMoveCount;
    uint32_t pollLimit;
};

// The main search stack, the one static besides the Engine.
extern SearchStack mainSearchStack;

void initSearchStack(SearchStack& stack);
// Per-game reset: list 0 back to the buffer start, probe and poll counters to 0.
void resetSearchStackForGame(SearchStack& stack);
