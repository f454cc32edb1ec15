// MT19937 (Matsumoto and Nishimura, 1998 seeding) and the Zobrist keys drawn
// from it. The key seed is fixed, so stored keys (table, book) stay valid
// between runs.
#pragma once

#include <cstdint>

struct Mt19937 {
    uint32_t state[624];
    int index;  // 625: not seeded yet
};

void randomSeed(uint32_t seed);  // 0 stands for 4357
uint32_t randomNext();           // seeds itself with 4357 on first use

void mtSeed(Mt19937& mt, uint32_t seed);
uint32_t mtNext(Mt19937& mt);

// zobrist[colour][square][slot]: slots 1..6 the man of that piece code; slot 0 of
// colour 0 at squares 1..8 the en-passant key of file square - 1. Bit 0 of every
// key is clear: it is the side-to-move bit of Board::hashKey.
extern uint64_t zobrist[2][64][7];

inline uint64_t enPassantKey(int epFile) { return zobrist[0][epFile][0]; }

// Castling keys are fixed constants, indexed [colour][right bit - 1].
constexpr uint64_t castleKey[2][2] = {
    {0x387CF5A892865FDCull, 0x73C35D86AF182B94ull},  // black king side, queen side
    {0x29481E5E0AF1F352ull, 0xC05B65323A9A73F8ull},  // white king side, queen side
};

// Key of every right held in a castleRights value.
inline uint64_t castleRightsKey(int colour, int rights) {
    uint64_t key = 0;
    if (rights & 1) key ^= castleKey[colour][0];
    if (rights & 2) key ^= castleKey[colour][1];
    return key;
}

// Fills zobrist from keySeed, then reseeds the generator and the runtime's rand
// with randomSeed.
void initZobristKeys(uint32_t keySeed, uint32_t randomSeedValue);
