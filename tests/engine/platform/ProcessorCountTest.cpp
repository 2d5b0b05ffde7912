#include "engine/platform/ProcessorCount.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

TEST(ProcessorCount, HyperThreadedCoresCountOnceOthersCountTheirProcessors) {
    std::vector<ProcessorCoreRecord> hyper;
    for (int core = 0; core < 4; ++core) hyper.push_back({1, (u64(1) << core) | (u64(1) << (core + 4))});
    EXPECT_EQ(CountLogicalProcessors(hyper), 4u);
    std::vector<ProcessorCoreRecord> plain;
    for (int core = 0; core < 4; ++core) plain.push_back({0, u64(1) << core});
    EXPECT_EQ(CountLogicalProcessors(plain), 4u);
    EXPECT_EQ(CountLogicalProcessors({{0, 0x3}, {0, u64(1) << 40}}), 3u);
    EXPECT_EQ(CountLogicalProcessors({}), 0u);
}

TEST(ProcessorCount, CountBitsAndTheCachedSystemCount) {
    EXPECT_EQ(CountBits(0), 0u);
    EXPECT_EQ(CountBits(0xFFFFFFFFu), 32u);
    EXPECT_EQ(CountBits(0x80000001u), 2u);
    u32 first = GetLogicalProcessorCount();
    EXPECT_GE(first, 1u);
    EXPECT_EQ(GetLogicalProcessorCount(), first);
}

}  // namespace
}  // namespace Ostrel
