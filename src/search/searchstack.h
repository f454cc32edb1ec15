// The search's per-ply memory and its counters. Fixed-size arrays, so nothing
// is allocated while the engine plays.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/pv.h"

// Scores of the search, side to move's view. A side mated at ply p scores
// p - Mate; scores beyond +-MateBound are mates, MateBound itself a known win.
constexpr int32_t Mate = 32763;
constexpr int32_t MateBound = 31763;
constexpr int32_t NoScore = -32764;  // below every real score
constexpr int OnePly = 8;            // depth is counted in eighths of a ply

// What a stored score says of the position's value.
enum class Bound : uint8_t {
    None = 0,
    Upper = 1,  // the value is at most the score (every move failed low)
    Lower = 2,  // at least the score (a move cut off)
    Exact = 3,  // both
};
inline bool isUpperBound(Bound bound) { return (uint8_t(bound) & 1) != 0; }
inline bool isLowerBound(Bound bound) { return (uint8_t(bound) & 2) != 0; }

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
    Bound ttBound;
    uint8_t ttHits;
    uint8_t moveCount;
    uint8_t flags;
    int32_t extension;   // eighths; negative for a reduction
    int32_t staticEval;  // side to move's view; NoScore in check or not yet known
};

struct SearchStack {
    // Margin records on both sides: a node reads its parent and grandparent
    // and writes the records of the next two plies.
    PlyRecord plyStore[StackMargin + MaxPly + StackMargin];
    PlyRecord* plies;  // plyStore + StackMargin, indexed by ply
    uint32_t tablebaseProbes;
    uint32_t tablebaseHits;
    uint32_t pollCount;
    int qsSelDepth;  // deepest ply reached, quiescence included
    int selDepth;    // deepest ply of the main search
    int stopFlag;
    double totalNodes;
    uint32_t pollLimit;
    // Table hits this thread counted in the current generation: the
    // extension for often visited positions compares an entry with the mean.
    uint32_t hitTotal;
    // [piece code 0-7][to square][colour to move] flattened: piece * 128 + to *
    // 2 + colour. Raised for every quiet move that cut off or was best, lowered
    // for the quiet moves searched before a cutoff; within +-HistoryMax.
    int16_t history[1024];
    // The quiet reply that last refuted a move, indexed like the history by
    // the refuted move and its mover's colour.
    Move counterMoves[1024];
    // The history of a quiet move after a given earlier move: [the move one
    // or two plies back][the move], both indexed like the history. The
    // earlier mover's colour in the index keeps the two contexts apart.
    int16_t continuation[1024][1024];
};

void initSearchStack(SearchStack& stack);
// Per-game reset: probe and poll counters to 0, the ply records (killers,
// threat moves) cleared.
void resetSearchStackForGame(SearchStack& stack);
