// The five move generators and the two move validators. Generators write the
// low half (the Move) of each entry of one move list of the board's search
// stack, in a fixed order, and return the count; they never score or sort.
#pragma once

#include "board/types.h"

// All legal moves into list 0 (evasions when in check).
int generateMoves(Board& board);
// The same into any list: what perft and the search's root use.
int generateLegalMoves(Board& board, int list);
// All legal moves of a side in check.
int generateEvasions(Board& board, int list);
// Pseudo-legal captures and queen promotions (pins not tested).
int generateCaptures(Board& board, int list);
// Pseudo-legal quiet moves, castling and knight promotions: the complement of
// generateCaptures for the staged picker. King moves and castling are legal.
int generateQuietMoves(Board& board, int list);
// generateCaptures plus quiet piece moves that give direct check.
int generateCapturesAndChecks(Board& board, int list);

// True when a Move from outside the generators (table, book, user) can be
// played here. In check it does not test that the move answers the check.
bool validateMove(Board& board, Move move);
// validateMove, and when in check also that the move leaves the king safe.
bool isMoveLegal(Board& board, Move move);
