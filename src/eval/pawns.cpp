#include "eval/pawns.h"

#include <cstring>

#include "board/attacks.h"
#include "board/tables.h"
#include "platform/platform.h"

int16_t pawnFlagTable[8][512];

namespace {

// Rank tables are indexed by the rank counted from the pawn's own side; rank 7
// never holds a pawn and stays 0.
constexpr int16_t blockedBonus[8] = {0, 0, 0, 0, 5, 10, 14, 0};
constexpr int16_t duoBonus[8] = {0, 10, 15, 30, 52, 113, 380, 0};
constexpr int16_t defendedPassedBonus[8] = {0, 0, 0, 23, 34, 86, 164, 0};
constexpr int16_t passedBonus[8] = {0, 0, 0, 0, 0, 10, 20, 0};
constexpr int16_t candidateDefended[8] = {0, 0, 0, 0, 5, 10, 0, 0};
constexpr int16_t candidateBonus[8] = {0, 0, 0, 0, 3, 5, 0, 0};
constexpr int16_t backwardCandidate[8] = {0, -4, -3, -2, -2, -2, -1, 0};

// [file a..h]
constexpr int16_t doubledIsolatedByFile[8] = {-28, -23, -22, -18, -18, -22, -23, -28};

// [passed pawns of one colour]; eight passers (no enemy pawn left) count as seven.
constexpr int16_t passedCountBonus[9] = {0, 2, 30, 55, 80, 130, 130, 130, 130};

// [square] for White; Black reads square ^ 56.
// clang-format off
constexpr int8_t pawnSquareTable[64] = {
     0,  0,  0,   0,   0,  0,  0,  0,
     0,  0,  0, -10, -10,  0,  0,  0,
     1,  1,  2,   4,   4,  2,  1,  1,
     2,  2,  7,  12,  12,  7,  2,  2,
     2,  2,  3,   6,   6,  3,  2,  2,
    10, 10, 10,  10,  10, 10, 10, 10,
    22, 22, 22,  22,  22, 22, 22, 22,
     0,  0,  0,   0,   0,  0,  0,  0,
};
// clang-format on

constexpr Bitboard QueenSideFiles = 0x0707070707070707ull;  // a-c
constexpr Bitboard KingSideFiles = 0xE0E0E0E0E0E0E0E0ull;   // f-h

int16_t flagValue(int r, int v) {
    const bool defended = v & PawnDefended, doubled = v & PawnDoubled;
    const bool isolated = v & PawnIsolatedOrWeak, candidate = v & PawnCandidate;
    int value = defended ? (doubled ? 8 : 10) : (doubled ? -2 : 0);
    if (isolated) value -= 2;
    if (v & PawnBlocked) value += blockedBonus[r];
    if (v & PawnAdvanceAttacked) value -= 5;
    if (v & PawnPassed) {
        if (v & PawnPassedDuo) value += duoBonus[r];
        value += defended ? defendedPassedBonus[r] : passedBonus[r];
    } else {
        if (candidate) {
            value += defended ? candidateDefended[r] : candidateBonus[r];
        } else if (defended && (v & PawnBlocked)) {
            value -= 5;
        }
        if (doubled && !isolated) value -= 8;
        if ((v & PawnBackward) && candidate && !defended) value -= 15;
        if (isolated && !doubled) value -= candidate ? 25 : 11;
    }
    return int16_t(value);
}

// Colour-relative geometry: "forward" is towards the colour's promotion rank.
template <int C>
constexpr Bitboard forwardOne(Bitboard set) {
    return C == White ? set << 8 : set >> 8;
}
template <int C>
constexpr Bitboard backwardOne(Bitboard set) {
    return C == White ? set >> 8 : set << 8;
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
template <int C>
constexpr Bitboard fillBackward(Bitboard set) {
    return fillForward<C ^ 1>(set);
}
template <int C>
constexpr int relativeRank(int square) {
    return C == White ? rankOf(square) : 7 - rankOf(square);
}
template <int C>
constexpr Bitboard relativeRankMask(int rank) {
    return Rank1 << 8 * (C == White ? rank : 7 - rank);
}
template <int C>
constexpr Bitboard behindOnFile(int square) {
    return C == White ? fileBehind[square] : fileAhead[square];
}
// The most advanced square of a non-empty set.
template <int C>
constexpr int frontmost(Bitboard set) {
    return C == White ? highestSquare(set) : lowestSquare(set);
}

constexpr Bitboard sideways(Bitboard set) { return ((set & ~FileA) >> 1) | ((set & ~FileH) << 1); }
constexpr Bitboard fileFill(Bitboard set) {
    return fillForward<White>(set) | fillForward<Black>(set);
}
// Bit f set when file f holds a man of the set.
constexpr int filesOf(Bitboard set) {
    set |= set >> 32;
    set |= set >> 16;
    set |= set >> 8;
    return int(set & 0xFF);
}
constexpr int lowestFile(int files) { return std::countr_zero(unsigned(files)); }
constexpr int highestFile(int files) { return 31 - std::countl_zero(unsigned(files)); }

// What one colour's pawns contribute to the entry.
struct SideStructure {
    int score;  // for this colour
    Bitboard passed;
    Bitboard fixed;
    bool allImmobile;
    int flags;  // outside and split passer flags of this colour
};

// Weak pawn beyond its third rank without a neighbour on its rank: on each
// adjacent file that has an own pawn behind, the first pawn met looking back
// from the diagonal decides whether the pawn could be supported there.
template <int C>
bool weakAdvancedPawn(int square, Bitboard own, Bitboard enemy) {
    int balance = 0;
    const int file = fileOf(square);
    for (int side = -1; side <= 1; side += 2) {
        if (file + side < 0 || file + side > 7) continue;
        const Bitboard behind = behindOnFile<C>(square + side);
        if (!(behind & own)) continue;
        const int first = frontmost<C>(behind & (own | enemy));
        balance += (enemy & bit(first)) ? 1 : -1;
    }
    return balance > 0;
}

// Per-pawn flags of one colour as sets, one set per flag bit. The weak half
// of isolated-or-weak needs a look along the files and is decided per pawn.
struct PawnFlagSets {
    Bitboard backward, blocked, candidate, passedDuo, doubled, advanceAttacked, isolated, passed,
        defended;
    Bitboard weakCandidates;  // may still turn out weak
};

template <int C>
PawnFlagSets pawnFlagSets(Bitboard own, Bitboard enemy) {
    const Bitboard ownAttacks = pawnAttacksOfSet(own, C);
    const Bitboard enemyAttacks = pawnAttacksOfSet(enemy, C ^ 1);
    PawnFlagSets sets;
    sets.defended = own & ownAttacks;
    sets.blocked = own & backwardOne<C>(enemy);
    sets.doubled =
        own & (fillForward<C>(forwardOne<C>(own)) | fillBackward<C>(backwardOne<C>(own)));
    sets.advanceAttacked = own & backwardOne<C>(enemyAttacks & ~ownAttacks);
    // Not passed: an enemy pawn ahead on the file, or an enemy pawn attack on
    // the pawn's own square or any square ahead of it.
    const Bitboard enemyAhead = fillBackward<C>(backwardOne<C>(enemy));
    sets.passed = own & ~enemyAhead & ~fillBackward<C>(enemyAttacks);
    sets.candidate = own & ~sets.passed & ~enemyAhead;
    sets.passedDuo = sets.passed & sideways(sets.passed);
    // Backward: nothing of ours guards the advance square or any square of the
    // file behind it, while a neighbour already stands diagonally in front.
    sets.backward = own & ~sets.defended & ~relativeRankMask<C>(6) &
                    ~backwardOne<C>(fillForward<C>(ownAttacks)) & pawnAttacksOfSet(own, C ^ 1);
    sets.isolated = own & ~fileFill(sideways(own));
    sets.weakCandidates = own & ~sets.defended & ~sets.backward & ~sets.isolated & ~sideways(own) &
                          fillForward<C>(relativeRankMask<C>(3));
    return sets;
}

template <int C>
int pawnFlagsAt(const PawnFlagSets& sets, int square, Bitboard own, Bitboard enemy) {
    const Bitboard b = bit(square);
    const bool weak = (sets.isolated & b) ||
                      ((sets.weakCandidates & b) && weakAdvancedPawn<C>(square, own, enemy));
    return ((sets.backward & b) ? PawnBackward : 0) | ((sets.blocked & b) ? PawnBlocked : 0) |
           ((sets.candidate & b) ? PawnCandidate : 0) | ((sets.passedDuo & b) ? PawnPassedDuo : 0) |
           ((sets.doubled & b) ? PawnDoubled : 0) |
           ((sets.advanceAttacked & b) ? PawnAdvanceAttacked : 0) |
           (weak ? PawnIsolatedOrWeak : 0) | ((sets.passed & b) ? PawnPassed : 0) |
           ((sets.defended & b) ? PawnDefended : 0);
}

template <int C>
SideStructure buildSide(Bitboard own, Bitboard enemy) {
    const Bitboard enemyAttacks = pawnAttacksOfSet(enemy, C ^ 1);
    // Squares attacked by two enemy pawns: the two capture directions overlap.
    const Bitboard enemyDouble = C == Black ? ((enemy & ~FileA) << 7) & ((enemy & ~FileH) << 9)
                                            : ((enemy & ~FileA) >> 9) & ((enemy & ~FileH) >> 7);
    const PawnFlagSets sets = pawnFlagSets<C>(own, enemy);
    const Bitboard passed = sets.passed;

    SideStructure side{};
    side.passed = passed;
    const int passers = popCount(passed);
    side.score = passedCountBonus[passers];
    if (popCount(passed & (relativeRankMask<C>(5) | relativeRankMask<C>(6))) >= 2) {
        side.score += 180;
    }

    for (Bitboard rest = own; rest;) {
        const int square = popLowest(rest);
        const int r = relativeRank<C>(square);
        const int v = pawnFlagsAt<C>(sets, square, own, enemy);
        side.score += pawnFlagTable[r][v] + pawnSquareTable[C == White ? square : square ^ 56];
        constexpr int BackwardCandidateAttacked =
            PawnBackward | PawnCandidate | PawnAdvanceAttacked;
        if ((v & BackwardCandidateAttacked) == BackwardCandidateAttacked) {
            side.score += backwardCandidate[r];
        }
        if ((v & (PawnIsolatedOrWeak | PawnDoubled)) == (PawnIsolatedOrWeak | PawnDoubled)) {
            side.score += doubledIsolatedByFile[fileOf(square)];
        }
    }

    const Bitboard immobile = own & backwardOne<C>(enemy | enemyAttacks | own);
    side.allImmobile = immobile == own;

    if ((passed & QueenSideFiles) && (passed & KingSideFiles)) side.score += 20;

    if (passed) {
        const int passedFiles = filesOf(passed);
        const int leftFile = lowestFile(passedFiles), rightFile = highestFile(passedFiles);
        if (enemy) {
            const int enemyFiles = filesOf(enemy);
            const int outsideFlag = C == White ? WhiteOutsidePasser : BlackOutsidePasser;
            if (rightFile - highestFile(enemyFiles) > 2) {
                side.flags |= outsideFlag;
                side.score += 5;
            }
            if (lowestFile(enemyFiles) - leftFile > 2) {
                side.flags |= outsideFlag;
                side.score += 5;
            }
        }
        // Two passers so far apart that the enemy king cannot stop both.
        const int distance = rightFile - leftFile;
        if (distance > 0) {
            const int toGoLeft = 7 - relativeRank<C>(frontmost<C>(passed & (FileA << leftFile)));
            const int toGoRight = 7 - relativeRank<C>(frontmost<C>(passed & (FileA << rightFile)));
            if (toGoLeft <= distance && toGoRight <= distance &&
                !(toGoLeft == distance && toGoRight == distance)) {
                side.flags |= C == White ? WhiteSplitPassers : BlackSplitPassers;
            }
        }
    }

    // Fixed: stuck behind an own pawn, or unable to advance while nothing of
    // ours could ever guard it and no enemy pawn can take it off.
    const Bitboard stuck = own & backwardOne<C>(enemy | enemyDouble);
    const Bitboard guardable = sideways(own) | pawnAttacksOfSet(own & ~stuck, C);
    side.fixed = (own & backwardOne<C>(own)) | (stuck & ~enemyAttacks & ~guardable);
    return side;
}

void buildEntry(const Board& board, PawnHashEntry& entry) {
    const Bitboard whitePawns = board.white.pawns, blackPawns = board.black.pawns;
    const SideStructure white = buildSide<White>(whitePawns, blackPawns);
    const SideStructure black = buildSide<Black>(blackPawns, whitePawns);

    int flags = white.flags | black.flags;
    const int whiteFiles = filesOf(whitePawns), blackFiles = filesOf(blackPawns);
    if (!(pawnAttacksOfSet(whitePawns, White) & blackPawns) && white.allImmobile &&
        black.allImmobile) {
        flags |= PawnsLocked;
        if (whiteFiles == 0xFF && blackFiles == 0xFF) flags |= PawnsFullyLocked;
    }
    const Bitboard fixed = white.fixed | black.fixed;
    if (fixed == (whitePawns | blackPawns)) flags |= PawnsLocked;

    entry.passed = white.passed | black.passed;
    entry.fixed = fixed;
    entry.check = uint32_t(board.pawnHashKey);
    entry.score = int16_t(white.score - black.score);
    entry.filesWithoutWhitePawns = uint8_t(~whiteFiles);
    entry.filesWithoutBlackPawns = uint8_t(~blackFiles);
    entry.flags = uint8_t(flags);
}

}  // namespace

void buildPawnFlagTable() {
    for (int r = 0; r < 7; ++r) {
        for (int v = 0; v < 512; ++v) pawnFlagTable[r][v] = flagValue(r, v);
    }
}

int pawnFlagsOf(const Board& board, int square) {
    const Bitboard white = board.white.pawns, black = board.black.pawns;
    if (white & bit(square))
        return pawnFlagsAt<White>(pawnFlagSets<White>(white, black), square, white, black);
    if (black & bit(square))
        return pawnFlagsAt<Black>(pawnFlagSets<Black>(black, white), square, black, white);
    return 0;
}

PawnHashEntry& probePawnStructure(PawnTable& table, Board& board) {
    const uint64_t key = board.pawnHashKey;
    PawnHashEntry& entry = table.entries ? table.entries[pawnSlot(table, key)] : table.spare;
    if (entry.check != uint32_t(key) || &entry == &table.spare) buildEntry(board, entry);
    constexpr Bitboard EveryRank = 0x0101010101010101ull;
    board.white.pawnlessFiles = entry.filesWithoutWhitePawns * EveryRank;
    board.black.pawnlessFiles = entry.filesWithoutBlackPawns * EveryRank;
    board.evalScratch = &entry;
    return entry;
}

int allocatePawnTable(PawnTable& table, uint64_t count) {
    freePawnTable(table);
    // Probed at every evaluation: large pages spare most of its TLB misses.
    table.entries =
        static_cast<PawnHashEntry*>(allocateLargeBlock(size_t(count * sizeof(PawnHashEntry))));
    if (!table.entries) return 0;
    table.count = uint32_t(count);
    clearPawnTable(table);
    return 1;
}

void clearPawnTable(PawnTable& table) {
    if (table.entries) std::memset(table.entries, 1, size_t(table.count) * sizeof(PawnHashEntry));
}

void freePawnTable(PawnTable& table) {
    freeLargeBlock(table.entries);
    table.entries = nullptr;
    table.count = 0;
}
