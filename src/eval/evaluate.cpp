#include "eval/evaluate.h"

#include <cstring>

#include "eval/endgame.h"
#include "eval/king.h"
#include "eval/material.h"
#include "eval/passers.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "eval/thin.h"

namespace {

constexpr int32_t Tempo = 8;
constexpr int LazyPhase = 14;  // above: middle game, lazy exit and king terms
constexpr int DevelopmentPhase = 35;

// Passed pawns of side on its own sixth and seventh ranks.
Bitboard passersOnRank(const PawnHashEntry& entry, const SideState& side, int relativeRank) {
    int rank = side.colour == White ? relativeRank : 7 - relativeRank;
    return entry.passed & side.pawns & (Rank1 << (8 * rank));
}

// How far outside the window the side can still swing the score: a far
// advanced passer or a queen with company can change a lot.
int32_t lazyMargin(const PawnHashEntry& entry, const SideState& side) {
    if (passersOnRank(entry, side, 6)) return 1000;
    if (passersOnRank(entry, side, 5)) return 400;
    if (side.queens && (side.knights | side.bishops | side.rooks)) return 250;
    return 0;
}

// Returns true, with score replaced by the bound in White's view, when the score is so
// far outside the window that the piece terms cannot bring it back.
bool lazyExit(const Board& board, const PawnHashEntry& entry, int32_t alpha, int32_t beta,
              int32_t& score) {
    int sign = board.toMove->colour == White ? 1 : -1;
    int32_t view = sign * score;
    if (view + 200 < alpha) {
        int32_t margin = lazyMargin(entry, *board.toMove);
        if (margin == 0 || view + margin < alpha) {
            score = sign * alpha;
            return true;
        }
    } else if (view - 200 > beta) {
        int32_t margin = lazyMargin(entry, *board.opponent);
        if (margin == 0 || view - margin > beta) {
            score = sign * beta;
            return true;
        }
    }
    return false;
}

// The side to move has only king and pawns, none of which can move, and its
// king no safe square: stalemate, whatever the material says.
bool stalemated(const Board& board) {
    const SideState& side = *board.toMove;
    const SideState& other = *board.opponent;
    if (side.materialSignature & SignaturePieces || board.checkInfo) return false;
    if (side.pawnAttacks & other.all) return false;
    Bitboard steps = side.colour == White ? side.pawns << 8 : side.pawns >> 8;
    if (steps & board.empty) return false;
    return (side.kingZone & ~side.all & ~other.attacked) == 0;
}

// With pieces on the board: adds the piece, passer and king terms to score.
// Returns false when score became a lazy bound or a stalemate's 0, which must
// not be cached.
bool piecePath(Board& board, const PawnHashEntry& entry, int32_t alpha, int32_t beta,
               int32_t& score) {
    SideState& white = board.white;
    SideState& black = board.black;
    int phase =
        int(((white.materialSignature >> 40) & 63) + ((black.materialSignature >> 40) & 63)) / 2;
    board.phase = phase;
    if (phase > LazyPhase && lazyExit(board, entry, alpha, beta, score)) return false;

    prepareKingGeometry(board, white);
    prepareKingGeometry(board, black);
    score +=
        (popCount(white.pawns) - popCount(black.pawns)) * pieceMaterial[Pawn].materialTaper[phase];
    score += evaluateKnights(board, white, black) - evaluateKnights(board, black, white);
    score += evaluateBishops(board, white, black) - evaluateBishops(board, black, white);
    score += evaluateRooks(board, white, black, entry) - evaluateRooks(board, black, white, entry);
    score += evaluateQueens(board, white, black) - evaluateQueens(board, black, white);
    score += evaluateControl(white, black) - evaluateControl(black, white);
    if (stalemated(board)) {
        score = 0;
        return false;
    }

    score += evaluatePassedPawns(board, entry);
    score += materialImbalance(board);
    if (phase > LazyPhase) {
        if (phase >= DevelopmentPhase) score += evaluateDevelopment(board);
        score += evaluateKingAttack(white, black) - evaluateKingAttack(black, white);
        score += evaluateShelter(board);
    } else {
        score = scaleEndgame(board, entry, score);
    }
    return true;
}

}  // namespace

void clearEvalMemory(EvalMemory& memory) {
    std::memset(memory.cache, 0, sizeof(memory.cache));
    clearPawnTable(memory.pawns);
}

int32_t evaluate(EvalMemory& memory, Board& board, int32_t alpha, int32_t beta) {
    EvalCacheEntry& slot = memory.cache[board.hashKey & (EvalCacheSize - 1)];
    if (slot.key == board.hashKey) return slot.score;

    // Known endings. None of these returns is cached: the verdict of a win
    // depends on the root's material.
    if (board.pieceCount <= 4) {
        int32_t result, flag;
        int recognised = probeEndgame(board, result, flag);
        if (recognised && result == ResultDraw) return 0;
        if (recognised && board.pieceCount != memory.rootPieceCount) {
            if (result == ResultWhiteWins) return WinScore;
            if (result == ResultBlackWins) return -WinScore;
        }
        if (flag == 0) return 0;
    }

    int32_t score = board.white.material - board.black.material;
    if (!(board.white.pawns | board.black.pawns)) {
        score = evaluatePawnless(board, score);
    } else {
        const PawnHashEntry& entry = probePawnStructure(memory.pawns, board);
        // Nothing can ever move on the pawn front and no file is open: a
        // dead draw, not worth remembering.
        if (entry.flags & PawnsFullyLocked) return 0;
        score += entry.score;
        if (!board.checkInfo) score += board.toMove->colour == White ? Tempo : -Tempo;
        if ((board.white.materialSignature | board.black.materialSignature) & SignaturePieces) {
            if (!piecePath(board, entry, alpha, beta, score)) return score;
        } else {
            score = evaluatePawnEnding(board, entry, score);
        }
    }

    // A position going nowhere drifts towards the draw the fifty-move rule
    // will bring.
    if (fiftyMoveCount(board) > 50) score /= 2;
    slot.key = board.hashKey;
    slot.score = score;
    return score;
}
