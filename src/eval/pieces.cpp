#include "eval/pieces.h"

int32_t evaluateKnights(const Board&, SideState&, const SideState&) { return 0; }
int32_t evaluateBishops(const Board&, SideState&, const SideState&) { return 0; }
int32_t evaluateRooks(const Board&, SideState&, const SideState&, const PawnHashEntry&) {
    return 0;
}
int32_t evaluateQueens(const Board&, SideState&, const SideState&) { return 0; }
int32_t evaluateControl(const SideState&, const SideState&) { return 0; }
int32_t evaluateDevelopment(const Board&) { return 0; }
int32_t materialImbalance(const Board&) { return 0; }
