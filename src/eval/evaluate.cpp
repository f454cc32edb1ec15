#include "eval/evaluate.h"

#include "eval/endgame.h"
#include "eval/king.h"
#include "eval/material.h"
#include "eval/passers.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "eval/thin.h"

int32_t rootPieceCount = 0;

int32_t evaluate(Board&, int32_t, int32_t) { return 0; }
