#include "eval/king.h"

#include "board/attacks.h"
#include "board/tables.h"

void prepareKingGeometry(const Board& board, SideState& side) {
    int king = side.kingSquare;
    side.knightReach = side.bishopReach = side.rookReach = side.queenReach = 0;
    side.kingAttackers = side.kingAttackWeight = 0;
    side.pieceNumber = int32_t((side.materialSignature >> 20) & 15);
    side.kingZone = kingAttacks[king] | bit(king);
    side.kingDiagonals = bishopAttacksOf(board, king);
    side.kingLines = rookAttacksOf(board, king);
    side.attacked = side.kingZone | side.pawnAttacks;
}

int32_t evaluateKingAttack(SideState&, const SideState&) { return 0; }

int32_t evaluateShelter(const Board&) { return 0; }
