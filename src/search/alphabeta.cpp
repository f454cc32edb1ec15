#include "search/alphabeta.h"

#include <initializer_list>

#include "board/attacks.h"
#include "board/makemove.h"
#include "board/tables.h"
#include "eval/endgame.h"
#include "eval/evaluate.h"
#include "search/ordering.h"
#include "search/quiescence.h"
#include "search/search.h"
#include "search/timeman.h"
#include "search/tt.h"

namespace {

struct Extension {
    int checkExtension = 0;
    int points = 0;
    int reduction8 = 0;  // a quiet move onto a square our pawn attacks
    int reduction4 = 0;  // a quiet promotion
};

int32_t sideView(const Board& board, int32_t score) {
    return board.toMove->colour == White ? score : -score;
}

// The extension rules, in eighths of a ply, for the node reached by m.
Extension nodeExtension(const SearchThread& search, const Board& board, Move m, int ply,
                        int nodeDepth, int32_t alpha, int32_t beta) {
    Extension e;
    const SearchStack& stack = search.stack;
    const int32_t checkExtension = search.control->settings->search_extend_check;
    const UndoRecord* undo = board.stack->undo;
    const PlyRecord& record = stack.plies[ply];
    const PlyRecord& parent = stack.plies[ply - 1];
    const PlyRecord& grandparent = stack.plies[ply - 2];
    const SideState& us = *board.toMove;
    const SideState& mover = *board.opponent;
    Move twoBack = Move(undo[board.ply - 2].move);
    int to = moveTo(m);

    // E1: the last piece left the board; only pawns remain, so see it through.
    if (moveCaptured(m) > Pawn &&
        !((board.white.materialSignature | board.black.materialSignature) & SignaturePieces)) {
        e.checkExtension = 8;
        return e;
    }
    // E2: a recapture on the same square, forced (the parent had one move).
    if (moveCaptured(m) && moveCaptured(m) == moveCaptured(twoBack) && to == moveTo(twoBack) &&
        parent.moveCount == 1)
        e.points += 4;
    // E3, E4: checks; a checker that can be taken for free is worth half.
    if (board.checkInfo) {
        if (board.checkInfo <= 64 && board.checkInfo - 1 == to) {
            bool full = moveCaptured(m) || !attackedBySide(board, us, to) ||
                        attackedBySide(board, mover, to);
            e.checkExtension = full ? checkExtension : checkExtension / 2;
        } else {
            e.checkExtension = checkExtension;
            e.points = 2;
        }
        return e;
    }
    int piece = movePiece(m);
    int rank = rankOf(to);
    if (piece == Pawn) {
        // E5: a pawn one step from promotion; E6: a passer on the move.
        if (rank == 1 || rank == 6)
            e.points += 6;
        else if (!(frontSpan[mover.colour][to] & us.all) && nodeDepth <= 24)
            e.points += 6;
    } else if (piece == King) {
        // E7: the king had to step out of check.
        if (undo[board.ply - 1].checkInfo) e.points += 2;
    } else if (movePiece(twoBack) == Pawn &&
               (pawnAttackTable[us.colour][moveTo(twoBack)] & bit(moveFrom(m)))) {
        // E8: the piece fled from a pawn's attack.
        e.points += 4;
    }
    // E9: both earlier nodes are still on their hash moves: the expected line.
    if (parent.stage == 1 && grandparent.stage == 1) e.points += 2;
    // E10: the opponent had a single reply.
    if (parent.flags & FlagSingleReply) e.points += 6;
    // E11: the table remembers a mate-in-one threat here.
    if (record.flags & FlagMateInOneThreat) e.points += nodeDepth <= 24 ? 6 : 2;
    // E12: a position visited more often than the table's average.
    if (record.ttHits > (stack.hitTotal >> search.control->table.hitShift) + 1) e.points += 2;

    // D1, D2: quiet, unforced moves at null-window nodes that look bad.
    if (e.points == 0 && !undo[board.ply - 2].checkInfo && parent.stage >= 11 && nodeDepth >= 8 &&
        beta == alpha + 1) {
        if (piece != Pawn && (us.pawnAttacks & bit(to)) &&
            isLegalNonKingMove(const_cast<Board&>(board), to, to))
            e.reduction8 = 8;
        if (movePromotion(m)) e.reduction4 = 4;
    }
    return e;
}

// Extensions shrink with the distance from the root, relative to the
// iteration, so that the tree stays bounded.
int extensionAmount(const SearchThread& search, int reduction, int points, int checkExtension,
                    int ply) {
    int iteration = search.root.iterationDepth;
    int check = checkExtension;
    if (check && ply >= 2 * iteration) check /= 2;
    if (points == 0) return check - reduction;
    int p = points < 8 ? points : 8;
    if (ply <= iteration) return check - reduction + p;
    if (ply > 2 * iteration) return check - reduction + p / 4;
    return check - reduction + p / 2;
}

// The history, killers and counter move of a quiet move that cut off; the
// quiet moves searched before it lose what it gains.
void rememberCutoff(SearchStack& stack, const Board& board, PlyRecord& record, Move move,
                    int colour, int depth, const Move* quietsTried, int quietCount) {
    if (isCaptureOrPromotion(move)) return;
    if (const Move last = Move(board.stack->undo[board.ply - 1].move))
        stack.counterMoves[historyIndex(last, board.opponent->colour)] = move;
    const int bonus = historyBonus(depth);
    const QuietContext context = quietContext(stack, board);
    updateQuietHistory(stack, context, move, colour, bonus);
    for (int i = 0; i < quietCount; ++i)
        if (quietsTried[i] != move)
            updateQuietHistory(stack, context, quietsTried[i], colour, -bonus);
    if (move != record.killer1) {
        record.killer2 = record.killer1;
        record.killer1 = move;
    }
}

}  // namespace

bool quietHorizon(const Board& board, Move m) {
    const SideState& us = *board.toMove;
    const SideState& mover = *board.opponent;
    // A check by a side with a queen may be the start of a mating net.
    if (board.checkInfo && mover.queens) return false;
    int to = moveTo(m);
    if (movePiece(m) == Pawn) {
        int rank = rankOf(to);
        if (rank != 1 && rank != 6) return true;
        // A pawn about to promote: free to advance, or forking two pieces.
        int front = mover.colour == White ? to + 8 : to - 8;
        if (!(board.occupied & bit(front))) return false;
        return popCount(pawnAttackTable[mover.colour][to] & us.pieces) < 2;
    }
    if (movePiece(m) == Bishop && us.queens && !(mover.bishops & us.pawnAttacks)) {
        // A bishop that pins the queen to the king wins it unless it hangs.
        for (Bitboard line : {diagAttacksOf(board, to), antiDiagAttacksOf(board, to)}) {
            Bitboard queens = line & us.queens;
            if (!queens) continue;
            int queen = lowestSquare(queens);
            if (between[to][us.kingSquare] & bit(queen)) return attackedBySide(board, mover, to);
            return true;
        }
    }
    return true;
}

namespace {

// Depths and margins of the node's rules, in eighths of a ply.
constexpr int NullQuiescenceBelow = 2 * OnePly;  // less left after the pass: quiescence alone
constexpr int ReprobeFrom =
    8 * OnePly;  // a deep node without a table move looks again after the pass
constexpr int QuietLimitBelow = 2 * OnePly;  // shallower nodes keep only their first quiet moves
constexpr int AllMoves = 300;
constexpr int ResearchFrom =
    2 * OnePly;  // a reduced move that beats alpha is searched again in full
// Half-moves without a capture or pawn move: past the first no null move (a
// pass near the limit misleads), past the second the game is drawn.
constexpr int FiftyMoveCaution = 50;
constexpr int FiftyMoveDraw = 100;

constexpr int32_t Continue = NoScore;  // a step's result that does not end the node

// Pruning by the static evaluation, at null-window nodes not in check, in
// centipawns per ply of the node's depth. A node whose evaluation beats beta
// by ReverseFutilityMargin per ply is taken as failing high; a quiet move
// that cannot bring the evaluation within FutilityMargin of alpha is not
// searched; a node far below alpha near the horizon asks the quiescence
// search first (razoring).
constexpr int ReverseFutilityBelow = 8 * OnePly;
constexpr int32_t ReverseFutilityMargin = 75;
constexpr int FutilityBelow = 7 * OnePly;
constexpr int32_t FutilityBase = 90;
constexpr int32_t FutilityMargin = 90;
constexpr int RazorBelow = 3 * OnePly;
constexpr int32_t RazorMargin = 240;
// Late quiet moves of shallow null-window nodes are skipped once the node
// has tried LateMoveBase + d * d of its moves (d in plies), twice as many
// when the evaluation is rising.
constexpr int LateMoveBelow = 6 * OnePly;
constexpr int LateMoveBase = 3;
// The null move's reduction grows with the depth and with the margin by
// which the evaluation beats beta.
constexpr int NullReductionBase = 3 * OnePly;
constexpr int NullMarginPerPly = 200;
constexpr int NullMarginPlies = 2;
// Captures that lose more than SeeMarginPerPly per ply of depth by the
// static exchange are not searched at shallow null-window nodes.
constexpr int SeePruneBelow = 6 * OnePly;
constexpr int32_t SeeMarginPerPly = 110;
// A node without a table move at this depth or more is searched a ply
// shallower: it was not searched before, so its ordering is poor anyway.
constexpr int InternalReductionFrom = 4 * OnePly;
// Quiet late moves are reduced by 0.5 + ln(depth) * ln(move number) / 2.25
// plies from this depth on.
constexpr int LateReductionFrom = 3 * OnePly;
// Quiet moves of a node remembered for the history's malus.
constexpr int MaxQuietsTried = 64;

// ln(x) for the reduction table, at compile time, so that every build and
// every platform reduces exactly alike.
constexpr double naturalLog(double x) {
    double result = 0;
    while (x > 2) {
        x /= 2;
        result += 0.6931471805599453;
    }
    const double t = (x - 1) / (x + 1), t2 = t * t;
    double term = t, sum = 0;
    for (int k = 1; k < 40; k += 2) {
        sum += term / k;
        term *= t2;
    }
    return result + 2 * sum;
}

// Eighths of a ply by [depth in plies][move number], both capped at 63.
struct ReductionTable {
    int8_t eighths[64][64];
};
constexpr ReductionTable makeReductionTable() {
    ReductionTable table{};
    for (int d = 1; d < 64; ++d)
        for (int m = 1; m < 64; ++m) {
            const double plies = 0.5 + naturalLog(d) * naturalLog(m) / 2.25;
            const int eighths = int(plies * OnePly + 0.5);
            table.eighths[d][m] = int8_t(eighths < 120 ? eighths : 120);
        }
    return table;
}
constexpr ReductionTable lateReduction = makeReductionTable();

// One node of the search while it runs: its window, its depths and what its
// rules have allowed so far.
struct Node {
    int ply;
    int nodeDepth;  // as the parent asked, after the mate-distance cap
    int depth;      // after extensions and reductions
    int32_t alpha, beta, origAlpha;
    int colour;
    bool pvNode;         // an open window: no pruning by the evaluation
    bool improving;      // the evaluation rose since the side's previous move
    int32_t staticEval;  // side to move's view; NoScore in check
    bool nullAllowed = true, extendAllowed = true;
    bool reducedNode = false;  // reduced by the rules: searched again in full unless it fails low
    Extension ext;
};

// Repetitions, the fifty-move rule, and a move that undid the mover's own
// previous one.
int32_t drawRules(const Board& board, Node& node) {
    const int fifty = fiftyMoveCount(board);
    if (fifty > FiftyMoveCaution) {
        if (fifty > FiftyMoveDraw) return 0;
        node.nullAllowed = false;
    }
    // Plies back to the last move that no position before it can follow.
    const int clock = board.ply - board.lastIrreversiblePly;
    if (clock < 3) return Continue;
    const UndoRecord* undo = board.stack->undo;
    // The mover took back its previous move through an empty path: it has
    // nothing better than the position it left.
    const UndoRecord& before = undo[board.ply - 3];
    uint64_t moverPart = board.opponent->hashPart;
    uint64_t savedPart =
        board.opponent->colour == White ? before.whiteHashPart : before.blackHashPart;
    Move earlier = Move(before.move);
    if (moverPart == savedPart && !(between[moveFrom(earlier)][moveTo(earlier)] & board.occupied)) {
        if (node.beta <= 0) return 0;
        if (node.alpha < -1) node.alpha = -1;
    }
    for (int back = 4; back <= clock; back += 2)
        if (undo[board.ply - back].hashKey == board.hashKey) return 0;
    return Continue;
}

// No depth beyond the distance of a mate already found.
int32_t mateDistance(Node& node) {
    int cap;
    int32_t bound;
    if (node.alpha > MateBound) {
        cap = (Mate - node.ply - node.alpha) * OnePly;
        bound = node.alpha;
    } else if (node.beta < -MateBound) {
        cap = (node.beta - node.ply + Mate) * OnePly;
        bound = node.beta;
    } else {
        return Continue;
    }
    if (node.depth <= cap) return Continue;
    node.depth = cap;
    if (cap <= OnePly) return bound;
    node.extendAllowed = false;
    return Continue;
}

void freshRecord(SearchStack& stack, Board& board, int ply) {
    PlyRecord& record = stack.plies[ply];
    record.extension = 0;
    record.flags = 0;
    record.ttHits = 0;
    record.moveCount = 0;
    record.stage = 0;
    record.ttBound = Bound::None;
    record.bestMove = 0;
    record.hashMove = 0;
    record.bestScore = NoScore;
    record.ttScore = -Mate;
    record.staticEval = NoScore;
    record.pv.pvLength = 0;
    stack.plies[ply + 1].threatMove = 0;
    BoardStack& moves = *board.stack;
    moves.undo[board.ply].move = 0;
    moves.moveLists[ply + 1] = moves.moveLists[ply];
}

// The endgame knowledge's verdict on six men or fewer. A verdict on the
// root's own material only steers: it ends nodes only after a capture.
int32_t knownEnding(const SearchThread& search, Board& board, Node& node) {
    int32_t result, flag;
    if (board.pieceCount >= 7 || !probeEndgame(board, result, flag)) return Continue;
    bool captured = board.pieceCount != search.eval.rootPieceCount;
    node.extendAllowed = captured;
    int32_t verdict = node.colour == White ? result : -result;
    if (verdict == 0) return 0;
    if (!captured) return Continue;
    if (verdict == 1) {
        if (node.beta <= MateBound) return MateBound;
    } else if (verdict == -1) {
        if (node.alpha >= -MateBound) return -MateBound;
        if (node.beta > -MateBound) node.nullAllowed = false;
    } else if (verdict == -2) {
        if (node.alpha >= 0) return 0;
        if (node.beta > 0) node.nullAllowed = false;
    } else if (node.beta <= 0) {
        return 0;
    }
    return Continue;
}

// Null move: if passing still holds beta, a real move will too. Not in check,
// not without pieces or without pawns (zugzwang), not when the table says it
// fails. A pass that loses to a mate marks the node as dangerous and extends it.
int32_t nullMove(SearchThread& search, Board& board, PlyRecord& record, Node& node) {
    SearchStack& stack = search.stack;
    const SideState& us = *board.toMove;
    if (!node.nullAllowed || board.checkInfo || (record.flags & 15) ||
        !(us.materialSignature & SignaturePieces) || !us.pawns ||
        !search.control->settings->search_prune_nullmove || node.pvNode ||
        node.staticEval < node.beta)
        return Continue;
    const int ply = node.ply;
    int margin = (node.staticEval - node.beta) / NullMarginPerPly;
    if (margin > NullMarginPlies) margin = NullMarginPlies;
    int reduction = NullReductionBase + node.depth / 4 + margin * OnePly;
    makeNullMove(board);
    int32_t score;
    if (node.depth - reduction < NullQuiescenceBelow) {
        board.stack->undo[board.ply].move = 0;
        score = -quiescence(search, board, ply + 1, -node.beta, 1 - node.beta, 1);
    } else {
        score = -alphaBeta(search, board, ply + 1, node.depth - reduction - OnePly, -node.beta,
                           1 - node.beta);
        // The reply that refuted the pass is the first thing to try against
        // every real move.
        if (score < node.beta) stack.plies[ply + 1].threatMove = stack.plies[ply + 1].bestMove;
    }
    unmakeNullMove(board);
    if (stack.stopFlag) return 0;
    if (score >= node.beta) {
        storeTable(search.control->table, stack, board, 0, ply, node.nodeDepth, node.beta,
                   Bound::Lower, record.flags);
        return node.beta;
    }
    if (score <= -MateBound) {
        record.flags |= FlagMateThreat;
        if (score == ply - (Mate - 2)) {  // mated right after the pass
            record.flags |= FlagMateInOneThreat;
            node.ext.points += node.nodeDepth <= 3 * OnePly ? 6 : 2;
        }
        node.reducedNode = false;
        int amount = extensionAmount(search, 0, node.ext.points, node.ext.checkExtension, ply);
        node.depth = node.nodeDepth + amount;
        record.extension = amount;
    }
    if (!record.hashMove && node.nodeDepth >= ReprobeFrom)
        probeTable(search.control->table, stack, board, ply, node.nodeDepth, node.alpha, node.beta);
    return Continue;
}

// The static evaluation of a node not in check, and what it settles at
// null-window nodes: reverse futility and razoring.
int32_t staticPruning(SearchThread& search, Board& board, PlyRecord& record, Node& node) {
    node.staticEval = NoScore;
    node.improving = false;
    if (board.checkInfo) return Continue;
    int32_t eval = sideView(board, evaluate(search.eval, board, -Mate, Mate));
    record.staticEval = eval;
    const int32_t before = search.stack.plies[node.ply - 2].staticEval;
    node.improving = before == NoScore || eval > before;
    // A stored bound on the side of the evaluation's error is a better guess.
    if (record.ttScore > -MateBound && record.ttScore < MateBound &&
        (record.ttScore > eval ? isLowerBound(record.ttBound) : isUpperBound(record.ttBound)))
        eval = record.ttScore;
    node.staticEval = eval;
    if (node.pvNode || eval >= MateBound || eval <= -MateBound || node.beta >= MateBound ||
        node.alpha <= -MateBound)
        return Continue;
    const int plies = node.depth / OnePly;
    if (node.depth < ReverseFutilityBelow &&
        eval - ReverseFutilityMargin * (plies - (node.improving ? 1 : 0)) >= node.beta)
        return eval;
    if (node.depth < RazorBelow && eval + RazorMargin * plies < node.alpha) {
        const int32_t score = quiescence(search, board, node.ply, node.alpha, node.alpha + 1, 1);
        if (score <= node.alpha) return score;
    }
    return Continue;
}

// The table move's stored bound, confirmed with a null window at a node with
// an open window: usually enough to settle the move. Sets score and returns
// true when it did.
bool confirmTableBound(SearchThread& search, Board& board, const PlyRecord& record,
                       const Node& node, int childDepth, int32_t& score) {
    const int ply = node.ply;
    const int32_t alpha = node.alpha, beta = node.beta;
    if (record.ttScore <= alpha && isUpperBound(record.ttBound)) {
        score = -alphaBeta(search, board, ply + 1, childDepth, -alpha - 1, -alpha);
        return score <= alpha;
    }
    if (record.ttScore >= beta && isLowerBound(record.ttBound)) {
        score = -alphaBeta(search, board, ply + 1, childDepth, -beta, 1 - beta);
        return score >= beta;
    }
    if (record.ttScore == 0 && record.ttBound == Bound::Exact && alpha < 0 && beta >= 1) {
        score = -alphaBeta(search, board, ply + 1, childDepth, -1, 1);
        return score == 0 || (score == alpha && alpha == -1) || (score == beta && beta == 1);
    }
    return false;
}

// One move, already made: principal-variation search. Later moves of a node
// with an open window go first with a null window; a move that was reduced
// and beats alpha is searched again at the full depth, and a null-window
// score inside the window once more with the whole window.
int32_t searchMove(SearchThread& search, Board& board, const PlyRecord& record, const Node& node,
                   Move move, int newDepth) {
    const int ply = node.ply, base = node.depth;
    const int32_t alpha = node.alpha, beta = node.beta;
    const bool openWindow = alpha + 1 != beta;
    int32_t score = 0;
    if (openWindow && move == record.hashMove && record.ttDepth + OnePly >= node.nodeDepth &&
        confirmTableBound(search, board, record, node, newDepth - OnePly, score))
        return score;
    const bool nullWindowFirst = openWindow && !(record.moveCount == 1 && alpha == node.origAlpha);
    const int32_t firstBeta = nullWindowFirst ? alpha + 1 : beta;
    score = -alphaBeta(search, board, ply + 1, newDepth - OnePly, -firstBeta, -alpha);
    const PlyRecord& child = search.stack.plies[ply + 1];
    if (score > alpha && newDepth != base && base + child.extension >= ResearchFrom &&
        !(score >= beta && score >= MateBound))
        score = -alphaBeta(search, board, ply + 1, base - OnePly, -firstBeta, -alpha);
    if (nullWindowFirst && score > alpha && score < beta)
        score = -alphaBeta(search, board, ply + 1, base - OnePly, -beta, -alpha);
    return score;
}

}  // namespace

int32_t alphaBeta(SearchThread& search, Board& board, int ply, int depth, int32_t alpha,
                  int32_t beta) {
    SearchStack& stack = search.stack;
    const SearchSettings& settings = *search.control->settings;
    PlyRecord& record = stack.plies[ply];
    const Move lastMove = Move(board.stack->undo[board.ply - 1].move);
    Node node;
    node.ply = ply;
    node.depth = depth;
    node.alpha = node.origAlpha = alpha;
    node.beta = beta;
    node.colour = board.toMove->colour;

    int32_t result = drawRules(board, node);
    if (result != Continue) return result;
    result = mateDistance(node);
    if (result != Continue) return result;
    node.nodeDepth = node.depth;
    freshRecord(stack, board, ply);

    prefetchPawnEntry(search.eval.pawns, board);
    if (probeTable(search.control->table, stack, board, ply, node.nodeDepth, node.alpha, beta) !=
        Bound::None)
        return record.ttScore;
    result = knownEnding(search, board, node);
    if (result != Continue) return result;

    // Extensions and reductions of the move that led here.
    if (lastMove && node.extendAllowed) {
        node.ext = nodeExtension(search, board, lastMove, ply, node.nodeDepth, node.alpha, beta);
        int amount = extensionAmount(search, node.ext.reduction8 + node.ext.reduction4,
                                     node.ext.points, node.ext.checkExtension, ply);
        node.depth = node.nodeDepth + amount;
        record.extension = amount;
        node.reducedNode = node.ext.reduction8 != 0;
    }

    // The horizon: the quiescence search, unless the last move needs one more
    // ply. A reduced node that does not fail high gets its full depth back.
    if (node.depth < OnePly) {
        if (node.alpha > MateBound) return node.alpha;
        if (ply > stack.selDepth) stack.selDepth = ply;
        if (quietHorizon(board, lastMove)) {
            int32_t score = quiescence(search, board, ply, node.alpha, beta, 1);
            if (!node.reducedNode || score >= beta) return score;
            if (score <= node.origAlpha && score <= -MateBound) return score;
            node.depth = node.nodeDepth > OnePly ? node.nodeDepth : OnePly;
        } else {
            node.depth = OnePly;
        }
    }

    // The stack ends here.
    if (ply >= MaxPly - 2) return sideView(board, evaluate(search.eval, board, -Mate, Mate));

    if (board.stack->makeCount > stack.pollLimit) pollSearch(search);
    if (stack.stopFlag) return 0;

    node.pvNode = beta != node.alpha + 1;
    result = staticPruning(search, board, record, node);
    if (result != Continue) return result;

    saveUndo(board);
    result = nullMove(search, board, record, node);
    if (result != Continue) return result;
    if (!record.hashMove && node.depth >= InternalReductionFrom) node.depth -= OnePly;

    // The moves. Close to the horizon only the first quiet moves and direct
    // checks are searched; from the (lmr) move on, every move one ply less.
    const int base = node.depth;
    const int limit = base < QuietLimitBelow ? settings.search_prune_quiet_moves : AllMoves;
    int pickerDepth = base - OnePly;
    const PlyRecord& child = stack.plies[ply + 1];
    const bool inCheck = board.checkInfo != 0;
    // Quiet moves may be pruned once a move has been searched and the node
    // is not lost: a mate distance is never cut short.
    const bool shallow = !node.pvNode && !inCheck && base < FutilityBelow;
    const int plies = base / OnePly;
    const int lateMoveLimit = (LateMoveBase + plies * plies) * (node.improving ? 2 : 1);
    const Move counter = counterMoveOf(stack, board);
    const QuietContext context = quietContext(stack, board);
    Move quietsTried[MaxQuietsTried];
    int quietCount = 0;
    const bool futile =
        shallow && node.staticEval + FutilityBase + FutilityMargin * plies <= node.alpha;
    for (;;) {
        while (Move move = nextMove(stack, board, record, ply, ply, pickerDepth)) {
            prefetchBucket(search.control->table, foreseenKey(board, move));
            record.moveCount += 1;
            const bool prunable = shallow && record.bestScore > -MateBound;
            const bool quiet = !isCaptureOrPromotion(move);
            if ((record.moveCount > limit || (quiet && prunable)) &&
                !(attacksFrom(board, movePiece(move), node.colour, moveTo(move)) &
                  board.opponent->king)) {
                if (record.moveCount > limit) continue;
                if (base < LateMoveBelow && record.moveCount > lateMoveLimit) continue;
                if (base < FutilityBelow && futile) continue;
            }
            if (!quiet && prunable && base < SeePruneBelow &&
                moveCaptured(move) + movePromotion(move) < movePiece(move) &&
                staticExchange(board, move) < -SeeMarginPerPly * plies)
                continue;
            if (quiet && quietCount < MaxQuietsTried) quietsTried[quietCount++] = move;
            makeMove(board, move);
            int newDepth = base;
            if (record.moveCount > settings.search_prune_lmr_moves) {
                newDepth = base - OnePly;
                if (quiet && base >= LateReductionFrom && !board.checkInfo && !inCheck) {
                    int r = lateReduction.eighths[base < 63 * OnePly ? base / OnePly : 63]
                                                 [record.moveCount < 63 ? record.moveCount : 63];
                    if (node.pvNode) r -= OnePly;
                    if (!node.improving) r += OnePly / 2;
                    if (move == record.killer1 || move == record.killer2 || move == counter)
                        r -= OnePly;
                    // A move that often cut off here, also after these last
                    // moves, is reduced less, one that never did more: up to a
                    // ply and a half either way.
                    r -= quietScore(stack, context, move, node.colour) * OnePly / (2 * HistoryMax);
                    if (r > OnePly) newDepth = base - r;
                    if (newDepth < OnePly) newDepth = OnePly;
                }
            }
            int32_t score = searchMove(search, board, record, node, move, newDepth);
            unmakeMove(board);
            if (stack.stopFlag) return 0;

            if (score > record.bestScore) {
                record.bestMove = move;
                record.bestScore = score;
                if (score >= beta) {
                    rememberCutoff(stack, board, record, move, node.colour, node.nodeDepth,
                                   quietsTried, quietCount);
                    storeTable(search.control->table, stack, board, move, ply, node.nodeDepth, beta,
                               Bound::Lower, record.flags);
                    return score;
                }
                if (score > node.alpha) {
                    node.alpha = score;
                    extendVariation(record.pv, move, score, node.nodeDepth, child.pv);
                }
            }
            pickerDepth = newDepth - OnePly;
        }

        // A reduced node that did not fail low badly gets its moves offered
        // again at the node's own depth.
        if (node.reducedNode &&
            !(record.bestScore <= node.origAlpha && record.bestScore <= -MateBound)) {
            node.reducedNode = false;
            record.extension = 0;
            if (!record.hashMove) record.hashMove = record.bestMove;
            pickerDepth = node.nodeDepth - OnePly;
            record.moveCount = 0;
            record.stage = 0;
            continue;
        }
        break;
    }

    // No move at all: mate or stalemate.
    if (record.moveCount == 0) return board.checkInfo ? ply - Mate : 0;
    if (record.moveCount == 1) record.flags |= FlagSingleReply;
    if (node.alpha == node.origAlpha) {
        record.bestMove = record.hashMove;
        storeTable(search.control->table, stack, board, record.hashMove, ply, node.nodeDepth,
                   node.alpha, Bound::Upper, record.flags);
    } else {
        storeTable(search.control->table, stack, board, record.bestMove, ply, node.nodeDepth,
                   node.alpha, Bound::Exact, record.flags);
    }
    if (record.bestMove && !isCaptureOrPromotion(record.bestMove))
        updateQuietHistory(stack, quietContext(stack, board), record.bestMove, node.colour,
                           historyBonus(node.nodeDepth));
    return record.bestScore;
}
