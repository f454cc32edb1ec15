#include "board/check.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "board/attacks.h"
#include "board/random.h"
#include "board/tables.h"

namespace {

uint64_t computeHashPart(const Board& board, const SideState& side) {
    uint64_t key = castleRightsKey(side.colour, side.castleRights);
    for (int piece = Pawn; piece <= King; ++piece)
        for (Bitboard men = side.*pieceSet[piece]; men;)
            key ^= zobrist[side.colour][popLowest(men)][piece];
    // The side that made a capturable double step carries the en-passant key;
    // that is always the side not to move.
    if (board.epFile && &side == board.opponent) key ^= enPassantKey(board.epFile);
    return key;
}

Bitboard rotate(Bitboard set, int (*rotatedBit)(int)) {
    Bitboard rotated = 0;
    while (set) rotated |= bit(rotatedBit(popLowest(set)));
    return rotated;
}
int fileBit(int s) { return fileRotatedBit(s); }
int antiDiagBit(int s) { return antiDiagRotatedBit(s); }
int diagBit(int s) { return diagRotatedBit(s); }

const char* checkSide(const Board& board, const SideState& side) {
    Bitboard all = 0;
    uint64_t signature = 0;
    for (int piece = Pawn; piece <= King; ++piece) {
        Bitboard men = side.*pieceSet[piece];
        if (all & men) return "overlapping piece sets";
        all |= men;
        signature += uint64_t(popCount(men)) * signatureIncrement[piece];
        for (Bitboard m = men; m;)
            if (board.squares[popLowest(m)] != piece) return "squares";
    }
    if (side.all != all) return "all";
    if (side.pieces != (all ^ side.pawns)) return "pieces";
    if (side.diagonalSliders != (side.bishops | side.queens)) return "diagonalSliders";
    if (side.straightSliders != (side.rooks | side.queens)) return "straightSliders";
    if (side.pawnAttacks != pawnAttacksOfSet(side.pawns, side.colour)) return "pawnAttacks";
    if (side.material != computeMaterial(side)) return "material";
    if (side.materialSignature != signature) return "materialSignature";
    if (side.king != bit(side.kingSquare)) return "kingSquare";
    if (side.hashPart != computeHashPart(board, side)) return "hashPart";
    const BoardStack& stack = *board.stack;
    if (side.castleRights && side.kingSquare != stack.kingStart[side.colour])
        return "castling right without the king on its start square";
    if ((side.castleRights & CastleKingSide) &&
        !(side.rooks & bit(stack.rookStartKingSide[side.colour])))
        return "king-side right without its rook";
    if ((side.castleRights & CastleQueenSide) &&
        !(side.rooks & bit(stack.rookStartQueenSide[side.colour])))
        return "queen-side right without its rook";
    return nullptr;
}

}  // namespace

int32_t computeMaterial(const SideState& side) {
    int32_t material = 0;
    for (int piece = Pawn; piece <= King; ++piece)
        material += popCount(side.*pieceSet[piece]) * pieceValue[piece];
    return material;
}

uint64_t computePawnHashKey(const Board& board) {
    uint64_t key = 0;
    for (const SideState* side : {&board.black, &board.white})
        for (Bitboard men = side->pawns; men;) key ^= zobrist[side->colour][popLowest(men)][Pawn];
    return key;
}

uint64_t computeHashKey(const Board& board) {
    return uint64_t(board.toMove->colour) ^ computeHashPart(board, board.white) ^
           computeHashPart(board, board.black);
}

const char* findBoardInconsistency(const Board& board) {
    if (board.toMove == board.opponent) return "toMove";
    if (const char* error = checkSide(board, board.white)) return error;
    if (const char* error = checkSide(board, board.black)) return error;
    if (board.white.all & board.black.all) return "sides overlap";
    Bitboard occupied = board.white.all | board.black.all;
    if (board.occupied != occupied) return "occupied";
    if (board.empty != ~occupied) return "empty";
    if (board.occupiedFiles != rotate(occupied, fileBit)) return "occupiedFiles";
    if (board.occupiedAntiDiagonals != rotate(occupied, antiDiagBit))
        return "occupiedAntiDiagonals";
    if (board.occupiedDiagonals != rotate(occupied, diagBit)) return "occupiedDiagonals";
    for (int square = 0; square < 64; ++square)
        if ((board.squares[square] != NoPiece) != ((occupied >> square) & 1)) return "squares";
    if (board.pieceCount != popCount(occupied)) return "pieceCount";
    if (board.pawnHashKey != computePawnHashKey(board)) return "pawnHashKey";
    if (board.hashKey != computeHashKey(board)) return "hashKey";
    Bitboard checkers = attackersBySide(board, *board.opponent, board.toMove->kingSquare);
    int expected = checkers == 0                 ? 0
                   : (checkers & (checkers - 1)) ? DoubleCheck
                                                 : 1 + lowestSquare(checkers);
    if (board.checkInfo != expected) return "checkInfo";
    if (board.epFile > 8) return "epFile";
    return nullptr;
}

void verifyBoardOrDie(const Board& board, const char* where) {
    if (const char* error = findBoardInconsistency(board)) {
        std::fprintf(stderr, "board inconsistent after %s: %s\n", where, error);
        std::abort();
    }
}

void verifyUndoRoom(const Board& board) {
    if (board.ply < 0 || board.ply >= MaxGame) {
        std::fprintf(stderr, "undo array full at ply %d\n", board.ply);
        std::abort();
    }
}
