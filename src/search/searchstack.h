// The search's per-ply memory: undo records of the game and the search, the
// move buffer with one list per ply, castling geometry and the node counters.
// Fixed-size arrays, so nothing is allocated while the engine plays.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/pv.h"

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

// Scores of the search, side to move's view. A side mated at ply p scores
// p - Mate; scores beyond +-MateBound are mates, MateBound itself a known win.
constexpr int32_t Mate = 32763;
constexpr int32_t MateBound = 31763;
constexpr int32_t NoScore = -32764;  // below every real score
constexpr int OnePly = 8;            // depth is counted in eighths of a ply

// PlyRecord::flags bits; bits 0-2 travel through the transposition table.
constexpr uint8_t FlagSingleReply = 1;
constexpr uint8_t FlagMateThreat = 2;  // the null move was answered by a mate
constexpr uint8_t FlagMateInOneThreat = 4;
constexpr uint8_t FlagNullFailsLow = 8;  // the table says a null move would fail low

// One node of the search, indexed by ply from the root.
struct PlyRecord {
    Move triedMoves[8];  // handed out by the picker's single-move stages
    PrincipalVariation pv;
    Move bestMove;
    int32_t bestScore;
    Move hashMove;
    Move threatMove;  // the reply that refuted the parent's null move
    Move killer1, killer2;
    uint32_t listCount;
    uint32_t stage;  // picker stage
    uint32_t triedCount;
    int32_t ttScore;  // mate-adjusted to this ply; -Mate when none
    int32_t ttDepth;  // eighths
    uint8_t ttType;   // 0 none, 1 upper, 2 lower, 3 exact
    uint8_t ttHits;
    uint8_t moveCount;
    uint8_t flags;
    int32_t extension;  // eighths; negative for a reduction
};

struct PawnHashEntry;

struct SearchStack {
    UndoRecord undoStore[StackMargin + MaxGame];
    UndoRecord* undo;  // undoStore + StackMargin, indexed by Board::ply
    // Margin records on both sides: a node reads its parent and grandparent
    // and writes the records of the next two plies.
    PlyRecord plyStore[StackMargin + MaxPly + StackMargin];
    PlyRecord* plies;  // plyStore + StackMargin, indexed by ply
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
    int qsSelDepth;   // deepest ply reached, quiescence included
    int selDepth;     // deepest ply of the main search
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
// Per-game reset: list 0 back to the buffer start, probe and poll counters to
// 0, the ply records (killers, threat moves) cleared.
void resetSearchStackForGame(SearchStack& stack);
