#include "search/thinking.h"

#include "driver/engine.h"

void printThinking(Engine&, Board&, uint64_t, int, int) {}
void prepareSearch(Engine&, Board&) {}
void pvHashExtract(PrincipalVariation&, Board&) {}
void pvText(const PrincipalVariation&, Board&, char* buffer) { buffer[0] = '\0'; }
int moveTextLong(Move, char* buffer) {
    buffer[0] = '\0';
    return 0;
}
