#include "eval/pieces.h"

#include "board/attacks.h"
#include "board/tables.h"
#include "eval/material.h"

namespace {

// Square tables are written as seen from White with rank 8 on the first row,
// so the entry of a White man on s is table[s ^ 56] and a Black man reads the
// board mirrored top to bottom: table[s].
constexpr int tableIndex(int colour, int square) { return colour == White ? square ^ 56 : square; }

// clang-format off
constexpr int8_t knightTable[64] = {
    -30,  0,  0,  0,  0,  0,  0,-30,
     -5,  0,  5, 10, 10,  5,  0, -5,
     -5,  5, 15, 22, 22, 15,  5, -5,
     -5, 10, 25, 32, 32, 25, 10, -5,
     -5,  4, 12, 18, 18, 12,  4, -5,
     -5,  8, 10,  2,  2, 10,  8, -5,
     -5,  0,  0,  0,  0,  0,  0, -5,
    -30, -5, -5, -5, -5, -5, -5,-30};

constexpr int8_t bishopTable[64] = {
     -5, -1,  0,  0,  0,  0, -1, -5,
      0,  0,  3,  3,  3,  3,  0,  0,
      1,  3,  5,  6,  6,  5,  3,  1,
      0,  6,  8, 10, 10,  8,  6,  0,
      6,  8, 10, 12, 12, 10,  8,  6,
      8, 10,  9, 10, 10,  9, 10,  8,
      0, 15,  6,  7,  7,  6, 15,  0,
    -15, -9,  3,  5,  5,  3, -9,-15};

constexpr int8_t rookTable[64] = {
      5, 10, 10, 10, 10, 10, 10,  5,
     10, 12, 12, 12, 12, 12, 12, 10,
      0,  0,  6,  8,  8,  6,  0,  0,
      0,  0,  5,  5,  5,  5,  0,  0,
      0,  0,  5,  5,  5,  5,  0,  0,
     -5,  0,  0,  5,  5,  0,  0, -5,
     -7,  0,  0,  5,  5,  0,  0, -7,
     -3,  0,  8, 12, 12,  8,  0, -3};

constexpr int8_t queenTable[64] = {
    -15,  4,  4,  4,  4,  4,  4,-15,
    -10,  4,  4,  4,  4,  4,  4,-10,
     -5,  4,  4,  6,  6,  4,  4, -5,
     -5,  4,  6,  8,  8,  6,  4, -5,
     -5,  5,  8,  8,  8,  8,  5, -5,
     -5,  2,  5, 10, 10,  5,  2, -5,
     -8,  0, 10, 12, 12, 10,  0, -8,
    -15, -3,  4,  6,  6,  4, -3,-15};

// A knight there, defended by a pawn and out of reach of enemy pawns and minors.
constexpr int8_t outpostTable[64] = {
      0,  0,  0,  0,  0,  0,  0,  0,
      0,  0,  6, 13, 13,  6,  0,  0,
      0,  7, 15, 18, 18, 15,  7,  0,
      0,  7, 12, 15, 15, 12,  7,  0,
      0,  0,  7,  9,  9,  7,  0,  0,
      0,  0,  0,  0,  0,  0,  0,  0,
      0,  0,  0,  0,  0,  0,  0,  0,
      0,  0,  0,  0,  0,  0,  0,  0};
// clang-format on

// [squares reached]
constexpr int16_t knightMobility[9] = {-55, -20, 0, 15, 30, 40, 44, 47, 50};
constexpr int16_t bishopMobility[16] = {-55, -20, -5, 5,  15, 30, 45, 50,
                                        53,  56,  58, 60, 61, 62, 63, 64};
constexpr int16_t rookLineMobility[9] = {-5, 0, 4, 6, 8, 10, 12, 14, 16};  // file and rank alike
// [squares from which the piece kind could give check next move], mod 16
constexpr int16_t checkSquares[16] = {0,   8,   16,  32,  60,  80,  100, 120,
                                      200, 200, 200, 200, 200, 200, 200, 200};
// [distance from the queen to the enemy king]
constexpr int16_t queenDistance[8] = {25, 14, 8, 2, 0, -2, -4, -6};

// The two ranks nearest the opponent's back rank, by our colour.
constexpr Bitboard seventhAndEighth[2] = {Rank1 | Rank1 << 8, Rank8 | Rank8 >> 8};

// A man of them on a line from our slider, with the enemy king further along
// the same line: pinned or skewered.
bool inLineWithKing(int slider, int man, int king) {
    return direction[slider][man] != 0 && direction[slider][man] == direction[man][king];
}

}  // namespace

int32_t evaluateKnights(const Board& board, SideState& us, const SideState& them) {
    int colour = us.colour;
    int32_t score = 0;
    Bitboard reach = 0;
    for (Bitboard knights = us.knights; knights;) {
        int square = popLowest(knights);
        Bitboard attacks = knightAttacks[square];
        score += knightTable[tableIndex(colour, square)] +
                 pieceMaterial[Knight].materialTaper[board.phase];
        // Safe squares, and enemy pieces whatever guards them.
        Bitboard targets = (attacks & ~us.pawns & ~them.pawnAttacks) | (attacks & them.pieces);
        score += knightMobility[popCount(targets)];
        score += 2 * popCount(attacks & them.pieces);
        if (attacks & them.kingZone) {
            us.kingAttackers += 1;
            us.kingAttackWeight += 1;
        }
        int outpost = outpostTable[tableIndex(colour, square)];
        if (outpost && (us.pawnAttacks & bit(square)) && !(them.pawnAttacks & bit(square))) {
            Bitboard ahead = colour == White ? fileAhead[square] : fileBehind[square];
            if (!(them.pawnAttacks & ahead) && !(attacks & them.knights) &&
                !(bishopAttacksOf(board, square) & them.bishops))
                score += outpost;
        }
        reach |= attacks;
    }
    score += checkSquares[popCount(reach & knightAttacks[them.kingSquare])];
    us.knightReach = reach;
    us.attacked |= reach;
    return score;
}

int32_t evaluateBishops(const Board& board, SideState& us, const SideState& them) {
    int colour = us.colour;
    int32_t score = 0;
    if (popCount(us.bishops) >= 2) score += them.bishops ? 40 : 45;
    // A bishop that took the rook pawn and is shut in by two pawns.
    Bitboard enemyPawns = them.pawns;
    auto trapped = [&](int bishop, int pawn1, int pawn2) {
        if ((us.bishops & bit(bishop)) && (enemyPawns & bit(pawn1)) && (enemyPawns & bit(pawn2)))
            score -= 100;
    };
    if (colour == White) {
        trapped(A7, B6, C7);
        trapped(H7, G6, F7);
    } else {
        trapped(A2, B3, C2);
        trapped(H2, G3, F2);
    }
    Bitboard reach = 0;
    for (Bitboard bishops = us.bishops; bishops;) {
        int square = popLowest(bishops);
        Bitboard attacks = bishopAttacksOf(board, square);
        score += bishopTable[tableIndex(colour, square)] +
                 pieceMaterial[Bishop].materialTaper[board.phase];
        score += bishopMobility[popCount(attacks)];
        if (attacks & them.kingZone) {
            us.kingAttackers += 1;
            us.kingAttackWeight += 1;
        }
        if (Bitboard lines = attacks & them.kingDiagonals) {
            score += 8;
            for (Bitboard men = lines & (them.rooks | them.knights); men;) {
                if (inLineWithKing(square, popLowest(men), them.kingSquare)) score += 40;
            }
        }
        reach |= attacks;
    }
    score += 2 * popCount(reach & them.pieces);
    us.bishopReach = reach;
    us.attacked |= reach;
    return score;
}

int32_t evaluateRooks(const Board& board, SideState& us, const SideState& them,
                      const PawnHashEntry& entry) {
    int colour = us.colour;
    int32_t score = 0;
    Bitboard reach = 0;
    for (Bitboard rooks = us.rooks; rooks;) {
        int square = popLowest(rooks);
        Bitboard file = fileAttacksOf(board, square);
        Bitboard rank = rankAttacksOf(board, square);
        Bitboard attacks = file | rank;
        score +=
            rookTable[tableIndex(colour, square)] + pieceMaterial[Rook].materialTaper[board.phase];
        // Behind an own pawn that can no longer advance.
        if (file & us.pawns & entry.fixed) score -= 15;
        score += rookLineMobility[popCount(file & ~us.all)];
        score += rookLineMobility[popCount(rank & ~us.all)];
        if (us.pawnlessFiles & bit(square)) score += rookFileBonus.materialTaper[board.phase];
        if (attacks & them.kingZone) {
            us.kingAttackers += 1;
            us.kingAttackWeight += 2;
        }
        if (Bitboard lines = attacks & them.kingLines) {
            score += popCount(lines) == 1 ? 8 : 16;
            for (Bitboard men = lines & (them.bishops | them.knights); men;) {
                if (inLineWithKing(square, popLowest(men), them.kingSquare)) score += 42;
            }
        }
        reach |= attacks;
    }
    // Heavy pieces on the seventh with the enemy king cut off on its back ranks.
    Bitboard seventh = seventhAndEighth[colour];
    if (popCount((us.rooks | us.queens) & seventh) >= 2 && (them.king & seventh)) score += 68;
    if (us.rooks & seventh & us.pawnAttacks) score += 31;
    us.rookReach = reach;
    us.attacked |= reach;
    return score;
}

int32_t evaluateQueens(const Board& board, SideState& us, const SideState& them) {
    int colour = us.colour;
    int32_t score = 0;
    Bitboard reach = 0;
    for (Bitboard queens = us.queens; queens;) {
        int square = popLowest(queens);
        score += queenTable[tableIndex(colour, square)] +
                 pieceMaterial[Queen].materialTaper[board.phase] +
                 queenDistance[squareDistance(square, them.kingSquare)];
        reach |= queenAttacksOf(board, square);
    }
    score += checkSquares[popCount(reach & (them.kingLines | them.kingDiagonals)) & 15];
    us.queenReach = reach;
    us.attacked |= reach;
    return score;
}

int32_t evaluateControl(const SideState& us, const SideState& them) {
    // A square counts for us when our cheapest attacker there is cheaper than
    // theirs; king-zone squares count when they do not attack them at all.
    Bitboard byPawns = them.pawnAttacks;
    Bitboard byMinors = byPawns | them.knightReach | them.bishopReach;
    Bitboard byRooks = byMinors | them.rookReach;
    Bitboard byAll = byRooks | them.queenReach;
    Bitboard controlled =
        (us.pawnAttacks & ~byPawns) | ((us.knightReach | us.bishopReach) & ~byMinors) |
        (us.rookReach & ~byRooks) | (us.queenReach & ~byAll) | (us.kingZone & ~them.attacked);
    return popCount(controlled) * evaluate_control;
}

int32_t evaluateDevelopment(const Board& board) {
    const SideState& white = board.white;
    const SideState& black = board.black;
    int32_t score = -15 * popCount((white.knights | white.bishops) & Rank1) +
                    15 * popCount((black.knights | black.bishops) & Rank8);
    // Centre pawns on their home squares with the square in front taken.
    if ((white.pawns & bit(D2)) && (board.occupied & bit(D3))) score -= 33;
    if ((white.pawns & bit(E2)) && (board.occupied & bit(E3))) score -= 33;
    if ((black.pawns & bit(D7)) && (board.occupied & bit(D6))) score += 33;
    if ((black.pawns & bit(E7)) && (board.occupied & bit(E6))) score += 33;
    return score;
}

int32_t materialImbalance(const Board& board) {
    uint64_t white = board.white.materialSignature;
    uint64_t black = board.black.materialSignature;
    int pawns = int(white & 15) - int(black & 15);
    int minors = int((white >> 28) & 15) - int((black >> 28) & 15);
    int majors = int((white >> 32) & 15) - int((black >> 32) & 15);
    // Only a difference in one kind of material is worth trading down; mixed
    // differences (an exchange for pawns) are left to the piece values.
    if (majors && !minors && !pawns) return 32 * majors * (majors < 0 ? -majors : majors);
    if (minors && !majors && !pawns) return 16 * minors * (minors < 0 ? -minors : minors);
    if (pawns && !majors && !minors) return 8 * pawns * (pawns < 0 ? -pawns : pawns);
    return 0;
}
