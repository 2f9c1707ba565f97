// Host memory: sizes that overflow are refused, and cleared memory is zero even where
// the host hands out a block it had kept.
#include <gtest/gtest.h>

#include <cstdint>

#include "c4d.h"

TEST(HostMemory, OverflowingSizesAreRefused) {
    EXPECT_EQ(NewMem(Vector, SIZE_MAX / 8), nullptr);
    EXPECT_EQ(NewMemClear(Int32, SIZE_MAX / 2), nullptr);
}

TEST(HostMemory, ClearedBlocksAreZeroAfterReuse) {
    constexpr size_t count = 3 << 20;  // large enough for the host to keep
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Int32* block = NewMemClear(Int32, count);
        ASSERT_NE(block, nullptr);
        size_t nonZero = 0;
        for (size_t i = 0; i < count; ++i) nonZero += block[i] != 0;
        EXPECT_EQ(nonZero, 0u);
        for (size_t i = 0; i < count; ++i) block[i] = Int32(i) | 1;
        DeleteMem(block);
        EXPECT_EQ(block, nullptr);
    }
}
