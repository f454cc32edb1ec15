#include "eval/king.h"

#include <initializer_list>

#include "board/attacks.h"
#include "board/tables.h"

namespace {

// [pieces touching the king zone, capped at 15]. Entry 9 is low on purpose:
// the curve is kept as tuned.
constexpr int32_t kingAttackTable[16] = {288,  768, 1536, 2304, 2688, 2880, 2976, 3024,
                                         3048, 360, 3072, 3072, 3072, 3072, 3072, 3072};

// [rank of a storming enemy pawn, counted from the defending king's side]
constexpr int32_t stormTable[8] = {0, -15, -8, -3, 0, 10, 10, 0};

constexpr Bitboard LightSquares = 0x55AA55AA55AA55AAull;

// Shelter of one king, written for a White king on the queen side. The other
// three cases read the board through a mirror: files reversed for the king
// side, ranks reversed for Black. Square colours swap under either mirror,
// which the bishop tests follow by asking for the colour of the mirrored
// square.
struct ShelterView {
    const SideState& own;
    const SideState& enemy;
    int flip;  // XOR applied to a White-queen-side square: 7 files, 56 ranks

    int at(int square) const { return square ^ flip; }
    bool has(Bitboard set, int square) const { return (set & bit(at(square))) != 0; }
    bool hasAny(Bitboard set, std::initializer_list<int> squares) const {
        for (int square : squares) {
            if (has(set, square)) return true;
        }
        return false;
    }
    Bitboard files(Bitboard queenSideFiles) const {
        if (!(flip & 7)) return queenSideFiles;
        Bitboard mirrored = 0;
        for (int file = 0; file < 8; ++file) {
            if (queenSideFiles & (FileA << file)) mirrored |= FileA << (7 - file);
        }
        return mirrored;
    }
    // Rank of an enemy pawn counted from the defending king's side.
    int rankFromOwnSide(int square) const { return rankOf(square ^ (flip & 56)); }
};

int32_t shelter(const ShelterView& view) {
    const SideState& own = view.own;
    const SideState& enemy = view.enemy;
    int king = own.kingSquare;
    int32_t score = view.has(bit(king), C1) ? 0 : 10;

    Bitboard openWing = view.files(FileA | FileA << 1) & own.pawnlessFiles;
    if (openWing) {
        score -= 30;
        if ((own.rooks | own.queens) & openWing)
            score += 10;
        else if (own.bishops & openWing & own.pawnAttacks)
            score += 10;
    } else if (view.hasAny(bit(king), {B1, C1}) && view.hasAny(own.rooks, {A1, B1, A2, B2})) {
        // The rook is shut in behind the king and its pawns.
        score -= 230;
    }

    if (view.hasAny(own.pawns, {A2, A3})) score += 15;
    if (view.has(own.pawns, B2)) {
        score += 35;
    } else if (view.has(own.pawns, B3)) {
        // A fianchetto wants its bishop; without one the holes stay weak.
        Bitboard sameColour = (LightSquares & bit(view.at(B2))) ? LightSquares : ~LightSquares;
        if (view.hasAny(own.bishops, {B2, A3}))
            score += 16;
        else if (view.hasAny(own.bishops, {A1, C1}))
            score += 8;
        else if (!(own.bishops & sameColour))
            score -= 10;
    }

    // Storm, only against a king castled away from the enemy king.
    if (!(enemy.king & view.files(0xF0F0F0F0F0F0F0F0ull))) return score;
    Bitboard stormFiles = view.files(FileA | FileA << 1 | FileA << 2);
    if ((stormFiles & enemy.pawnlessFiles) && enemy.rooks)
        score +=
            -8 - 37 * popCount((enemy.rooks | enemy.queens) & stormFiles & enemy.pawnlessFiles);
    Bitboard pawns = own.pawns | enemy.pawns;
    for (Bitboard storm = enemy.pawns & stormFiles; storm;) {
        int square = popLowest(storm);
        int front = own.colour == White ? square - 8 : square + 8;
        if (!(pawns & bit(front))) score += stormTable[view.rankFromOwnSide(square)];
    }
    if (view.has(own.pawns, A3) && view.has(enemy.pawns, B4)) score -= 24;
    return score;
}

// The shelter of side's king when the opponent has the material to attack it.
int32_t shelterOf(const SideState& side, const SideState& enemy) {
    int pieces = int((enemy.materialSignature >> 20) & 15);
    if (pieces < 3 || !enemy.queens) return 0;
    int rankFlip = side.colour == White ? 0 : 56;
    int king = side.kingSquare ^ rankFlip;
    if (king == A1 || king == B1 || king == C1 || king == A2 || king == B2)
        return shelter({side, enemy, rankFlip});
    if (king == H1 || king == G1 || king == F1 || king == H2 || king == G2)
        return shelter({side, enemy, rankFlip | 7});
    return 0;
}

}  // namespace

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

int32_t evaluateKingAttack(SideState& attacker, const SideState& defender) {
    // A lone attacker is no attack; the queen joins only an attack under way.
    if (attacker.kingAttackers < 2) return 0;
    if (attacker.queenReach & defender.kingZone) {
        attacker.kingAttackWeight += 4;
        attacker.kingAttackers += 1;
    }
    int attackers = attacker.kingAttackers < 15 ? attacker.kingAttackers : 15;
    return kingAttackTable[attackers] * attacker.kingAttackWeight / 256;
}

int32_t evaluateShelter(const Board& board) {
    return shelterOf(board.white, board.black) - shelterOf(board.black, board.white);
}
