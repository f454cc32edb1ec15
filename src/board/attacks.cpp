#include "board/attacks.h"

Bitboard attackersOfSquare(const Board& board, int square) {
    return attackersBySide(board, board.white, square) |
           attackersBySide(board, board.black, square);
}

Bitboard attacksFrom(const Board& board, int piece, int colour, int square) {
    switch (piece) {
        case Pawn: return pawnAttackTable[colour][square];
        case Knight: return knightAttacks[square];
        case Bishop: return bishopAttacksOf(board, square);
        case Rook: return rookAttacksOf(board, square);
        case Queen: return queenAttacksOf(board, square);
        case King: return kingAttacks[square];
        default: return 0;
    }
}

// Lifting both pawns can open a rank to the king that no single pin test sees,
// so the capture is tried on the occupancy sets themselves.
bool isEnPassantLegal(Board& board, int from, int to) {
    const SideState& own = *board.toMove;
    const SideState& enemy = *board.opponent;
    int victim = own.colour == White ? to - 8 : to + 8;
    int king = own.kingSquare;
    Bitboard change = bit(from) | bit(to) | bit(victim);
    Bitboard fileChange = fileRotationMask[from] ^ fileRotationMask[to] ^ fileRotationMask[victim];
    board.occupied ^= change;
    board.occupiedFiles ^= fileChange;
    bool exposed = (rookAttacksOf(board, king) & enemy.straightSliders) != 0;
    board.occupied ^= change;
    board.occupiedFiles ^= fileChange;
    if (exposed) return false;
    Bitboard antiChange =
        antiDiagRotationMask[from] ^ antiDiagRotationMask[to] ^ antiDiagRotationMask[victim];
    Bitboard diagChange = diagRotationMask[from] ^ diagRotationMask[to] ^ diagRotationMask[victim];
    board.occupiedAntiDiagonals ^= antiChange;
    board.occupiedDiagonals ^= diagChange;
    exposed = (bishopAttacksOf(board, king) & enemy.diagonalSliders) != 0;
    board.occupiedAntiDiagonals ^= antiChange;
    board.occupiedDiagonals ^= diagChange;
    return !exposed;
}

bool isLegalNonKingMove(Board& board, int from, int to) {
    int distance = from > to ? from - to : to - from;
    if (board.epFile != 0 && board.squares[from] == Pawn && (distance & 1) &&
        board.squares[to] == NoPiece)
        return isEnPassantLegal(board, from, to);
    // Staying on the king's line through from (or a knight off every line) is safe.
    const int king = board.toMove->kingSquare;
    const int kind = lineKind[king][from];
    if (kind == lineKind[from][to] || kind == 0) return true;
    // Only an enemy slider of the line's kind beyond from, seen from the
    // king, can pin: without one the rotated look-up is not needed.
    if (!(rayFrom[king][raySlot(direction[king][from])] & slidersForLine(*board.opponent, kind)))
        return true;
    return pinDirection(board, from, &board.stack->pinRay) == 0;
}

Bitboard allAttacksOfSide(const Board& board, const SideState& side) {
    Bitboard set = pawnAttacksOfSet(side.pawns, side.colour) | kingAttacks[side.kingSquare];
    for (Bitboard men = side.knights; men;) set |= knightAttacks[popLowest(men)];
    for (Bitboard men = side.diagonalSliders; men;) set |= bishopAttacksOf(board, popLowest(men));
    for (Bitboard men = side.straightSliders; men;) set |= rookAttacksOf(board, popLowest(men));
    return set;
}

Bitboard knightSpread(Bitboard set) {
    Bitboard l1 = (set >> 1) & ~FileH, l2 = (set >> 2) & ~(FileH | FileH >> 1);
    Bitboard r1 = (set << 1) & ~FileA, r2 = (set << 2) & ~(FileA | FileA << 1);
    Bitboard h1 = l1 | r1, h2 = l2 | r2;
    return (h1 << 16) | (h1 >> 16) | (h2 << 8) | (h2 >> 8);
}
