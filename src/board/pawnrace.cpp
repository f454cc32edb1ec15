#include "board/pawnrace.h"

#include <algorithm>
#include <cstdlib>

#include "board/tables.h"

uint8_t pawnRace[48][64];

namespace {

int distance(int a, int b) {
    return std::max(std::abs(rankOf(a) - rankOf(b)), std::abs(fileOf(a) - fileOf(b)));
}

// The set and every square one king step from it.
Bitboard kingSpread(Bitboard set) {
    Bitboard row = set | ((set << 1) & ~FileA) | ((set >> 1) & ~FileH);
    return row | (row << 8) | (row >> 8);
}

// Flood fill on an empty board: true when the king's reach never meets the
// path of a white pawn (its square and every square ahead of it) in time.
bool pawnOutruns(int pawn, int king, bool kingFirst) {
    Bitboard path = bit(pawn) | fileAhead[pawn];
    Bitboard reach = bit(king);
    if (kingFirst) {
        reach = kingSpread(reach);
        if (reach & path) return false;
    }
    // The path lies on one file: its lowest bit is its lowest rank.
    path &= path - 1;
    if (rankOf(pawn) == 1) path &= path - 1;  // the double step
    while (path) {
        Bitboard grown = kingSpread(reach);
        if (grown & path) return false;
        if (grown == reach) return true;
        reach = grown;
        path &= path - 1;
    }
    return true;
}

// Bits 0, 1, 4 and 5 for a white pawn on pawn and the black king on king.
int whitePawnRace(int pawn, int king) {
    int t = rankOf(pawn) == 1 ? 5 : 7 - rankOf(pawn);
    int d = distance(king, 56 + fileOf(pawn));
    int bits = 0;
    if (!(kingAttacks[pawn] & bit(king)) && t < d - 1) bits |= 1;
    if (t < d) bits |= 2;
    if (pawnOutruns(pawn, king, true)) bits |= 16;
    if (pawnOutruns(pawn, king, false)) bits |= 32;
    return bits;
}

}  // namespace

void buildPawnRace() {
    for (int pawn = 8; pawn < 56; ++pawn)
        for (int king = 0; king < 64; ++king) {
            // A black pawn is the white pawn of the board mirrored top to bottom,
            // with the side to move exchanged: bit 0 -> 3, 1 -> 2, 4 -> 7, 5 -> 6.
            int mirror = whitePawnRace(pawn ^ 56, king ^ 56);
            int black = (mirror & 0x11) << 3 | (mirror & 0x22) << 1;
            pawnRace[pawn - 8][king] = uint8_t(whitePawnRace(pawn, king) | black);
        }
}
