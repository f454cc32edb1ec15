#include "search/quiescence.h"

#include "board/attacks.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

constexpr int32_t DeltaMargin = 200;
constexpr int DeltaMinMen = 8;

inline int32_t staticScore(SearchThread& search, Board& board, int32_t alpha, int32_t beta) {
    int32_t score = evaluate(search.eval, board, alpha, beta);
    return board.toMove->colour == White ? score : -score;
}

// The slider that a capture from `from` uncovers: the first man on the line
// from `to` through `from`, beyond `from`, if it moves along that line.
inline Bitboard xrayBehind(const Board& board, int from, int to) {
    const int step = direction[to][from];
    if (!step) return 0;
    const Bitboard men = rayFrom[from][raySlot(step)] & board.occupied;
    if (!men) return 0;
    // The nearest man beyond: the lowest square on a rising ray.
    const int square = step > 0 ? lowestSquare(men) : highestSquare(men);
    const int piece = board.squares[square];
    const bool diagonal = step == 7 || step == -7 || step == 9 || step == -9;
    const bool slides = piece == Queen || piece == (diagonal ? Bishop : Rook);
    return slides ? bit(square) : 0;
}

// One ply of the selection loop shared by both quiescence branches: searches
// the list best first down to the first negative score. Returns the fail-soft
// result; legality is tested only for the pseudo-legal lists.
template <bool TestLegality>
int32_t searchList(SearchThread& search, Board& board, MoveEntry* list, int count, int ply,
                   int32_t best, int32_t alpha, int32_t beta) {
    saveUndo(board);
    while (count > 0) {
        const int index = bestEntry(list, count);
        const int32_t order = list[index].score;
        const Move move = takeEntry(list, count, index);
        if (order < 0) break;
        // Delta pruning: a capture that cannot lift the score to alpha even
        // with a margin for the position is skipped, unless it checks or few
        // men are left (where a single capture can decide the ending).
        if (TestLegality && moveCaptured(move) && !movePromotion(move) &&
            best + exchangeValue[moveCaptured(move)] + DeltaMargin <= alpha &&
            board.pieceCount > DeltaMinMen &&
            !(attacksFrom(board, movePiece(move), board.toMove->colour, moveTo(move)) &
              board.opponent->king))
            continue;
        if (TestLegality && movePiece(move) != King &&
            !isLegalNonKingMove(board, moveFrom(move), moveTo(move)))
            continue;
        makeMove(board, move);
        const int32_t score = -quiescence(search, board, ply + 1, -beta, -alpha, 0);
        unmakeMove(board);
        if (score > best) {
            if (score >= beta) return score;
            best = score;
            if (score > alpha) alpha = score;
        }
    }
    return best;
}

int32_t quiescenceInCheck(SearchThread& search, Board& board, int ply, int32_t alpha,
                          int32_t beta) {
    int count = generateEvasions(board, ply);
    if (count == 0) return ply - Mate;
    MoveEntry* list = board.stack->moveLists[ply];
    // A forced reply is always played out: no stand-pat in front of it.
    if (count == 1 && beta > -MateBound) {
        saveUndo(board);
        makeMove(board, list[0].move);
        const int32_t score = -quiescence(search, board, ply + 1, -beta, -alpha, 0);
        unmakeMove(board);
        return score;
    }
    const int32_t best = staticScore(search, board, alpha, beta);
    if (best >= beta) return best;
    for (int i = 0; i < count;) {
        if (isCaptureOrPromotion(list[i].move)) {
            list[i].score = captureOrderScore(board, list[i].move);
            if (list[i].score >= 0)
                prefetchBucket(search.control->table, foreseenKey(board, list[i].move));
            ++i;
        } else {
            list[i] = list[--count];
        }
    }
    if (count == 0) return best;
    return searchList<false>(search, board, list, count, ply, best, best > alpha ? best : alpha,
                             beta);
}

}  // namespace

int32_t captureOrderScore(const Board& board, Move move) {
    if (moveCaptured(move) + movePromotion(move) > movePiece(move)) return mvvLva(move);
    return staticExchange(board, move);
}

int32_t quiescence(SearchThread& search, Board& board, int ply, int32_t alpha, int32_t beta,
                   int withChecks) {
    SearchStack& stack = search.stack;
    if (ply > stack.qsSelDepth) stack.qsSelDepth = ply;
    if (ply >= MaxPly - 2) return staticScore(search, board, alpha, beta);
    // The table: a bound of any depth settles the node, and the result is
    // kept at depth 0 unless the entry holds a deeper search.
    TranspositionTable& table = search.control->table;
    const PlyRecord& record = stack.plies[ply];
    prefetchPawnEntry(search.eval.pawns, board);
    if (probeTable(table, stack, board, ply, 0, alpha, beta) != Bound::None) return record.ttScore;
    const bool keep = record.ttBound == Bound::None || record.ttDepth == 0;
    if (board.checkInfo) return quiescenceInCheck(search, board, ply, alpha, beta);

    const int32_t origAlpha = alpha;
    const int32_t best = staticScore(search, board, alpha, beta);
    if (best >= beta) {
        if (keep) storeTable(table, stack, board, 0, ply, 0, best, Bound::Lower, 0);
        return best;
    }
    if (best > alpha) alpha = best;
    const int count =
        withChecks >= 1 ? generateCapturesAndChecks(board, ply) : generateCaptures(board, ply);
    if (count == 0) return best;
    MoveEntry* list = board.stack->moveLists[ply];
    // The buckets of the captures that will be searched are fetched while the
    // rest are scored.
    for (int i = 0; i < count; ++i) {
        list[i].score = captureOrderScore(board, list[i].move);
        if (list[i].score >= 0) prefetchBucket(table, foreseenKey(board, list[i].move));
    }
    const int32_t score = searchList<true>(search, board, list, count, ply, best, alpha, beta);
    if (keep)
        storeTable(table, stack, board, 0, ply, 0, score,
                   score >= beta       ? Bound::Lower
                   : score > origAlpha ? Bound::Exact
                                       : Bound::Upper,
                   0);
    return score;
}

int32_t staticExchange(const Board& board, Move move) {
    const int piece = movePiece(move);
    if (piece == King) return exchangeValue[moveCaptured(move)];
    const int from = moveFrom(move), to = moveTo(move);

    int16_t gain[34];
    gain[0] = exchangeValue[moveCaptured(move)];
    int onSquare = piece;
    if (const int promotion = movePromotion(move)) {
        gain[0] = int16_t(gain[0] + exchangeValue[promotion] - 100);
        onSquare = promotion;
    }
    // A pushed pawn never attacked its destination, so clearing its square is
    // harmless for every kind of move.
    Bitboard attackers = attackersOfSquare(board, to) & ~bit(from);
    if (onSquare != Knight) attackers |= xrayBehind(board, from, to);

    const SideState* sides[2] = {board.toMove, board.opponent};  // [d & 1]: who captures
    int d = 1;
    while (attackers & sides[d & 1]->all) {
        const SideState& side = *sides[d & 1];
        const SideState& other = *sides[(d + 1) & 1];
        gain[d] = int16_t(exchangeValue[onSquare] - gain[d - 1]);
        const Bitboard own = attackers & side.all;
        Bitboard least = 0;
        int capturer = Pawn;
        for (; capturer <= Queen; ++capturer)
            if ((least = own & side.*pieceSet[capturer])) break;
        if (!least) {
            // The king may only take last, when nothing defends the square.
            if ((own & side.king) && !(attackers & other.all)) ++d;
            break;
        }
        const int square = lowestSquare(least);
        attackers ^= bit(square);
        onSquare = capturer;
        if (capturer != Knight) attackers |= xrayBehind(board, square, to);
        ++d;
    }
    for (int i = d - 1; i > 0; --i)
        if (-gain[i] < gain[i - 1]) gain[i - 1] = int16_t(-gain[i]);
    return gain[0] + piece + 10;
}
