// The generator behind the position keys, and the keys' fixed properties.
#include "board/random.h"

#include <algorithm>
#include <random>
#include <sstream>

#include "test_support.h"

// Our MT19937 seeded by the 1998 rule must continue exactly like the standard
// library's engine started from the same state.
TEST(Random, Mt19937MatchesTheStandardEngineFromTheSameState) {
    for (uint32_t seed : {4357u, 12399237u, 1u}) {
        Mt19937 ours;
        mtSeed(ours, seed);
        std::stringstream state;
        for (uint32_t word : ours.state) state << word << ' ';
        std::mt19937 reference;
        state >> reference;
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(mtNext(ours), reference()) << seed << " " << i;
    }
    // Seed 0 stands for 4357, and an unseeded generator seeds itself with 4357.
    Mt19937 zero, fixed, unseeded = {{}, 625};
    mtSeed(zero, 0);
    mtSeed(fixed, 4357);
    for (int i = 0; i < 10; ++i) {
        uint32_t expected = mtNext(fixed);
        EXPECT_EQ(mtNext(zero), expected);
        EXPECT_EQ(mtNext(unseeded), expected);
    }
}

TEST(Random, KeysAreDistinctWithBitZeroClear) {
    std::vector<uint64_t> keys;
    for (int colour = 0; colour < 2; ++colour)
        for (int square = 0; square < 64; ++square)
            for (int slot = 1; slot < 7; ++slot) keys.push_back(zobrist[colour][square][slot]);
    for (int file = 1; file <= 8; ++file) keys.push_back(enPassantKey(file));
    for (auto& pair : castleKey)
        for (uint64_t key : pair) keys.push_back(key);
    for (uint64_t key : keys) EXPECT_EQ(key & 1, 0u);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
    // The first key comes from the fixed seed: five outputs folded by 15-bit shifts.
    Mt19937 mt;
    mtSeed(mt, 12399237);
    uint64_t expected = 0;
    for (int part = 0; part < 5; ++part) expected ^= uint64_t(mtNext(mt)) << (15 * part);
    EXPECT_EQ(zobrist[0][0][0], expected & ~1ull);
}
