#include "board/random.h"

#include <cstdlib>

uint64_t zobrist[2][64][7];

namespace {

constexpr int StateSize = 624;
constexpr int ShiftSize = 397;
constexpr uint32_t MatrixA = 0x9908B0DFu;
constexpr uint32_t UpperMask = 0x80000000u;
constexpr uint32_t LowerMask = 0x7FFFFFFFu;

Mt19937 generator = {{}, StateSize + 1};

}  // namespace

void mtSeed(Mt19937& mt, uint32_t seed) {
    if (seed == 0) seed = 4357;
    mt.state[0] = seed;
    for (int i = 1; i < StateSize; ++i) mt.state[i] = 69069u * mt.state[i - 1];
    mt.index = StateSize;
}

uint32_t mtNext(Mt19937& mt) {
    if (mt.index >= StateSize) {
        if (mt.index == StateSize + 1) mtSeed(mt, 4357);
        int i = 0;
        auto twist = [&](int a, int b, int c) {
            uint32_t y = (mt.state[a] & UpperMask) | (mt.state[b] & LowerMask);
            mt.state[a] = mt.state[c] ^ (y >> 1) ^ ((y & 1) ? MatrixA : 0);
        };
        for (; i < StateSize - ShiftSize; ++i) twist(i, i + 1, i + ShiftSize);
        for (; i < StateSize - 1; ++i) twist(i, i + 1, i + ShiftSize - StateSize);
        twist(StateSize - 1, 0, ShiftSize - 1);
        mt.index = 0;
    }
    uint32_t y = mt.state[mt.index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

void randomSeed(uint32_t seed) { mtSeed(generator, seed); }

uint32_t randomNext() { return mtNext(generator); }

void initZobristKeys(uint32_t keySeed, uint32_t randomSeedValue) {
    randomSeed(keySeed);
    // Square varies fastest, then slot, then colour: the draw order fixes the keys.
    for (int colour = 0; colour < 2; ++colour)
        for (int slot = 0; slot < 7; ++slot)
            for (int square = 0; square < 64; ++square) {
                uint64_t key = 0;
                for (int part = 0; part < 5; ++part) key ^= uint64_t(randomNext()) << (15 * part);
                zobrist[colour][square][slot] = key & ~uint64_t(1);
            }
    randomSeed(randomSeedValue);
    std::srand(randomSeedValue);
}
