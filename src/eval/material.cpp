#include "eval/material.h"

int32_t pieceValue[7] = {0, 100, 395, 420, 642, 1310, 0};
