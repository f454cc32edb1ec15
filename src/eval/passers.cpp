#include "eval/passers.h"

#include <bit>

#include "board/attacks.h"
#include "board/pawnrace.h"
#include "board/tables.h"

namespace {

// Rank tables, indexed by the pawn's rank from its own side (passers stand on
// ranks 1..6; the outer entries only pad).
constexpr int32_t passedRank[8] = {0, 10, 10, 25, 40, 75, 120, 0};
constexpr int32_t unstoppable[8] = {0, 300, 300, 300, 300, 400, 600, 0};
constexpr int32_t rookBehind[8] = {0, 2, 5, 10, 15, 32, 55, 0};
constexpr int32_t bishopSupport[8] = {0, 0, 0, 0, 0, 15, 50, 0};
constexpr int32_t kingSupport[8] = {0, 0, 0, 0, 100, 150, 250, 0};
constexpr int32_t movesToPromote[8] = {7, 5, 5, 4, 3, 2, 1, 0};

// [king distance 0..7]
constexpr int32_t kingDist[8] = {0, 2, 4, 6, 7, 8, 9, 10};

// [White pawns - Black pawns + 8]
constexpr int32_t pawnCountBonus[17] = {-300, -290, -280, -250, -200, -140, -80, -40, 0,
                                        40,   80,   140,  200,  250,  280,  290, 300};

constexpr int RaceNone = 7;  // movesToPromote of a side without a free runner

constexpr int distance(int a, int b) {
    const int ranks = rankOf(a) > rankOf(b) ? rankOf(a) - rankOf(b) : rankOf(b) - rankOf(a);
    const int files = fileOf(a) > fileOf(b) ? fileOf(a) - fileOf(b) : fileOf(b) - fileOf(a);
    return ranks > files ? ranks : files;
}

template <int C>
constexpr int relativeRank(int square) {
    return C == White ? rankOf(square) : 7 - rankOf(square);
}
template <int C>
constexpr Bitboard aheadOnFile(int square) {
    return C == White ? fileAhead[square] : fileBehind[square];
}
template <int C>
constexpr Bitboard behindOnFile(int square) {
    return C == White ? fileBehind[square] : fileAhead[square];
}
template <int C>
constexpr int stepForward(int square) {
    return C == White ? square + 8 : square - 8;
}
// The set and every square in front of it.
template <int C>
constexpr Bitboard fillForward(Bitboard set) {
    if (C == White) {
        set |= set << 8;
        set |= set << 16;
        return set | set << 32;
    }
    set |= set >> 8;
    set |= set >> 16;
    return set | set >> 32;
}
constexpr Bitboard sideways(Bitboard set) { return ((set & ~FileA) >> 1) | ((set & ~FileH) << 1); }

// Race bits of pawnRace for a pawn of colour C, the side to move being stm:
// the square rule, and the flood fill of a king (or a knight walking like one).
template <int C>
constexpr int squareRuleBit(int stm) {
    return 1 << ((C == White ? 0 : 2) + stm);
}
template <int C>
constexpr int floodBit(int stm) {
    return 1 << ((C == White ? 4 : 6) + stm);
}

// Pawns of the set that outrun the king on kingSquare by the square rule.
template <int C>
Bitboard squareRuleFree(Bitboard pawns, int kingSquare, int stm) {
    Bitboard free = 0;
    for (Bitboard rest = pawns; rest;) {
        const int square = popLowest(rest);
        if (pawnRace[square - 8][kingSquare] & squareRuleBit<C>(stm)) free |= bit(square);
    }
    return free;
}

// Bonuses for passers that the lone enemy piece cannot catch; removes them
// from `passers`.
template <int C>
int32_t runnersAgainstOnePiece(const Board& board, Bitboard& passers, Bitboard allPassers) {
    const SideState& us = sideOf(board, C);
    const SideState& them = sideOf(board, C ^ 1);
    const int stm = board.toMove->colour;
    const Bitboard free = squareRuleFree<C>(passers, them.kingSquare, stm);
    int32_t value = 0;
    if (!(them.knights | them.bishops | them.rooks | them.queens)) {
        for (Bitboard rest = free; rest;) value += unstoppable[relativeRank<C>(popLowest(rest))];
        passers &= ~free;
    } else if (them.knights) {
        const int knight = lowestSquare(them.knights);
        for (Bitboard rest = free; rest;) {
            const int square = popLowest(rest);
            const int r = relativeRank<C>(square);
            if (pawnRace[square - 8][knight] & floodBit<C>(stm)) {
                value += unstoppable[r];
                passers &= ~bit(square);
            } else if (r >= 5 && distance(square, them.kingSquare) > 2) {
                const bool supported = (pawnAttackTable[C ^ 1][square] & us.pawns) ||
                                       (sideways(bit(square)) & allPassers);
                const bool kingFar = distance(square, us.kingSquare) > 2;
                if (supported) {
                    value += kingFar ? unstoppable[r] / 2 : unstoppable[r];
                } else {
                    value += kingFar ? passedRank[r] : 4 * passedRank[r];
                }
                passers &= ~bit(square);
            }
        }
    } else if (them.queens) {
        for (Bitboard rest = free; rest;) {
            const int square = popLowest(rest);
            if (relativeRank<C>(square) == 6 && distance(square, them.kingSquare) > 3 &&
                (kingAttacks[square] & us.king) && (pawnAttackTable[C ^ 1][square] & us.pawns)) {
                value += 300;
                passers &= ~bit(square);
            }
        }
    }
    // At most a minor left against the pawns: winning chances rest on having
    // material to force the promotion.
    if (!(them.pawns | them.rooks | them.queens)) {
        const bool force =
            (us.rooks | us.queens) || popCount(us.knights | us.bishops | us.rooks | us.queens) >= 2;
        const bool pawnsHold =
            popCount(us.pawns) >= 2 || (kingAttacks[us.kingSquare] & us.pawns) != 0;
        value += force && pawnsHold ? 320 : 80;
    }
    return value;
}

// Passed-pawn terms of colour C with pieces on the board, from C's view.
template <int C>
int32_t passerTerms(const Board& board, const PawnHashEntry& entry) {
    const SideState& us = sideOf(board, C);
    const SideState& them = sideOf(board, C ^ 1);
    const Bitboard allPassers = us.pawns & entry.passed;
    Bitboard passers = allPassers;
    if (!passers) return 0;
    int32_t value = 0;
    if (popCount(them.knights | them.bishops | them.rooks | them.queens) <= 1) {
        value += runnersAgainstOnePiece<C>(board, passers, allPassers);
    }
    while (passers) {
        const int square = popLowest(passers);
        const int r = relativeRank<C>(square);
        value += passedRank[r];
        const Bitboard behind = fileAttacksOf(board, square) & behindOnFile<C>(square);
        if (behind & us.rooks) {
            value += rookBehind[r];
        } else if (behind & them.rooks) {
            value -= rookBehind[r];
        }
        if (bishopAttacksOf(board, square) & us.bishops) value += bishopSupport[r];
        if (aheadOnFile<C>(square) & them.king) value -= 22;
        if (kingAttacks[square] & us.king) {
            value += kingSupport[r];
        } else {
            value += kingDist[distance(square, them.kingSquare)] -
                     kingDist[distance(square, us.kingSquare)];
        }
    }
    return value;
}

// Known draws of a king-and-pawn ending led by colour C: rook pawns with the
// defending king in front, and a lone pawn the defender is about to win or
// is stalemated by.
template <int C>
bool pawnEndingDraw(const Board& board) {
    const SideState& strong = sideOf(board, C);
    const SideState& weak = sideOf(board, C ^ 1);
    const Bitboard pawns = strong.pawns;
    const int defender = weak.kingSquare;
    // Corner squares in front of the promotion square: a1, b1, a2, b2 for a
    // Black a-pawn, and so on.
    const Bitboard promotionZone = C == White ? 0xFFFF000000000000ull : 0xFFFFull;
    constexpr Bitboard FileB = FileA << 1, FileG = FileA << 6;
    if (pawns && !(pawns & ~FileA)) {
        if ((promotionZone & (FileA | FileB)) & bit(defender)) return true;
        if ((FileA & bit(defender)) && !(aheadOnFile<C>(defender) & pawns)) return true;
    }
    if (pawns && !(pawns & ~FileH)) {
        if ((promotionZone & (FileG | FileH)) & bit(defender)) return true;
        if ((FileH & bit(defender)) && !(aheadOnFile<C>(defender) & pawns)) return true;
    }
    if (board.toMove->colour != (C ^ 1)) return false;
    if (!weak.pawns) {
        const int front = stepForward<C ^ 1>(defender);  // the pawn's square
        if (front >= 0 && front < 64 && relativeRank<C>(front) == 6 && (pawns & bit(front)) &&
            stepForward<C ^ 1>(front) == strong.kingSquare) {
            return true;
        }
    }
    if (popCount(pawns) == 1 && (kingAttacks[defender] & pawns) &&
        !(kingAttacks[strong.kingSquare] & pawns)) {
        return true;
    }
    return false;
}

// Moves to promotion of C's fastest passer that has a clear path and outruns
// the enemy king; RaceNone without one.
template <int C>
int raceLength(const Board& board, const PawnHashEntry& entry) {
    const SideState& us = sideOf(board, C);
    const int stm = board.toMove->colour;
    int best = RaceNone;
    for (Bitboard rest = us.pawns & entry.passed; rest;) {
        const int square = popLowest(rest);
        if (aheadOnFile<C>(square) & board.occupied) continue;
        if (!(pawnRace[square - 8][sideOf(board, C ^ 1).kingSquare] & squareRuleBit<C>(stm))) {
            continue;
        }
        const int moves = movesToPromote[relativeRank<C>(square)];
        if (moves < best) best = moves;
    }
    return best;
}

// Squares on or in front of C's pawns, on their files and the neighbouring ones.
template <int C>
Bitboard pawnFront(Bitboard pawns) {
    const Bitboard front = fillForward<C>(pawns);
    return front | sideways(front);
}

}  // namespace

int32_t evaluatePassedPawns(const Board& board, const PawnHashEntry& entry) {
    return passerTerms<White>(board, entry) - passerTerms<Black>(board, entry);
}

int32_t evaluatePawnEnding(const Board& board, const PawnHashEntry& entry, int32_t score) {
    score += pawnCountBonus[popCount(board.white.pawns) - popCount(board.black.pawns) + 8];
    if (score < 0 && pawnEndingDraw<Black>(board)) return 0;
    if (score > 0 && pawnEndingDraw<White>(board)) return 0;

    const int white = raceLength<White>(board, entry);
    const int black = raceLength<Black>(board, entry);
    if (white != black) {
        // A runner that queens first wins; one move behind is usually still
        // answered in time.
        const bool whiteToMove = board.toMove->colour == White;
        const int mover = whiteToMove ? white : black, other = whiteToMove ? black : white;
        const int32_t moverWins = whiteToMove ? 400 : -400;
        if (mover < other) return score + moverWins;
        if (other + 1 < mover) return score - moverWins;
    }

    const int flags = entry.flags;
    if (flags & WhiteOutsidePasser) score += 300;
    if (flags & WhiteSplitPassers) score += 200;
    if (flags & BlackOutsidePasser) score -= 300;
    if (flags & BlackSplitPassers) score -= 200;
    if (flags & PawnsLocked) {
        // With the pawns jammed, the king that has got past its own pawns is
        // the one that can reach the enemy's.
        if (pawnFront<White>(board.white.pawns) & board.white.king) score += 120;
        if (pawnFront<Black>(board.black.pawns) & board.black.king) score -= 120;
    }
    return score;
}
