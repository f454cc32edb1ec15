// Shared by the endgame recognisers (endgame.cpp up to four men,
// endgame_large.cpp five and six): a position seen by the side a rule is
// written for, the verdict codes in that side's view, and small board tests.
#pragma once

#include <cstdint>

#include "board/attacks.h"
#include "board/tables.h"
#include "board/types.h"
#include "eval/endgame.h"

namespace endgame {

constexpr Bitboard LightSquares = 0x55AA55AA55AA55AAull;  // b1, a2, ...
constexpr Bitboard DarkSquares = ~LightSquares;           // a1, b2, ...
constexpr Bitboard Edge = FileA | FileH | Rank1 | Rank8;
constexpr Bitboard FileB = FileA << 1, FileG = FileA << 6;
constexpr Bitboard Rank2 = Rank1 << 8, Rank6 = Rank1 << 40, Rank7 = Rank1 << 48;
constexpr Bitboard Corners = bit(A1) | bit(H1) | bit(A8) | bit(H8);

// Verdicts of a recogniser, from the view of its side "us" (the side that the
// rule calls White); the probe turns them into White's view.
constexpr int UsWins = 1;
constexpr int Drawn = 0;
constexpr int UsCannotLose = 2;
constexpr int ThemCannotLose = -2;
constexpr int ThemWins = -1;
constexpr int NoVerdict = 99;

// A set as the given colour sees it: Black's board is flipped top to bottom.
inline Bitboard fromSide(Bitboard set, int colour) {
    return colour == White ? set : __builtin_bswap64(set);
}

// The squares that a pawn of colour on square still has to cross.
inline Bitboard pawnPath(int colour, int square) {
    return colour == White ? fileAhead[square] : fileBehind[square];
}

// The helper tests for the pawns of either colour.
inline bool pawnUnstoppable(const Board& board, int colour) {
    return colour == White ? whitePawnUnstoppable(board) : blackPawnUnstoppable(board);
}
inline bool pawnSquareUnstoppable(const Board& board, int colour, int square) {
    return colour == White ? whitePawnSquareUnstoppable(board, square)
                           : blackPawnSquareUnstoppable(board, square);
}
inline bool wrongRookPawn(const Board& board, int colour) {
    return colour == White ? wrongRookPawnWhite(board) : wrongRookPawnBlack(board);
}

// A position seen by one side. Attack sets stay on the real board; sq() and
// rank() give squares as "us" sees them, so one rule serves both colours.
struct View {
    const Board& board;
    const SideState& us;
    const SideState& them;
    int32_t& flag;
    bool usToMove;
    bool inCheck;  // the side to move is in check

    View(const Board& b, int colour, int32_t& f)
        : board(b),
          us(sideOf(b, colour)),
          them(sideOf(b, colour ^ 1)),
          flag(f),
          usToMove(b.toMove->colour == colour),
          inCheck(b.checkInfo != 0) {}
    int sq(int square) const { return us.colour == White ? square : square ^ 56; }
    int rank(int square) const { return rankOf(sq(square)); }
    int sign() const { return us.colour == White ? 1 : -1; }
};

// A class's recogniser, the colour it is written for (or ToMove for the
// symmetric classes seen from the side to move) and its material's name.
constexpr int ToMove = 2;
struct Rule {
    int (*recognise)(View&);
    int side;
    const char* name;
};

// Five and six men: the class of the material (0 when not covered; small
// class numbers where a small class extends to it) and the rule of a class
// from 40 on (nullptr beyond the last).
int classifyLarge(const Board& board);
const Rule* largeRule(int material);

}  // namespace endgame
