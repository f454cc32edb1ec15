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

constexpr uint64_t PieceBits = 0xFFFF0;  // knight to queen counters of a signature

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
Extension nodeExtension(const Search& search, const Board& board, Move m, int ply, int nodeDepth,
                        int32_t alpha, int32_t beta) {
    Extension e;
    const SearchStack& stack = search.stack;
    const int32_t checkExtension = search.settings->search_extend_check;
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
        !((board.white.materialSignature | board.black.materialSignature) & PieceBits)) {
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
    if (record.ttHits > (hitTotal >> hitShift) + 1) e.points += 2;

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
int extensionAmount(const Search& search, int reduction, int points, int checkExtension, int ply) {
    int iteration = search.root.iterationDepth;
    int check = checkExtension;
    if (check && ply >= 2 * iteration) check /= 2;
    if (points == 0) return check - reduction;
    int p = points < 8 ? points : 8;
    if (ply <= iteration) return check - reduction + p;
    if (ply > 2 * iteration) return check - reduction + p / 4;
    return check - reduction + p / 2;
}

// The history and killers of a quiet move that cut off.
void rememberCutoff(SearchStack& stack, PlyRecord& record, Move move, int colour, int depth) {
    if (isCaptureOrPromotion(move)) return;
    addHistory(stack, move, colour, depth);
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

int32_t alphaBeta(Search& search, Board& board, int ply, int depth, int32_t alpha, int32_t beta) {
    SearchStack& stack = search.stack;
    const SearchSettings& settings = *search.settings;
    BoardStack& moves = *board.stack;
    PlyRecord& record = stack.plies[ply];
    UndoRecord* undo = moves.undo;
    const Move lastMove = Move(undo[board.ply - 1].move);
    const int clock = board.ply - board.lastIrreversiblePly;
    const int32_t origAlpha = alpha;
    const int colour = board.toMove->colour;
    bool nullAllowed = true, extendAllowed = true;

    // 1. Draw rules.
    if (clock >= 3) {
        // The mover took back its previous move through an empty path: it
        // has nothing better than the position it left.
        const UndoRecord& before = undo[board.ply - 3];
        uint64_t moverPart = board.opponent->hashPart;
        uint64_t savedPart =
            board.opponent->colour == White ? before.whiteHashPart : before.blackHashPart;
        Move earlier = Move(before.move);
        if (moverPart == savedPart &&
            !(between[moveFrom(earlier)][moveTo(earlier)] & board.occupied)) {
            if (beta <= 0) return 0;
            if (alpha < -1) alpha = -1;
        }
        if (clock > 50) {
            if (clock > 100) return 0;
            nullAllowed = false;  // zugzwang tricks near the fifty-move limit mislead
        }
        for (int back = 4; back <= clock; back += 2) {
            if (undo[board.ply - back].hashKey == board.hashKey) return 0;
        }
    }

    // 2. No depth beyond the distance of a mate already found.
    if (alpha > MateBound) {
        int cap = (Mate - ply - alpha) * OnePly;
        if (depth > cap) {
            depth = cap;
            if (cap <= OnePly) return alpha;
            extendAllowed = false;
        }
    } else if (beta < -MateBound) {
        int cap = (beta - ply + Mate) * OnePly;
        if (depth > cap) {
            depth = cap;
            if (cap <= OnePly) return beta;
            extendAllowed = false;
        }
    }
    const int nodeDepth = depth;

    // 3. A fresh record.
    record.extension = 0;
    record.flags = 0;
    record.ttHits = 0;
    record.moveCount = 0;
    record.stage = 0;
    record.ttType = 0;
    record.bestMove = 0;
    record.hashMove = 0;
    record.bestScore = NoScore;
    record.ttScore = -Mate;
    record.pv.pvLength = 0;
    stack.plies[ply + 1].threatMove = 0;
    undo[board.ply].move = 0;
    moves.moveLists[ply + 1] = moves.moveLists[ply];

    // 4. Table cut-off.
    if (probeTable(board, ply, nodeDepth, alpha, beta, record)) return record.ttScore;

    // 5. Known endings. A verdict on the root's own material only steers.
    if (board.pieceCount < 7) {
        int32_t result, flag;
        if (probeEndgame(board, result, flag)) {
            bool captured = board.pieceCount != rootPieceCount;
            extendAllowed = captured;
            int32_t verdict = colour == White ? result : -result;
            if (verdict == 0) return 0;
            if (verdict == 1) {
                if (captured && beta <= MateBound) return MateBound;
            } else if (verdict == -1) {
                if (captured) {
                    if (alpha >= -MateBound) return -MateBound;
                    if (beta > -MateBound) nullAllowed = false;
                }
            } else if (verdict == -2) {
                if (captured) {
                    if (alpha >= 0) return 0;
                    if (beta > 0) nullAllowed = false;
                }
            } else if (captured && beta <= 0) {
                return 0;
            }
        }
    }

    // 6. Extensions and reductions.
    Extension ext;
    bool reducedNode = false;
    if (lastMove && extendAllowed) {
        ext = nodeExtension(search, board, lastMove, ply, nodeDepth, alpha, beta);
        int amount = extensionAmount(search, ext.reduction8 + ext.reduction4, ext.points,
                                     ext.checkExtension, ply);
        depth = nodeDepth + amount;
        record.extension = amount;
        reducedNode = ext.reduction8 != 0;
    } else {
        depth = nodeDepth;
    }

    // 7. Horizon.
    if (depth < OnePly) {
        if (alpha > MateBound) return alpha;
        if (ply > stack.selDepth) stack.selDepth = ply;
        if (quietHorizon(board, lastMove)) {
            int32_t score = quiescence(stack, board, ply, alpha, beta, 1);
            if (!reducedNode || score >= beta) return score;
            if (score <= origAlpha && score <= -MateBound) return score;
            // A reduced node that does not fail high gets its full ply back.
            depth = nodeDepth > OnePly ? nodeDepth : OnePly;
        } else {
            depth = OnePly;
        }
    }

    // 8. The stack ends here.
    if (ply >= MaxPly - 2) return sideView(board, evaluate(board, -Mate, Mate));

    // 9. Input and clock.
    if (moves.makeCount > stack.pollLimit) pollSearch(search);
    if (stack.stopFlag) return 0;

    // 10.
    saveUndo(board);

    // 11. Null move: if passing still holds beta, a real move will too. Not
    // in check, not without pieces or pawns (zugzwang), not when the table
    // says it fails.
    const SideState& us = *board.toMove;
    if (nullAllowed && !board.checkInfo && !(record.flags & 15) &&
        (us.materialSignature & PieceBits) && us.pawns && settings.search_prune_nullmove) {
        int reduction = depth >= 40 ? 24 : 16;
        makeNullMove(board);
        int32_t score;
        if (depth - reduction < 16) {
            undo[board.ply].move = 0;
            score = -quiescence(stack, board, ply + 1, -beta, 1 - beta, 1);
        } else {
            score = -alphaBeta(search, board, ply + 1, depth - reduction - OnePly, -beta, 1 - beta);
            // The reply that refuted the pass is the first thing to try
            // against every real move.
            if (score < beta) stack.plies[ply + 1].threatMove = stack.plies[ply + 1].bestMove;
        }
        unmakeNullMove(board);
        if (stack.stopFlag) return 0;
        if (score >= beta) {
            storeTable(board, 0, ply, nodeDepth, beta, 2, record.flags);
            return beta;
        }
        if (score <= -MateBound) {
            // Passing loses to a mate: the node is dangerous, search it deeper.
            record.flags |= FlagMateThreat;
            if (score == ply - 32761) {
                record.flags |= FlagMateInOneThreat;
                ext.points += nodeDepth <= 24 ? 6 : 2;
            }
            reducedNode = false;
            int amount = extensionAmount(search, 0, ext.points, ext.checkExtension, ply);
            depth = nodeDepth + amount;
            record.extension = amount;
        }
        if (!record.hashMove && nodeDepth >= 64)
            probeTable(board, ply, nodeDepth, alpha, beta, record);
    }

    // 12. Moves.
    const int base = depth;
    const int limit = base < 16 ? settings.search_prune_quiet_moves : 300;
    int pickerDepth = base - OnePly;
    PlyRecord& child = stack.plies[ply + 1];
    for (;;) {
        while (Move move = nextMove(stack, board, record, ply, ply, pickerDepth)) {
            record.moveCount += 1;
            // Late moves near the horizon: only direct checks are worth it.
            if (record.moveCount > limit &&
                !(attacksFrom(board, movePiece(move), colour, moveTo(move)) & board.opponent->king))
                continue;
            makeMove(board, move);
            // Late-move reduction, for every kind of move.
            int newDepth =
                record.moveCount > settings.search_prune_lmr_moves ? base - OnePly : base;
            int32_t score = 0;
            bool done = false;

            // The hash move's stored bound is confirmed with a null window
            // first: usually enough to settle it.
            if (alpha + 1 != beta && move == record.hashMove &&
                record.ttDepth + OnePly >= nodeDepth) {
                if (record.ttScore <= alpha && (record.ttType & 1)) {
                    score =
                        -alphaBeta(search, board, ply + 1, newDepth - OnePly, -alpha - 1, -alpha);
                    done = score <= alpha;
                } else if (record.ttScore >= beta && (record.ttType & 2)) {
                    score = -alphaBeta(search, board, ply + 1, newDepth - OnePly, -beta, 1 - beta);
                    done = score >= beta;
                } else if (record.ttScore == 0 && record.ttType == 3 && alpha < 0 && beta >= 1) {
                    score = -alphaBeta(search, board, ply + 1, newDepth - OnePly, -1, 1);
                    done = score == 0 || (score == alpha && alpha == -1) ||
                           (score == beta && beta == 1);
                }
            }
            if (!done) {
                if (alpha + 1 != beta && !(record.moveCount == 1 && alpha == origAlpha)) {
                    // Principal-variation search: a null window first, then
                    // the full depth, then the full window.
                    score =
                        -alphaBeta(search, board, ply + 1, newDepth - OnePly, -alpha - 1, -alpha);
                    if (score > alpha) {
                        if (newDepth != base && base + child.extension >= 16 &&
                            !(score >= beta && score >= MateBound))
                            score = -alphaBeta(search, board, ply + 1, base - OnePly, -alpha - 1,
                                               -alpha);
                        if (score > alpha && score < beta)
                            score =
                                -alphaBeta(search, board, ply + 1, base - OnePly, -beta, -alpha);
                    }
                } else {
                    score = -alphaBeta(search, board, ply + 1, newDepth - OnePly, -beta, -alpha);
                    // A reduced move that looks good is searched again in full.
                    if (score > alpha && newDepth != base && base + child.extension >= 16 &&
                        !(score >= beta && score >= MateBound))
                        score = -alphaBeta(search, board, ply + 1, base - OnePly, -beta, -alpha);
                }
            }
            unmakeMove(board);
            if (stack.stopFlag) return 0;

            if (score > record.bestScore) {
                record.bestMove = move;
                record.bestScore = score;
                if (score >= beta) {
                    rememberCutoff(stack, record, move, colour, nodeDepth);
                    storeTable(board, move, ply, nodeDepth, beta, 2, record.flags);
                    return score;
                }
                if (score > alpha) {
                    alpha = score;
                    extendVariation(record.pv, move, score, nodeDepth, child.pv);
                }
            }
            pickerDepth = newDepth - OnePly;
        }

        // 13.1 A reduced node that did not fail low badly gets its moves
        // offered again at the node's own depth.
        if (reducedNode && !(record.bestScore <= origAlpha && record.bestScore <= -MateBound)) {
            reducedNode = false;
            record.extension = 0;
            if (!record.hashMove) record.hashMove = record.bestMove;
            pickerDepth = nodeDepth - OnePly;
            record.moveCount = 0;
            record.stage = 0;
            continue;
        }
        break;
    }

    // 13.2 No move at all: mate or stalemate.
    if (record.moveCount == 0) return board.checkInfo ? ply - Mate : 0;
    if (record.moveCount == 1) record.flags |= FlagSingleReply;
    if (alpha == origAlpha) {
        record.bestMove = record.hashMove;
        storeTable(board, record.hashMove, ply, nodeDepth, alpha, 1, record.flags);
    } else {
        storeTable(board, record.bestMove, ply, nodeDepth, alpha, 3, record.flags);
    }
    if (record.bestMove && !isCaptureOrPromotion(record.bestMove))
        addHistory(stack, record.bestMove, colour, nodeDepth);
    return record.bestScore;
}
