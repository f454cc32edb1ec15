// The large table block: page-aligned and writable end to end at sizes that
// do and do not fill whole large pages; the Windows build runs this under wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/platform.h"

TEST(LargeBlock, AlignedAndWritable) {
    for (size_t bytes : {size_t(0), size_t(48), size_t(3) << 20, (size_t(24) << 20) + 48}) {
        auto* block = static_cast<unsigned char*>(allocateLargeBlock(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4096, 0u) << bytes;
        if (bytes) {
            std::memset(block, 0xA5, bytes);
            EXPECT_EQ(block[bytes - 1], 0xA5) << bytes;
        }
        freeLargeBlock(block);
    }
    freeLargeBlock(nullptr);
}
