// Move text: coordinates out.
#pragma once

#include "board/types.h"

// Writes the move as from and to squares plus a lower-case promotion letter
// ("e2e4", "e7e8q"); castling as the king's move ("e1g1"). text holds 6 bytes.
void formatMoveCoordinates(Move move, char* text);
