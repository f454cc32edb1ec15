#include "notation/movetext.h"

void formatMoveCoordinates(Move move, char* text) {
    static const char promotionLetter[7] = {0, 0, 'n', 'b', 'r', 'q', 0};
    int from = moveFrom(move), to = moveTo(move);
    char* out = text;
    *out++ = char('a' + fileOf(from));
    *out++ = char('1' + rankOf(from));
    *out++ = char('a' + fileOf(to));
    *out++ = char('1' + rankOf(to));
    if (int piece = movePromotion(move)) *out++ = promotionLetter[piece];
    *out = '\0';
}

char pieceLetters[8] = " PNBRQK";

int formatMoveSan(Board&, Move, char* text) {
    text[0] = '\0';
    return 0;
}
int parseUserMove(Engine&, const char*) { return 0; }
int playMoveIfValid(Engine&, Move) { return 0; }
void sendEngineMove(Engine&, Move) {}
