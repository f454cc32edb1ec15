#include "board/pawnrace.h"

uint8_t pawnRace[48][64];

void buildPawnRace() {}
