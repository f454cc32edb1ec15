// Quiescence search: captures (and direct checks at its first ply) below the
// horizon, and the static exchange evaluator that orders captures.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/searchstack.h"

struct SearchThread;

// [piece code]: none, pawn, knight, bishop, rook, queen, king.
inline constexpr int16_t exchangeValue[7] = {0, 100, 335, 337, 500, 1000, 5000};

// Most valuable victim, least valuable attacker.
constexpr int32_t mvvLva(Move move) {
    return 16 * moveCaptured(move) + 16 * movePromotion(move) - movePiece(move);
}

// True for a capture or a promotion (bits 19-24 of the move word).
constexpr bool isCaptureOrPromotion(Move move) { return (move & 0x1F80000u) != 0; }

// Fail-soft; withChecks 1 from the main search's horizon and null move, 0 in
// its own recursion.
int32_t quiescence(SearchThread& search, Board& board, int ply, int32_t alpha, int32_t beta,
                   int withChecks);

// Material outcome of the exchange the move starts on its destination, plus
// the moving piece's code, plus 10 (an even trade scores a little above 0).
// A king capture scores the bare value of the man taken.
int32_t staticExchange(const Board& board, Move move);

// Ordering score of a capture or promotion: MVV/LVA when the type codes show
// it cannot lose material, else its exchange value.
int32_t captureOrderScore(const Board& board, Move move);

// Selection from an unsorted list: the first entry with the highest score.
inline int bestEntry(const MoveEntry* list, int count) {
    // Written to select without branches: which entry wins is unpredictable.
    int best = 0;
    int32_t bestScore = list[0].score;
    for (int i = 1; i < count; ++i) {
        const int32_t score = list[i].score;
        const bool better = score > bestScore;
        best = better ? i : best;
        bestScore = better ? score : bestScore;
    }
    return best;
}

// Removes entry index by moving the last entry into its place.
inline Move takeEntry(MoveEntry* list, int& count, int index) {
    Move move = list[index].move;
    list[index] = list[--count];
    return move;
}
