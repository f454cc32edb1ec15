// Move text in and out: SAN for thinking lines and stat01, coordinates and
// castling text from the GUI.
#pragma once

#include "board/types.h"
#include "platform/platform.h"

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

// A move read from SAN, or why the text names none: error is one of
// "not a move", "illegal move" and "ambiguous move", null when move is set.
struct SanReading {
    Move move;
    const char* error;
};

// The legal move that SAN text names: piece letters KQRBN (P allowed for a
// pawn), disambiguation by file, rank or both, captures with or without "x"
// (or as "-" between two squares), promotions with or without "=", castling
// as "O-O" or "0-0" (in fischerandom too), check and mate marks and
// annotations such as "!?" ignored. The text ends at a blank or its end.
SanReading readMoveSan(Board& board, const char* text);

// Writes the move as from and to squares plus a lower-case promotion letter
// ("e2e4", "e7e8q"); castling as the king's move ("e1g1"). text holds 6 bytes.
void formatMoveCoordinates(Move move, char* text);

// Size of the buffers that hold a variation's text or a thinking line.
constexpr int PvTextSize = 4096;
// Moves of a variation that its text shows at most.
constexpr int VariationTextMoves = 63;

// The variation played from board in SAN, with move numbers and check and
// mate marks ("1...e5 2.Nf3 Nc6 3.Bb5+ "); buffer holds PvTextSize bytes.
// The moves are made on board and taken back; the text ends before the first
// move that is not legal.
void variationText(Board& board, const Move* moves, int count, char* buffer);

// Long algebraic text of a move followed by a blank ("Ng1f3 ", "e7xd8Q ");
// returns the length before the blank. buffer holds at least 10 bytes.
int moveTextLong(Move move, char* buffer);

// Appends formatted text at length, never past size; returns the new length.
int appendText(char* buffer, int size, int length, const char* format, ...) VOSTREL_PRINTF(4, 5);
