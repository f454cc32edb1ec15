// The position keys: distinct, bit zero (the side to move's) clear, and fixed,
// since books written by earlier versions hold them. The keys draw thousands
// of outputs from the generator, so the pinned ones check the generator too.
#include "board/random.h"

#include <algorithm>

#include "test_support.h"

TEST(Random, KeysAreDistinctWithBitZeroClearAndFixed) {
    std::vector<uint64_t> keys;
    for (auto& colour : zobrist)
        for (auto& square : colour) keys.insert(keys.end(), square + 1, square + 7);
    for (int file = 1; file <= 8; ++file) keys.push_back(enPassantKey(file));
    for (auto& pair : castleKey) keys.insert(keys.end(), pair, pair + 2);
    for (uint64_t key : keys) EXPECT_EQ(key & 1, 0u);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
    EXPECT_EQ(boardFromFen(StartFen).hashKey, 0x2919D42EED594B63ull);
    EXPECT_EQ(boardFromFen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1").hashKey, 0xC6829527DDCF4DFDull);
    EXPECT_EQ(zobrist[1][63][6], 0x0FC64C03C4355316ull);  // the last key drawn
}
