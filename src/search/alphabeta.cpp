#include "search/alphabeta.h"

int32_t alphaBeta(Board&, int, int, int32_t alpha, int32_t) { return alpha; }
bool quietHorizon(const Board&, Move) { return true; }
