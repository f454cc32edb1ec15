#include "eval/endgame.h"

int classifyMaterial(const Board&) { return 0; }

int probeEndgame(Board&, int32_t& result, int32_t& flag) {
    result = 0;
    flag = FlagUnset;
    return 0;
}

Bitboard kingSafeSquares(const Board&, const SideState&, const SideState&) { return 0; }
bool whitePawnUnstoppable(const Board&) { return false; }
bool blackPawnUnstoppable(const Board&) { return false; }
bool whitePawnSquareUnstoppable(const Board&, int) { return false; }
bool blackPawnSquareUnstoppable(const Board&, int) { return false; }
bool wrongRookPawnWhite(const Board&) { return false; }
bool wrongRookPawnBlack(const Board&) { return false; }

bool queenVersusSeventhDraw(const Board& board, int colour) {
    // A bishop or rook pawn one step from promotion, with its king beside the
    // queening square: the queen cannot force the king away in time.
    if (colour == White) {
        Bitboard pawns = board.white.pawns;
        int king = board.white.kingSquare;
        return ((king == B7 || king == B8) && (pawns & (bit(A7) | bit(C7)))) ||
               ((king == G7 || king == G8) && (pawns & (bit(F7) | bit(H7))));
    }
    Bitboard pawns = board.black.pawns;
    int king = board.black.kingSquare;
    return ((king == B2 || king == B1) && (pawns & (bit(A2) | bit(C2)))) ||
           ((king == G2 || king == G1) && (pawns & (bit(F2) | bit(H2))));
}
