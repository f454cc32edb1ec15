// The engine's shared vocabulary: squares, colours, men, the Move word, the
// Board with its incremental fields, the two side records, the undo record and
// the stack of undo records and move lists that make and unmake work in.
#pragma once

#include <bit>
#include <cstdint>

#include "platform/cpu_features.h"

using Bitboard = uint64_t;
using Move = uint32_t;

struct BoardStack;

// square = 8 * rank + file; a1 = 0, h1 = 7, a8 = 56, h8 = 63.
// clang-format off
enum Square : int {
    A1, B1, C1, D1, E1, F1, G1, H1,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A8, B8, C8, D8, E8, F8, G8, H8
};
// clang-format on

// Colour 1 is white, so per-colour tables put black first.
enum Colour : int { Black = 0, White = 1 };

// Piece codes, as stored in Board::squares and in the Move word.
enum Piece : int { NoPiece = 0, Pawn = 1, Knight = 2, Bishop = 3, Rook = 4, Queen = 5, King = 6 };

// Move kinds (bits 12-15 of a Move).
enum MoveKind : int {
    KindNull = 0,
    KindPawn = 1,  // single step, capture or en passant
    KindKnight = 2,
    KindBishop = 3,
    KindRook = 4,
    KindQueen = 5,
    KindKing = 6,  // not castling
    KindDoubleStep = 7,
    KindPromoteQueen = 8,
    KindPromoteKnight = 9,
    KindPromoteRook = 10,
    KindPromoteBishop = 11,
    KindCastleKingSide = 12,
    KindCastleQueenSide = 13
};

// Move word: from 0-5, to 6-11, kind 12-15, piece 16-18, promotion 19-21,
// captured 22-24, en-passant flag 25.
constexpr Move EnPassantFlag = 1u << 25;
constexpr int CaptureFieldEnPassant = 9;  // bits 22-25 read together for en passant

constexpr int moveFrom(Move m) { return int(m & 63); }
constexpr int moveTo(Move m) { return int((m >> 6) & 63); }
constexpr int moveKind(Move m) { return int((m >> 12) & 15); }
constexpr int movePiece(Move m) { return int((m >> 16) & 7); }
constexpr int movePromotion(Move m) { return int((m >> 19) & 7); }
constexpr int moveCaptured(Move m) { return int((m >> 22) & 7); }
constexpr int moveCaptureField(Move m) { return int((m >> 22) & 15); }
constexpr bool moveIsEnPassant(Move m) { return (m & EnPassantFlag) != 0; }
constexpr bool moveIsCastling(Move m) { return moveKind(m) >= KindCastleKingSide; }

constexpr Move buildMove(int from, int to, int kind, int piece, int captured = 0,
                         int promotion = 0) {
    return Move(from) | Move(to) << 6 | Move(kind) << 12 | Move(piece) << 16 |
           Move(promotion) << 19 | Move(captured) << 22;
}
constexpr Move buildEnPassant(int from, int to) {
    return buildMove(from, to, KindPawn, Pawn, Pawn) | EnPassantFlag;
}

// Promotion kind (8..11) to the piece it makes, and back.
constexpr int promotionPiece(int kind) {
    constexpr int piece[4] = {Queen, Knight, Rook, Bishop};
    return piece[kind - KindPromoteQueen];
}

// Increments of SideState::materialSignature, indexed by piece code. Read as
// nibbles from the low end: pawns, knights, bishops, rooks, queens, non-pawn men,
// all men but the king, minors, heavy weight, (0); byte 5 material in pawn units,
// byte 6 pawns + 16 knights + 64 bishops, byte 7 rooks + 4 queens.
constexpr uint64_t signatureIncrement[7] = {0,
                                            0x0001010001000001ull,
                                            0x0010030011100010ull,
                                            0x0040030011100100ull,
                                            0x0100050101101000ull,
                                            0x04000A0201110000ull,
                                            0};
// The knight, bishop, rook and queen counters of a signature: set when the
// side has a piece.
constexpr uint64_t SignaturePieces = 0xFFFF0;
// The pawn, rook and queen counters.
constexpr uint64_t SignaturePawnsRooksQueens = 0xFF00F;

// What each man adds to SideState::material, by piece code; make and unmake
// keep the sums. The evaluation fills in its piece values once at start-up.
extern int32_t pieceValue[7];

// Castling rights bits of SideState::castleRights.
constexpr uint8_t CastleKingSide = 1;
constexpr uint8_t CastleQueenSide = 2;

struct SideState {
    Bitboard pawns, knights, bishops, rooks, queens, king;  // in piece-code order
    Bitboard pieces;  // all ^ pawns: every man but pawns, king included
    Bitboard diagonalSliders, straightSliders;
    Bitboard all;
    Bitboard pawnAttacks;
    // Evaluation scratch, rewritten by every full evaluation; make/unmake leave
    // it alone. Attack sets of the side's pieces by kind, all its attacks, the
    // geometry around its king and the files where it has no pawn.
    Bitboard knightReach, bishopReach, rookReach, queenReach;
    Bitboard attacked;                  // kingZone | pawnAttacks | the four reaches
    Bitboard kingZone;                  // king square and its neighbours
    Bitboard kingDiagonals, kingLines;  // bishop and rook lines from the king square
    Bitboard pawnlessFiles;             // every square of the files without own pawns
    uint64_t hashPart;                  // XOR of this side's key contributions
    // Evaluation scratch: this side's pieces attacking the enemy king zone, and
    // their weight; knights + bishops + rooks + queens.
    int32_t kingAttackers, kingAttackWeight, pieceNumber, spare;
    uint64_t materialSignature;
    int32_t kingSquare;
    int32_t material;
    int32_t colour;  // fixed: 1 for white, 0 for black
    uint8_t castleRights;
};

// The bitboard of one piece kind of a side, by piece code 1..6.
inline constexpr Bitboard SideState::*pieceSet[7] = {
    nullptr,           &SideState::pawns,  &SideState::knights, &SideState::bishops,
    &SideState::rooks, &SideState::queens, &SideState::king};

struct Board {
    int32_t phase;  // written by the evaluation
    SideState white;
    SideState black;
    uint64_t hashKey;  // side to move (bit 0: white) ^ both hash parts
    uint64_t pawnHashKey;
    Bitboard occupied;
    Bitboard empty;
    Bitboard occupiedFiles;          // occupancy rotated so that files are bytes
    Bitboard occupiedAntiDiagonals;  // lines of constant rank + file
    Bitboard occupiedDiagonals;      // lines of constant rank - file
    SideState* toMove;
    SideState* opponent;
    BoardStack* stack;
    void* evalScratch;
    int16_t ply;  // moves made since setup; index of the next undo record
    // Where a repetition search stops: the last capture, pawn move or castling.
    int16_t lastIrreversiblePly;
    // Where the fifty-move count runs from: the last capture or pawn move;
    // below 0 when a set-up position's half-move clock counts earlier moves.
    int16_t fiftyMoveStart;
    int16_t startPly;     // game plies before the set-up position, from its move number
    uint8_t squares[64];  // piece code per square; colour comes from the bitboards
    uint8_t epFile;       // 0, or 1 + file of a pawn that can be taken en passant
    uint8_t checkInfo;    // 0 no check, 1 + checker square, 255 double check
    uint8_t pieceCount;   // men of both colours, kings included
};

constexpr uint8_t DoubleCheck = 255;

// Plies counted by the fifty-move rule.
inline int fiftyMoveCount(const Board& board) { return board.ply - board.fiftyMoveStart; }

// The game's ply, counted from its first move (as a set-up position's move
// number says): even with White to move.
inline int gamePly(const Board& board) { return board.startPly + board.ply; }

struct UndoRecord {
    Bitboard occupied;
    Bitboard occupiedFiles;
    Bitboard occupiedAntiDiagonals;
    Bitboard occupiedDiagonals;
    Bitboard whitePawnAttacks;
    Bitboard blackPawnAttacks;
    uint64_t hashKey;
    uint64_t pawnHashKey;
    uint64_t blackHashPart;
    uint64_t whiteHashPart;
    uint64_t move;  // low half: the Move made from this ply; 0 for a null move
    uint16_t lastIrreversiblePly;
    int16_t fiftyMoveStart;
    uint8_t whiteCastleRights;
    uint8_t blackCastleRights;
    uint8_t epFile;
    uint8_t checkInfo;
};
static_assert(sizeof(UndoRecord) == 96);

// One entry of a move list: the Move and the search's ordering score.
struct MoveEntry {
    Move move;
    int32_t score;
};
static_assert(sizeof(MoveEntry) == 8);

constexpr int StackMargin = 4;  // records before index 0, for looking a few plies back
constexpr int MaxPly = 64;      // deepest search ply
// The longest game a GUI can send: the seventy-five-move rule ends every game
// within 17 697 plies. The search's plies come on top.
constexpr int MaxGamePlies = 17700;
constexpr int MaxGame = MaxGamePlies + MaxPly;  // undo records: game plies plus search plies
constexpr int MoveListCount = 100;
constexpr int MoveCapacity = MaxPly * 220 + 1000;

// What make, unmake and the generators work in beside the Board: the undo
// records of the game with the search's below them (so that the repetition
// test sees both), one move list per ply, the castling squares of the game,
// and the counters of moves made. The game owns one; the search's copies of
// the game board share it.
struct BoardStack {
    UndoRecord undoStore[StackMargin + MaxGame];
    UndoRecord* undo;  // undoStore + StackMargin, indexed by Board::ply
    MoveEntry moveBuffer[MoveCapacity + StackMargin];
    // List k runs from moveLists[k] to moveLists[k + 1]; list 0 starts the buffer.
    MoveEntry* moveLists[MoveListCount];
    // Castling squares, indexed by colour: set at setup, read by castling.
    int32_t kingStart[2];
    int32_t rookStartKingSide[2];
    int32_t rookStartQueenSide[2];
    Bitboard pinRay;     // scratch ray of pinDirection
    uint32_t makeCount;  // +1 per makeMove: the search's node counter
    uint32_t nullMoveCount;
};

inline SideState& sideOf(Board& board, int colour) {
    return colour == White ? board.white : board.black;
}
inline const SideState& sideOf(const Board& board, int colour) {
    return colour == White ? board.white : board.black;
}

// Bit helpers.
constexpr Bitboard bit(int square) { return Bitboard(1) << square; }
// A 64-bit bit scan on a 32-bit target, and a count on a CPU without popcnt,
// are runtime calls; done on the two halves they stay inline. Same results,
// 0 included.
constexpr int lowestSquare(Bitboard set) {
    if constexpr (sizeof(void*) == 8) return std::countr_zero(set);
    const uint32_t low = uint32_t(set);
    return low ? std::countr_zero(low) : 32 + std::countr_zero(uint32_t(set >> 32));
}
// -1 for the empty set.
constexpr int highestSquare(Bitboard set) {
    if constexpr (sizeof(void*) == 8) return 63 - std::countl_zero(set);
    const uint32_t high = uint32_t(set >> 32);
    return high ? 63 - std::countl_zero(high) : 31 - std::countl_zero(uint32_t(set));
}
constexpr int popCount(Bitboard set) {
    if constexpr (buildHasPopcnt) return std::popcount(set);
    uint32_t low = uint32_t(set), high = uint32_t(set >> 32);
    low -= (low >> 1) & 0x55555555u;
    high -= (high >> 1) & 0x55555555u;
    low = (low & 0x33333333u) + ((low >> 2) & 0x33333333u);
    high = (high & 0x33333333u) + ((high >> 2) & 0x33333333u);
    low = (low + (low >> 4)) & 0x0F0F0F0Fu;
    high = (high + (high >> 4)) & 0x0F0F0F0Fu;
    return int(((low + high) * 0x01010101u) >> 24);
}
inline int popLowest(Bitboard& set) {
    int square = lowestSquare(set);
    set &= set - 1;
    return square;
}
constexpr int rankOf(int square) { return square >> 3; }
constexpr int fileOf(int square) { return square & 7; }
// King-move (Chebyshev) distance.
constexpr int squareDistance(int a, int b) {
    int ranks = rankOf(a) > rankOf(b) ? rankOf(a) - rankOf(b) : rankOf(b) - rankOf(a);
    int files = fileOf(a) > fileOf(b) ? fileOf(a) - fileOf(b) : fileOf(b) - fileOf(a);
    return ranks > files ? ranks : files;
}

constexpr Bitboard FileA = 0x0101010101010101ull;
constexpr Bitboard FileH = FileA << 7;
constexpr Bitboard Rank1 = 0xFFull;
constexpr Bitboard Rank8 = Rank1 << 56;
