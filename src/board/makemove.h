// Playing and taking back moves. makeMove keeps every incremental Board field
// exact, including the check state of the side that moves next.
#pragma once

#include "board/check.h"
#include "board/random.h"
#include "board/types.h"

// Saves the undo record at index ply (all but its move). Call before every
// makeMove or makeNullMove; ply must stay below the undo array's capacity.
inline void saveUndo(Board& board) {
    if constexpr (BoardChecksEnabled) verifyUndoRoom(board);
    UndoRecord& record = board.stack->undo[board.ply];
    record.occupied = board.occupied;
    record.occupiedFiles = board.occupiedFiles;
    record.occupiedAntiDiagonals = board.occupiedAntiDiagonals;
    record.occupiedDiagonals = board.occupiedDiagonals;
    record.whitePawnAttacks = board.white.pawnAttacks;
    record.blackPawnAttacks = board.black.pawnAttacks;
    record.hashKey = board.hashKey;
    record.pawnHashKey = board.pawnHashKey;
    record.blackHashPart = board.black.hashPart;
    record.whiteHashPart = board.white.hashPart;
    record.lastIrreversiblePly = uint16_t(board.lastIrreversiblePly);
    record.fiftyMoveStart = board.fiftyMoveStart;
    record.whiteCastleRights = board.white.castleRights;
    record.blackCastleRights = board.black.castleRights;
    record.epFile = board.epFile;
    record.checkInfo = board.checkInfo;
}

void makeMove(Board& board, Move move);
void unmakeMove(Board& board);
void makeNullMove(Board& board);
void unmakeNullMove(Board& board);

// The key after a move, foreseen from the moving and the captured man alone:
// exact for most moves, and only used to fetch the table's bucket early.
inline uint64_t foreseenKey(const Board& board, Move move) {
    const int colour = board.toMove->colour, piece = movePiece(move);
    uint64_t key = board.hashKey ^ 1 ^ zobrist[colour][moveFrom(move)][piece] ^
                   zobrist[colour][moveTo(move)][piece];
    if (const int captured = moveCaptured(move)) key ^= zobrist[colour ^ 1][moveTo(move)][captured];
    return key;
}

// Empty lists, undo records from index 0, the standard castling squares.
void initBoardStack(BoardStack& stack);

// Room for one more move in the undo array.
inline bool undoHasRoom(const Board& board) { return board.ply < MaxGame; }
