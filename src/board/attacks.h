// Attack queries on a Board's current occupancy. Slider attacks are one table
// look-up per line through the rotated occupancy sets.
#pragma once

#include "board/tables.h"
#include "board/types.h"

inline Bitboard rankAttacksOf(const Board& board, int square) {
    return rankAttacks[square][(board.occupied >> rankShift[square]) & 63];
}
inline Bitboard fileAttacksOf(const Board& board, int square) {
    return fileAttacks[square][(board.occupiedFiles >> fileShift[square]) & 63];
}
inline Bitboard antiDiagAttacksOf(const Board& board, int square) {
    return antiDiagAttacks[square][(board.occupiedAntiDiagonals >> antiDiagShift[square]) & 63];
}
inline Bitboard diagAttacksOf(const Board& board, int square) {
    return diagAttacks[square][(board.occupiedDiagonals >> diagShift[square]) & 63];
}
inline Bitboard rookAttacksOf(const Board& board, int square) {
    return rankAttacksOf(board, square) | fileAttacksOf(board, square);
}
inline Bitboard bishopAttacksOf(const Board& board, int square) {
    return diagAttacksOf(board, square) | antiDiagAttacksOf(board, square);
}
inline Bitboard queenAttacksOf(const Board& board, int square) {
    return rookAttacksOf(board, square) | bishopAttacksOf(board, square);
}

// Slider attacks along one line kind (1 rank, 8 file, 7 anti-diagonal, 9 diagonal).
inline Bitboard lineAttacksOf(const Board& board, int square, int kind) {
    switch (kind) {
        case 1: return rankAttacksOf(board, square);
        case 8: return fileAttacksOf(board, square);
        case 7: return antiDiagAttacksOf(board, square);
        default: return diagAttacksOf(board, square);
    }
}
// The sliders that move along a line kind.
inline Bitboard slidersForLine(const SideState& side, int kind) {
    return (kind == 1 || kind == 8) ? side.straightSliders : side.diagonalSliders;
}

// Adds or removes a square in the three rotated occupancy sets.
inline void toggleRotated(Board& board, int square) {
    board.occupiedFiles ^= fileRotationMask[square];
    board.occupiedAntiDiagonals ^= antiDiagRotationMask[square];
    board.occupiedDiagonals ^= diagRotationMask[square];
}
// The same in all four occupancy sets (not in `empty`).
inline void toggleOccupancy(Board& board, int square) {
    board.occupied ^= bit(square);
    toggleRotated(board, square);
}

// True when side attacks square. Cheapest hits first: an adjacent king or queen
// attacks whatever the occupancy, and a bishop on a pawn-capture square attacks.
inline bool attackedBySide(const Board& board, const SideState& side, int square) {
    if (kingAttacks[square] & (side.king | side.queens)) return true;
    if (pawnAttackTable[side.colour ^ 1][square] & (side.pawns | side.bishops)) return true;
    if (knightAttacks[square] & side.knights) return true;
    if (rookAttacksOf(board, square) & side.straightSliders) return true;
    return (bishopAttacksOf(board, square) & side.diagonalSliders) != 0;
}
inline bool attackedByWhite(const Board& board, int square) {
    return attackedBySide(board, board.white, square);
}
inline bool attackedByBlack(const Board& board, int square) {
    return attackedBySide(board, board.black, square);
}

// Knights and sliders only: callers mask pawn and king attacks beforehand.
inline bool attackedBySlidersOrKnights(const Board& board, const SideState& side, int square) {
    if (knightAttacks[square] & side.knights) return true;
    if (rookAttacksOf(board, square) & side.straightSliders) return true;
    return (bishopAttacksOf(board, square) & side.diagonalSliders) != 0;
}

// True when the side to move could take the other king with a man other than
// its king: the position is illegal. The kings themselves are left out, since
// no legal king move ends beside the other king; a set-up position must also
// test them (kingsTouch).
inline bool canCaptureKing(const Board& board) {
    const SideState& side = *board.toMove;
    int square = board.opponent->kingSquare;
    if (knightAttacks[square] & side.knights) return true;
    if (pawnAttackTable[side.colour ^ 1][square] & side.pawns) return true;
    if (rookAttacksOf(board, square) & side.straightSliders) return true;
    return (bishopAttacksOf(board, square) & side.diagonalSliders) != 0;
}

// The two kings stand side by side.
inline bool kingsTouch(const Board& board) {
    return (kingAttacks[board.white.kingSquare] & board.black.king) != 0;
}

// Men of one side that attack square: pawns, knights, sliders; then with the king.
inline Bitboard attackersNoKing(const Board& board, const SideState& side, int square) {
    return (pawnAttackTable[side.colour ^ 1][square] & side.pawns) |
           (knightAttacks[square] & side.knights) |
           (rookAttacksOf(board, square) & side.straightSliders) |
           (bishopAttacksOf(board, square) & side.diagonalSliders);
}
inline Bitboard attackersBySide(const Board& board, const SideState& side, int square) {
    return attackersNoKing(board, side, square) | (kingAttacks[square] & side.king);
}
// Men of both colours that attack square.
Bitboard attackersOfSquare(const Board& board, int square);

// The side's knights and sliders that reach square: the men that can interpose.
inline Bitboard blockersOfSquare(const Board& board, const SideState& side, int square) {
    return (knightAttacks[square] & side.knights) |
           (rookAttacksOf(board, square) & side.straightSliders) |
           (bishopAttacksOf(board, square) & side.diagonalSliders);
}

Bitboard attacksFrom(const Board& board, int piece, int colour, int square);

// 0 when the man on square is not pinned to the king of the side to move; else
// the line kind of the pin, with the slider ray through square stored in *ray.
inline int pinDirection(const Board& board, int square, Bitboard* ray) {
    const SideState& own = *board.toMove;
    const SideState& enemy = *board.opponent;
    int kind = lineKind[own.kingSquare][square];
    if (kind == 0) return 0;
    Bitboard lineRay = lineAttacksOf(board, square, kind);
    *ray = lineRay;
    // The ray stops at the first man each way: holding both the own king and an
    // enemy slider of the line's kind means the man stands between them.
    if ((lineRay & own.king) && (lineRay & slidersForLine(enemy, kind))) return kind;
    return 0;
}

bool isEnPassantLegal(Board& board, int from, int to);
bool isLegalNonKingMove(Board& board, int from, int to);

// Evaluation helpers: every square attacked by a side; knight moves of a set.
Bitboard allAttacksOfSide(const Board& board, const SideState& side);
Bitboard knightSpread(Bitboard set);

// Pawn attack set of a whole side, computed from its pawns.
inline Bitboard pawnAttacksOfSet(Bitboard pawns, int colour) {
    if (colour == White) return ((pawns & ~FileA) << 7) | ((pawns & ~FileH) << 9);
    return ((pawns & ~FileA) >> 9) | ((pawns & ~FileH) >> 7);
}
