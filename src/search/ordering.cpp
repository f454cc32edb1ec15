#include "search/ordering.h"

#include <cstring>

#include "board/attacks.h"
#include "board/movegen.h"
#include "search/quiescence.h"

int historyBonus(int depth) {
    // Reductions can leave a node with a depth below zero; it earns nothing.
    if (depth <= 0) return 0;
    const int bonus = depth * depth / 2;
    return bonus < 2000 ? bonus : 2000;
}

namespace {

void moveCounter(int16_t& counter, int bonus) {
    const int magnitude = bonus < 0 ? -bonus : bonus;
    counter = int16_t(counter + bonus - counter * magnitude / HistoryMax);
}

}  // namespace

void updateQuietHistory(SearchStack& stack, const QuietContext& context, Move move, int colour,
                        int bonus) {
    const int index = historyIndex(move, colour);
    moveCounter(stack.history[index], bonus);
    if (context.oneBack) moveCounter(context.oneBack[index], bonus);
    if (context.twoBack) moveCounter(context.twoBack[index], bonus);
}

namespace {

enum Stage : uint32_t {
    StageHash,
    StageStart,
    StageEvasions,
    StageThreat,
    StageGenerateCaptures,
    StageGoodCaptures,
    StageEvenCaptures,
    StageKiller1,
    StageKiller2,
    StageCounter,
    StageDeepKiller,
    StageBadCaptures,
    StageGenerateQuiet,
    StageQuiet,
    StageQuietUnsorted
};

inline bool wasTried(const PlyRecord& record, Move move) {
    for (uint32_t i = 0; i < record.triedCount; ++i)
        if (record.triedMoves[i] == move) return true;
    return false;
}

// A move from outside this node's lists (table, null-move reply, killer).
inline bool offerSingle(Board& board, PlyRecord& record, Move move) {
    if (move == 0 || wasTried(record, move) || !validateMove(board, move)) return false;
    record.triedMoves[record.triedCount++] = move;
    return true;
}

// Generated moves are pseudo-legal, except king moves and castling.
inline bool isPlayable(Board& board, Move move) {
    return movePiece(move) == King || isLegalNonKingMove(board, moveFrom(move), moveTo(move));
}

inline int historyScore(const SearchStack& stack, Move move, int colour) {
    return stack.history[historyIndex(move, colour)];
}

// Scores the evasions once; a quiet evasion ranks by history, any capture or
// promotion by its exchange.
void scoreEvasions(const SearchStack& stack, const Board& board, MoveEntry* list, int count) {
    const int colour = board.toMove->colour;
    for (int i = 0; i < count; ++i) {
        Move move = list[i].move;
        list[i].score = isCaptureOrPromotion(move) ? staticExchange(board, move)
                                                   : historyScore(stack, move, colour);
    }
}

// Takes moves out of the node's list until one is playable (and, for the
// quiet stages, not tried already): best first, or from the end when the
// list is not worth sorting. Stops, leaving the list as it is, when `stop`
// holds for the best remaining entry. 0 when no move came out.
template <bool Sorted, bool SkipTried, typename Stop>
inline Move takePlayable(Board& board, PlyRecord& record, MoveEntry* moves, Stop stop) {
    int count = int(record.listCount);
    Move found = 0;
    while (count > 0) {
        const int index = Sorted ? bestEntry(moves, count) : count - 1;
        if (stop(moves[index])) break;
        const Move move = takeEntry(moves, count, index);
        if ((SkipTried && wasTried(record, move)) || !isPlayable(board, move)) continue;
        found = move;
        break;
    }
    record.listCount = uint32_t(count);
    return found;
}

constexpr auto never = [](const MoveEntry&) { return false; };

// Captures and promotions go first whatever their exchange value.
inline int bestEvasion(const MoveEntry* list, int count) {
    int bestTactical = -1, bestQuiet = -1;
    for (int i = 0; i < count; ++i) {
        int& best = isCaptureOrPromotion(list[i].move) ? bestTactical : bestQuiet;
        if (best < 0 || list[i].score > list[best].score) best = i;
    }
    return bestTactical >= 0 ? bestTactical : bestQuiet;
}

}  // namespace

Move nextMove(SearchStack& stack, Board& board, PlyRecord& record, int list, int ply,
              int pickerDepth) {
    MoveEntry* moves = board.stack->moveLists[list];
    for (;;) {
        switch (record.stage) {
            case StageHash: {
                record.stage = StageStart;
                record.triedCount = 0;
                const Move hash = record.hashMove;
                if (board.checkInfo) {
                    // validateMove does not ask whether a move answers the check,
                    // so in check the table move must be one of the evasions.
                    const int count = generateEvasions(board, list);
                    record.listCount = uint32_t(count);
                    for (int i = 0; hash && i < count; ++i) {
                        if (moves[i].move != hash) continue;
                        record.triedMoves[record.triedCount++] = hash;
                        return hash;
                    }
                } else if (offerSingle(board, record, hash)) {
                    return hash;
                }
                continue;
            }
            case StageStart: {
                if (!board.checkInfo) {
                    record.stage = StageThreat;
                    continue;
                }
                // The evasions were generated with the hash move.
                record.stage = StageEvasions;
                int count = int(record.listCount);
                if (count == 0) return 0;
                if (count == 1) {
                    record.flags |= FlagSingleReply;
                    record.listCount = 0;
                    return moves[0].move == record.hashMove ? 0 : moves[0].move;
                }
                for (int i = 0; i < count; ++i) {
                    if (moves[i].move != record.hashMove) continue;
                    moves[i] = moves[--count];
                    break;
                }
                scoreEvasions(stack, board, moves, count);
                record.listCount = uint32_t(count);
                continue;
            }
            case StageEvasions: {
                int count = int(record.listCount);
                if (count == 0) return 0;
                const Move move = takeEntry(moves, count, bestEvasion(moves, count));
                record.listCount = uint32_t(count);
                return move;
            }
            case StageThreat:
                record.stage = StageGenerateCaptures;
                if (offerSingle(board, record, record.threatMove)) return record.threatMove;
                continue;
            case StageGenerateCaptures: {
                record.stage = StageGoodCaptures;
                int count = generateCaptures(board, list);
                for (int i = 0; i < count;) {
                    const Move move = moves[i].move;
                    if (move == record.hashMove || move == record.threatMove) {
                        moves[i] = moves[--count];
                    } else {
                        moves[i].score = mvvLva(move);
                        ++i;
                    }
                }
                record.listCount = uint32_t(count);
                continue;
            }
            case StageGoodCaptures: {
                // Best by victim and attacker, while the type codes show that
                // a capture cannot lose material.
                auto mayLose = [](const MoveEntry& entry) {
                    const Move move = entry.move;
                    return moveCaptured(move) + movePromotion(move) < movePiece(move);
                };
                if (Move move = takePlayable<true, false>(board, record, moves, mayLose))
                    return move;
                // The rest, this one included, by their exchange.
                for (uint32_t i = 0; i < record.listCount; ++i)
                    moves[i].score = staticExchange(board, moves[i].move);
                record.stage = StageEvenCaptures;
                continue;
            }
            case StageEvenCaptures: {
                // Captures that lose more than this wait until after the killers.
                auto losing = [](const MoveEntry& entry) { return entry.score < -150; };
                if (Move move = takePlayable<true, false>(board, record, moves, losing))
                    return move;
                record.stage = StageKiller1;
                continue;
            }
            case StageKiller1:
                record.stage = StageKiller2;
                if (offerSingle(board, record, record.killer1)) return record.killer1;
                continue;
            case StageKiller2:
                record.stage = StageCounter;
                if (offerSingle(board, record, record.killer2)) return record.killer2;
                continue;
            case StageCounter: {
                record.stage = StageDeepKiller;
                const Move counter = counterMoveOf(stack, board);
                if (offerSingle(board, record, counter)) return counter;
                continue;
            }
            case StageDeepKiller: {
                record.stage = StageBadCaptures;
                const Move killer = stack.plies[ply + 2].killer1;
                if (offerSingle(board, record, killer)) return killer;
                continue;
            }
            case StageBadCaptures:
                if (Move move = takePlayable<true, false>(board, record, moves, never)) return move;
                record.stage = StageGenerateQuiet;
                continue;
            case StageGenerateQuiet: {
                record.stage = StageQuiet;
                const int count = generateQuietMoves(board, list);
                const int colour = board.toMove->colour;
                const QuietContext context = quietContext(stack, board);
                for (int i = 0; i < count; ++i)
                    moves[i].score = quietScore(stack, context, moves[i].move, colour);
                record.listCount = uint32_t(count);
                continue;
            }
            case StageQuiet: {
                // Late moves close to the horizon are not worth sorting: the
                // next ones come unsorted.
                if (record.moveCount > 5 && pickerDepth < 2 * OnePly)
                    record.stage = StageQuietUnsorted;
                return takePlayable<true, true>(board, record, moves, never);
            }
            default: return takePlayable<false, true>(board, record, moves, never);
        }
    }
}
