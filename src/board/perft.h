// Leaf counts of the legal move tree: the proof of the move machinery.
#pragma once

#include <cstdint>

#include "board/types.h"

// Leaves of the legal move tree of the given depth below board, whose moves
// are listed in lists list, list + 1, ...; depth 1 counts the generated moves
// without making them. The caller keeps ply + depth within the undo array.
uint64_t perft(Board& board, int depth, int list = 0);
