#include "board/makemove.h"

#include <cstring>
#include <utility>

#include "board/attacks.h"
#include "board/check.h"
#include "board/random.h"
#include "board/tables.h"

// The evaluation centres its values into this table before any search.
int32_t pieceValue[7] = {0, 100, 395, 420, 642, 1310, 0};

namespace {

// [piece code]: all ones when the piece moves along diagonals / straight lines,
// so slider unions follow a piece set without a branch.
constexpr Bitboard diagonalMask[7] = {0, 0, 0, ~0ull, 0, ~0ull, 0};
constexpr Bitboard straightMask[7] = {0, 0, 0, 0, ~0ull, ~0ull, 0};

inline void toggleMan(SideState& side, int piece, Bitboard squares) {
    side.*pieceSet[piece] ^= squares;
    side.diagonalSliders ^= squares & diagonalMask[piece];
    side.straightSliders ^= squares & straightMask[piece];
}

// A capture or pawn move: no earlier position can recur, and the fifty-move
// count starts again.
inline void resetFiftyMoveCount(Board& board) {
    board.lastIrreversiblePly = int16_t(board.ply + 1);
    board.fiftyMoveStart = int16_t(board.ply + 1);
}

inline void updatePawnAttacks(SideState& side) {
    side.pawnAttacks = pawnAttacksOfSet(side.pawns, side.colour);
}

// Drops a castling right of side when its rook leaves (or is taken on) square.
inline void loseRookRight(const BoardStack& stack, SideState& side, int square) {
    int colour = side.colour;
    if (square == stack.rookStartQueenSide[colour] && (side.castleRights & CastleQueenSide)) {
        side.castleRights &= ~CastleQueenSide;
        side.hashPart ^= castleKey[colour][1];
    } else if (square == stack.rookStartKingSide[colour] && (side.castleRights & CastleKingSide)) {
        side.castleRights &= ~CastleKingSide;
        side.hashPart ^= castleKey[colour][0];
    }
}

// Slider attacks from square of the piece code, on the current occupancy, as
// far as they can reach the enemy king: kTo is lineKind[king][square].
inline Bitboard checkingAttacks(const Board& board, int piece, int square, int kTo) {
    switch (piece) {
        case Bishop: return (kTo == 7 || kTo == 9) ? lineAttacksOf(board, square, kTo) : 0;
        case Rook: return (kTo == 1 || kTo == 8) ? lineAttacksOf(board, square, kTo) : 0;
        case Queen: return kTo ? lineAttacksOf(board, square, kTo) : 0;
        default: return knightAttacks[square];
    }
}

void makeCastling(Board& board, SideState& me, int from, int kind, int& check) {
    const BoardStack& stack = *board.stack;
    int colour = me.colour, base = colour == White ? 0 : 56;
    bool kingSide = kind == KindCastleKingSide;
    int rookFrom = kingSide ? stack.rookStartKingSide[colour] : stack.rookStartQueenSide[colour];
    int kingTo = base + (kingSide ? 6 : 2), rookTo = base + (kingSide ? 5 : 3);
    // No earlier position can recur, but castling is no capture or pawn move:
    // the fifty-move count runs on.
    board.lastIrreversiblePly = int16_t(board.ply + 1);
    me.king ^= bit(from) ^ bit(kingTo);
    Bitboard rookChange = bit(rookFrom) ^ bit(rookTo);
    me.rooks ^= rookChange;
    me.all ^= rookChange;
    me.kingSquare = kingTo;
    board.squares[rookFrom] = NoPiece;
    board.squares[rookTo] = Rook;
    board.squares[kingTo] = King;
    board.occupied = board.white.all | board.black.all;
    toggleRotated(board, rookFrom);
    toggleRotated(board, rookTo);
    me.hashPart ^= castleRightsKey(colour, me.castleRights);
    me.hashPart ^= zobrist[colour][from][King] ^ zobrist[colour][kingTo][King];
    me.hashPart ^= zobrist[colour][rookFrom][Rook] ^ zobrist[colour][rookTo][Rook];
    if (rookAttacksOf(board, rookTo) & board.opponent->king)
        check = check ? DoubleCheck : 1 + rookTo;
    me.straightSliders = me.queens | me.rooks;
    me.castleRights = 0;
}

}  // namespace

void makeMove(Board& board, Move move) {
    SideState& me = *board.toMove;
    SideState& op = *board.opponent;
    const int from = moveFrom(move), to = moveTo(move), kind = moveKind(move);
    const int colour = me.colour;
    const int enemyKing = op.kingSquare;
    const int kFrom = lineKind[enemyKing][from], kTo = lineKind[enemyKing][to];

    if (board.epFile) {
        op.hashPart ^= enPassantKey(board.epFile);
        board.epFile = 0;
    }

    // Discovered check: leaving the king's line may open it for a slider behind.
    int check = 0;
    if (kFrom != kTo && kFrom != 0) {
        Bitboard ray = lineAttacksOf(board, from, kFrom);
        Bitboard sliders = ray & slidersForLine(me, kFrom);
        if ((ray & op.king) && sliders) check = 1 + lowestSquare(sliders);
    }

    const Bitboard fromBit = bit(from), toBit = bit(to), fromTo = fromBit ^ toBit;
    board.squares[from] = NoPiece;
    toggleRotated(board, from);
    board.occupied ^= fromBit;  // rank look-ups from `to` must see from vacated
    me.all ^= fromTo;

    auto directCheck = [&](Bitboard attacks) {
        if (attacks & op.king) check = check ? DoubleCheck : 1 + to;
    };

    switch (kind) {
        case KindPawn:
            me.pawns ^= fromTo;
            me.hashPart ^= zobrist[colour][from][Pawn] ^ zobrist[colour][to][Pawn];
            board.pawnHashKey ^= zobrist[colour][from][Pawn] ^ zobrist[colour][to][Pawn];
            board.squares[to] = Pawn;
            resetFiftyMoveCount(board);
            directCheck(pawnAttackTable[colour][to]);
            updatePawnAttacks(me);
            break;
        case KindKnight:
        case KindBishop:
        case KindRook:
        case KindQueen:
            toggleMan(me, kind, fromTo);
            me.hashPart ^= zobrist[colour][from][kind] ^ zobrist[colour][to][kind];
            board.squares[to] = uint8_t(kind);
            if (kind == KindRook && me.castleRights) loseRookRight(*board.stack, me, from);
            directCheck(checkingAttacks(board, kind, to, kTo));
            break;
        case KindKing:
            me.king ^= fromTo;
            me.kingSquare = to;
            me.hashPart ^= zobrist[colour][from][King] ^ zobrist[colour][to][King];
            board.squares[to] = King;
            if (me.castleRights) {
                me.hashPart ^= castleRightsKey(colour, me.castleRights);
                me.castleRights = 0;
            }
            break;
        case KindDoubleStep: {
            me.pawns ^= fromTo;
            board.squares[to] = Pawn;
            int skipped = (from + to) / 2;
            // Only a capturable double step makes an en-passant key: transpositions
            // with and without a harmless double step share one position key.
            if (pawnAttackTable[colour][skipped] & op.pawns) {
                board.epFile = uint8_t(fileOf(to) + 1);
                me.hashPart ^= enPassantKey(board.epFile);
            }
            resetFiftyMoveCount(board);
            me.hashPart ^= zobrist[colour][from][Pawn] ^ zobrist[colour][to][Pawn];
            board.pawnHashKey ^= zobrist[colour][from][Pawn] ^ zobrist[colour][to][Pawn];
            if (pawnAttackTable[colour][to] & op.king) check = 1 + to;
            updatePawnAttacks(me);
            break;
        }
        case KindPromoteQueen:
        case KindPromoteKnight:
        case KindPromoteRook:
        case KindPromoteBishop: {
            int piece = promotionPiece(kind);
            me.pawns ^= fromBit;
            toggleMan(me, piece, toBit);
            me.material += pieceValue[piece] - pieceValue[Pawn];
            me.materialSignature += signatureIncrement[piece] - signatureIncrement[Pawn];
            board.squares[to] = uint8_t(piece);
            resetFiftyMoveCount(board);
            board.pawnHashKey ^= zobrist[colour][from][Pawn];
            me.hashPart ^= zobrist[colour][from][Pawn] ^ zobrist[colour][to][piece];
            board.occupied = board.white.all | board.black.all;
            directCheck(checkingAttacks(board, piece, to, kTo));
            updatePawnAttacks(me);
            break;
        }
        default:  // castling, king side or queen side
            makeCastling(board, me, from, kind, check);
            break;
    }

    const int captured = moveCaptureField(move);
    if (captured == 0) {
        toggleRotated(board, to);  // the destination becomes occupied
    } else if (captured != CaptureFieldEnPassant) {
        const int opColour = op.colour;
        toggleMan(op, captured, toBit);
        op.all ^= toBit;
        board.pieceCount--;
        resetFiftyMoveCount(board);
        op.material -= pieceValue[captured];
        op.materialSignature -= signatureIncrement[captured];
        op.hashPart ^= zobrist[opColour][to][captured];
        if (captured == Pawn) {
            board.pawnHashKey ^= zobrist[opColour][to][Pawn];
            updatePawnAttacks(op);
        } else if (captured == Rook && op.castleRights) {
            loseRookRight(*board.stack, op, to);
        }
    } else {
        const int opColour = op.colour;
        const int victim = colour == White ? to - 8 : to + 8;
        board.squares[victim] = NoPiece;
        board.pieceCount--;
        resetFiftyMoveCount(board);
        op.pawns ^= bit(victim);
        op.all ^= bit(victim);
        op.material -= pieceValue[Pawn];
        op.materialSignature -= signatureIncrement[Pawn];
        toggleRotated(board, to);
        toggleRotated(board, victim);
        board.occupied = board.white.all | board.black.all;
        board.pawnHashKey ^= zobrist[opColour][victim][Pawn];
        op.hashPart ^= zobrist[opColour][victim][Pawn];
        // The captured pawn's square may have shielded the king from a slider.
        int victimKind = lineKind[enemyKing][victim];
        if (victimKind) {
            Bitboard ray = lineAttacksOf(board, victim, victimKind);
            Bitboard sliders = ray & slidersForLine(me, victimKind);
            if ((ray & op.king) && sliders) check = check ? DoubleCheck : 1 + lowestSquare(sliders);
        }
        updatePawnAttacks(op);
    }

    board.occupied = board.white.all | board.black.all;
    me.pieces = me.all ^ me.pawns;
    op.pieces = op.all ^ op.pawns;
    board.empty = ~board.occupied;
    board.hashKey = uint64_t(op.colour) ^ me.hashPart ^ op.hashPart;
    board.checkInfo = uint8_t(check);
    board.stack->undo[board.ply].move = move;
    board.ply++;
    board.stack->makeCount++;
    board.toMove = &op;
    board.opponent = &me;
    if constexpr (BoardChecksEnabled) verifyBoardOrDie(board, "makeMove");
}

void unmakeMove(Board& board) {
    board.ply--;
    const UndoRecord& record = board.stack->undo[board.ply];
    const Move move = Move(record.move);
    board.occupied = record.occupied;
    board.empty = ~record.occupied;
    board.occupiedFiles = record.occupiedFiles;
    board.occupiedAntiDiagonals = record.occupiedAntiDiagonals;
    board.occupiedDiagonals = record.occupiedDiagonals;
    board.hashKey = record.hashKey;
    board.white.pawnAttacks = record.whitePawnAttacks;
    board.black.pawnAttacks = record.blackPawnAttacks;
    board.white.hashPart = record.whiteHashPart;
    board.black.hashPart = record.blackHashPart;
    board.pawnHashKey = record.pawnHashKey;
    board.lastIrreversiblePly = int16_t(record.lastIrreversiblePly);
    board.fiftyMoveStart = record.fiftyMoveStart;
    board.white.castleRights = record.whiteCastleRights;
    board.black.castleRights = record.blackCastleRights;
    board.epFile = record.epFile;
    board.checkInfo = record.checkInfo;
    SideState& me = *board.opponent;
    SideState& op = *board.toMove;
    board.toMove = &me;
    board.opponent = &op;

    const int from = moveFrom(move), to = moveTo(move), kind = moveKind(move);
    const Bitboard fromBit = bit(from), toBit = bit(to), fromTo = fromBit ^ toBit;
    switch (kind) {
        case KindPawn:
        case KindDoubleStep:
            me.pawns ^= fromTo;
            board.squares[from] = Pawn;
            break;
        case KindKnight:
        case KindBishop:
        case KindRook:
        case KindQueen:
            toggleMan(me, kind, fromTo);
            board.squares[from] = uint8_t(kind);
            break;
        case KindKing:
            me.king ^= fromTo;
            me.kingSquare = from;
            board.squares[from] = King;
            break;
        case KindPromoteQueen:
        case KindPromoteKnight:
        case KindPromoteRook:
        case KindPromoteBishop: {
            int piece = promotionPiece(kind);
            me.pawns ^= fromBit;
            toggleMan(me, piece, toBit);
            me.material -= pieceValue[piece] - pieceValue[Pawn];
            me.materialSignature -= signatureIncrement[piece] - signatureIncrement[Pawn];
            board.squares[from] = Pawn;
            break;
        }
        default: {  // castling
            const BoardStack& stack = *board.stack;
            int colour = me.colour, base = colour == White ? 0 : 56;
            bool kingSide = kind == KindCastleKingSide;
            int rookFrom =
                kingSide ? stack.rookStartKingSide[colour] : stack.rookStartQueenSide[colour];
            int rookTo = base + (kingSide ? 5 : 3);
            int kingStart = stack.kingStart[colour];
            me.kingSquare = kingStart;
            me.king ^= bit(kingStart) ^ toBit;
            Bitboard rookChange = bit(rookFrom) ^ bit(rookTo);
            me.rooks ^= rookChange;
            me.all ^= rookChange;
            board.squares[to] = NoPiece;
            board.squares[rookTo] = NoPiece;
            board.squares[kingStart] = King;
            board.squares[rookFrom] = Rook;
            me.straightSliders = me.queens | me.rooks;
            break;
        }
    }
    me.all ^= fromTo;

    const int captured = moveCaptureField(move);
    if (captured == 0) {
        if (!moveIsCastling(move)) board.squares[to] = NoPiece;
    } else if (captured != CaptureFieldEnPassant) {
        board.pieceCount++;
        toggleMan(op, captured, toBit);
        op.all ^= toBit;
        op.material += pieceValue[captured];
        op.materialSignature += signatureIncrement[captured];
        board.squares[to] = uint8_t(captured);
    } else {
        int victim = me.colour == White ? to - 8 : to + 8;
        board.squares[victim] = Pawn;
        board.squares[to] = NoPiece;
        op.pawns ^= bit(victim);
        op.all ^= bit(victim);
        op.material += pieceValue[Pawn];
        op.materialSignature += signatureIncrement[Pawn];
        board.pieceCount++;
    }
    me.pieces = me.all ^ me.pawns;
    op.pieces = op.all ^ op.pawns;
    if constexpr (BoardChecksEnabled) verifyBoardOrDie(board, "unmakeMove");
}

void makeNullMove(Board& board) {
    SideState& me = *board.toMove;
    SideState& op = *board.opponent;
    if (board.epFile) {
        op.hashPart ^= enPassantKey(board.epFile);
        board.epFile = 0;
    }
    board.hashKey = uint64_t(op.colour) ^ me.hashPart ^ op.hashPart;
    board.stack->undo[board.ply].move = 0;
    board.ply++;
    board.toMove = &op;
    board.opponent = &me;
    board.stack->nullMoveCount++;
}

void unmakeNullMove(Board& board) {
    board.ply--;
    const UndoRecord& record = board.stack->undo[board.ply];
    board.epFile = record.epFile;
    board.hashKey = record.hashKey;
    board.white.hashPart = record.whiteHashPart;
    board.black.hashPart = record.blackHashPart;
    std::swap(board.toMove, board.opponent);
}

void initBoardStack(BoardStack& stack) {
    std::memset(&stack, 0, sizeof stack);
    stack.undo = stack.undoStore + StackMargin;
    stack.moveLists[0] = stack.moveBuffer;
    for (int colour = Black; colour <= White; ++colour) {
        int base = colour == White ? 0 : 56;
        stack.kingStart[colour] = base + 4;
        stack.rookStartKingSide[colour] = base + 7;
        stack.rookStartQueenSide[colour] = base;
    }
}
