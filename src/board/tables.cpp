#include "board/tables.h"

#include <cstdlib>

#include "board/pawnrace.h"
#include "board/random.h"

Bitboard rankAttacks[64][64];
Bitboard fileAttacks[64][64];
Bitboard antiDiagAttacks[64][64];
Bitboard diagAttacks[64][64];
uint8_t rankShift[64];
uint8_t fileShift[64];
uint8_t antiDiagShift[64];
uint8_t diagShift[64];
Bitboard fileRotationMask[64];
Bitboard antiDiagRotationMask[64];
Bitboard diagRotationMask[64];
Bitboard knightAttacks[64];
Bitboard kingAttacks[64];
Bitboard pawnAttackTable[2][64];
int8_t direction[64][64];
uint8_t lineKind[64][64];
Bitboard between[64][64];
Bitboard rayFrom[64][8];
Bitboard fileAhead[64];
Bitboard fileBehind[64];
Bitboard frontSpan[2][64];
uint8_t lowestBitOfByte[256];
uint8_t highestBitOfByte[256];

namespace {

bool onBoard(int rank, int file) { return rank >= 0 && rank < 8 && file >= 0 && file < 8; }

// Set of the squares reached from (rank, file) by the given single steps.
Bitboard stepTargets(int square, const int (*steps)[2], int count) {
    Bitboard set = 0;
    for (int i = 0; i < count; ++i) {
        int r = rankOf(square) + steps[i][0], f = fileOf(square) + steps[i][1];
        if (onBoard(r, f)) set |= bit(8 * r + f);
    }
    return set;
}

// Walks from square along (dRank, dFile) both ways; a square stops the walk
// when its rotated bit is set in occupancy.
Bitboard slide(int square, int dRank, int dFile, Bitboard occupancy, int (*rotatedBit)(int)) {
    Bitboard set = 0;
    for (int sign = -1; sign <= 1; sign += 2) {
        int r = rankOf(square) + sign * dRank, f = fileOf(square) + sign * dFile;
        while (onBoard(r, f)) {
            int target = 8 * r + f;
            set |= bit(target);
            if (occupancy & bit(rotatedBit(target))) break;
            r += sign * dRank;
            f += sign * dFile;
        }
    }
    return set;
}

int rankRotatedBit(int square) { return square; }
int fileBit(int square) { return fileRotatedBit(square); }
int antiDiagBit(int square) { return antiDiagRotatedBit(square); }
int diagBit(int square) { return diagRotatedBit(square); }

void initShifts() {
    for (int s = 0; s < 64; ++s) {
        int r = rankOf(s), f = fileOf(s), k = r + f, d = r - f;
        rankShift[s] = uint8_t(8 * r + 1);
        fileShift[s] = uint8_t(8 * f + 1);
        antiDiagShift[s] = uint8_t((k <= 7 ? 8 * ((k + 1) % 8) + 1 : 9 * (k - 7) + 1) & 63);
        diagShift[s] = uint8_t((d >= 0 ? 8 * d + 1 : 7 * d + 65) & 63);
        fileRotationMask[s] = bit(fileRotatedBit(s));
        antiDiagRotationMask[s] = bit(antiDiagRotatedBit(s));
        diagRotationMask[s] = bit(diagRotatedBit(s));
    }
}

void initSliderTables() {
    for (int s = 0; s < 64; ++s)
        for (int index = 0; index < 64; ++index) {
            Bitboard i = Bitboard(index);
            rankAttacks[s][index] = slide(s, 0, 1, i << rankShift[s], rankRotatedBit);
            fileAttacks[s][index] = slide(s, 1, 0, i << fileShift[s], fileBit);
            antiDiagAttacks[s][index] = slide(s, 1, -1, i << antiDiagShift[s], antiDiagBit);
            diagAttacks[s][index] = slide(s, 1, 1, i << diagShift[s], diagBit);
        }
}

void initLeaperTables() {
    static const int knightSteps[8][2] = {{1, 2},   {2, 1},   {2, -1}, {1, -2},
                                          {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    static const int kingSteps[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                        {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    static const int whitePawnSteps[2][2] = {{1, -1}, {1, 1}};
    static const int blackPawnSteps[2][2] = {{-1, -1}, {-1, 1}};
    for (int s = 0; s < 64; ++s) {
        knightAttacks[s] = stepTargets(s, knightSteps, 8);
        kingAttacks[s] = stepTargets(s, kingSteps, 8);
        pawnAttackTable[White][s] = stepTargets(s, whitePawnSteps, 2);
        pawnAttackTable[Black][s] = stepTargets(s, blackPawnSteps, 2);
    }
}

void initLineTables() {
    static const int steps[8][2] = {{0, 1},  {1, 1},   {1, 0},  {1, -1},
                                    {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
    for (int s = 0; s < 64; ++s)
        for (const auto& step : steps) {
            Bitboard passed = 0;
            int r = rankOf(s) + step[0], f = fileOf(s) + step[1];
            int delta = 8 * step[0] + step[1];
            for (; onBoard(r, f); r += step[0], f += step[1]) {
                int t = 8 * r + f;
                direction[s][t] = int8_t(delta);
                lineKind[s][t] = uint8_t(std::abs(delta));
                between[s][t] = passed;
                passed |= bit(t);
            }
            rayFrom[s][raySlot(delta)] = passed;
        }
    for (int s = 0; s < 64; ++s) {
        int f = fileOf(s);
        Bitboard files = FileA << f;
        if (f > 0) files |= FileA << (f - 1);
        if (f < 7) files |= FileA << (f + 1);
        Bitboard above = rankOf(s) == 7 ? 0 : ~Bitboard(0) << (8 * (rankOf(s) + 1));
        Bitboard below = (Bitboard(1) << (8 * rankOf(s))) - 1;
        fileAhead[s] = above & (FileA << f);
        fileBehind[s] = below & (FileA << f);
        frontSpan[White][s] = above & files;
        frontSpan[Black][s] = below & files;
    }
    for (int value = 1; value < 256; ++value) {
        int low = 0, high = 7;
        while (!(value & (1 << low))) ++low;
        while (!(value & (1 << high))) --high;
        lowestBitOfByte[value] = uint8_t(low + 1);
        highestBitOfByte[value] = uint8_t(high + 1);
    }
}

}  // namespace

void initBoardTables(uint32_t keySeed, uint32_t randomSeed) {
    initShifts();
    initSliderTables();
    initLeaperTables();
    initLineTables();
    buildPawnRace();
    initZobristKeys(keySeed, randomSeed);
}
