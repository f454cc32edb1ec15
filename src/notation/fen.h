// Positions from FEN text: placement, side to move, castling rights in the
// classical letters (KQkq) or the rook-file letters of fischerandom (HAha),
// the en-passant square, the half-move clock and the move number. Runs of
// blanks separate the fields; missing trailing fields take their defaults.
#pragma once

#include "board/types.h"

struct BoardStack;

constexpr int FenMessageSize = 64;

// Rebuilds board from text, with the castling geometry in stack. Returns 1 for
// a valid position; otherwise 0 with the reason in message ("no one to move!",
// "too many white pawns!", "bad en-passant square!", ...). A rejected board
// holds what was parsed.
int parseFen(Board& board, BoardStack& stack, const char* text, char* message);

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
