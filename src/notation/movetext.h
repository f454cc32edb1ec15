// Move text in and out: SAN for thinking lines and stat01, coordinates and
// castling text from the GUI, the engine's "move" line.
#pragma once

#include "board/types.h"

struct Engine;

// SAN piece letters by piece code; index 0 is a blank. Option pv_san_piece
// replaces letters 1..6.
extern char pieceLetters[8];

// Writes the SAN of move (played from board) followed by one blank; returns
// the number of characters written. text holds at least 16 bytes.
int formatMoveSan(Board& board, Move move, char* text);

// Matches text ("e2e4", "e7e8q", "e7e8=Q", "O-O", "0-0-0") against the legal
// moves and plays the match through playMoveIfValid. Returns 1 when played.
int parseUserMove(Engine& engine, const char* text);

// The one door for a move from outside into the game: validates, plays, and
// runs the game-end detection. Returns 1 when played.
int playMoveIfValid(Engine& engine, Move move);

// Prints "move e2e4", "move e7e8q", "move O-O" or "move O-O-O"; nothing when no
// game is in progress.
void sendEngineMove(Engine& engine, Move move);

// Writes the move as from and to squares plus a lower-case promotion letter
// ("e2e4", "e7e8q"); castling as the king's move ("e1g1"). text holds 6 bytes.
void formatMoveCoordinates(Move move, char* text);
