// Leaf counts of the legal move tree: the proof of the move machinery.
#pragma once

#include <cstdint>

#include "board/types.h"

// A way out of a long count: asked every so many nodes whether to stop.
struct PerftInterrupt {
    bool (*stopNow)(void* context);
    void* context;
    uint32_t countdown;  // nodes until the next question
    bool stopped;        // the count was cut short and is incomplete
};

// Leaves of the legal move tree of the given depth below board, whose moves
// are listed in lists list, list + 1, ...; depth 1 counts the generated moves
// without making them. The caller keeps ply + depth within the undo array.
// With an interrupt the count may stop early: then interrupt->stopped is set
// and the result counts only the leaves seen.
uint64_t perft(Board& board, int depth, int list = 0, PerftInterrupt* interrupt = nullptr);
