#include "eval/pawns.h"

#include "search/searchstack.h"

int16_t pawnFlagTable[8][512];

void buildPawnFlagTable() {}

PawnHashEntry& probePawnStructure(Board& board) {
    PawnHashEntry& entry = board.stack->pawnTable[0];
    board.evalScratch = &entry;
    return entry;
}
