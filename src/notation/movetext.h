// Move text in and out: SAN for thinking lines and stat01, coordinates and
// castling text from the GUI.
#pragma once

#include "board/types.h"

// SAN piece letters by piece code; index 0 is a blank. Option pv_san_piece
// replaces letters 1..6.
extern char pieceLetters[8];

// Writes the SAN of move (played from board) followed by one blank; returns
// the number of characters written. text holds at least 16 bytes.
int formatMoveSan(Board& board, Move move, char* text);

// The generated move that text names ("e2e4", "e7e8q", "e7e8=Q", "O-O",
// "0-0-0"), or 0 when it names none. Generated moves are pseudo-legal: the
// caller checks legality before it plays one.
Move parseMoveText(Board& board, const char* text);

// Writes the move as from and to squares plus a lower-case promotion letter
// ("e2e4", "e7e8q"); castling as the king's move ("e1g1"). text holds 6 bytes.
void formatMoveCoordinates(Move move, char* text);
