// The generator behind the position keys (stored keys in books must stay
// valid), and the keys' fixed properties.
#include "board/random.h"

#include <algorithm>
#include <random>
#include <sstream>

#include "test_support.h"

// Seeded by the 1998 rule, our MT19937 must continue exactly like the standard
// library's engine started from the same state.
TEST(Random, Mt19937MatchesTheStandardEngine) {
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
    Mt19937 fixed, zero, unseeded = {{}, 625};
    mtSeed(fixed, 4357);
    mtSeed(zero, 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(mtNext(zero), mtNext(fixed)) << i;
    mtSeed(fixed, 4357);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(mtNext(unseeded), mtNext(fixed)) << i;
}

TEST(Random, KeysAreDistinctWithBitZeroClear) {
    std::vector<uint64_t> keys;
    for (auto& colour : zobrist)
        for (auto& square : colour) keys.insert(keys.end(), square + 1, square + 7);
    for (int file = 1; file <= 8; ++file) keys.push_back(enPassantKey(file));
    for (auto& pair : castleKey) keys.insert(keys.end(), pair, pair + 2);
    for (uint64_t key : keys) EXPECT_EQ(key & 1, 0u);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
    // Keys come from the fixed seed, five outputs folded by 15-bit shifts.
    Mt19937 mt;
    mtSeed(mt, 12399237);
    uint64_t expected = 0;
    for (int part = 0; part < 5; ++part) expected ^= uint64_t(mtNext(mt)) << (15 * part);
    EXPECT_EQ(zobrist[0][0][0], expected & ~1ull);
}
