#include "engine/core/HandleTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using Ostrel::HandleTable;
using Ostrel::u32;

namespace {

int g_items[64];

std::vector<u32> SlotsOf(const std::vector<u32>& handles) {
    std::vector<u32> slots;
    for (u32 h : handles) slots.push_back(HandleTable::SlotOf(h));
    return slots;
}

}  // namespace

TEST(HandleTable, HandsOutFrontThenBackAndGrowsByDoubling) {
    HandleTable table(10);
    std::vector<u32> handles;
    for (int i = 0; i < 12; ++i) handles.push_back(table.Add(&g_items[i]));
    EXPECT_EQ(handles[0], 1u);
    EXPECT_EQ(handles[1], 589825u);  // slot 9, generation 1
    EXPECT_EQ(SlotsOf(handles), (std::vector<u32>{0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 10, 19}));
    EXPECT_EQ(table.GetCapacity(), 20u);
    EXPECT_EQ(table.GetCount(), 12u);
    void* out = nullptr;
    ASSERT_TRUE(table.Find(handles[11], out));
    EXPECT_EQ(out, &g_items[11]);
}

TEST(HandleTable, ReleasedSlotGoesToTheBackAndGetsANewGeneration) {
    HandleTable table(4);
    const u32 a = table.Add(&g_items[0]);  // slot 0; free list now 3, 1, 2
    EXPECT_EQ(table.Release(a, nullptr), &g_items[0]);
    // Free list 3, 1, 2, 0: take 3, then 0 (moved from the back), 2, 1.
    std::vector<u32> handles;
    for (int i = 0; i < 4; ++i) handles.push_back(table.Add(&g_items[i]));
    EXPECT_EQ(SlotsOf(handles), (std::vector<u32>{3, 0, 2, 1}));
    EXPECT_EQ(HandleTable::GenerationOf(handles[1]), 2u);
    void* out = nullptr;
    EXPECT_FALSE(table.Find(a, out)) << "stale handle after reuse";
}

TEST(HandleTable, ReleasedButNotReusedHandleIsFoundWithNull) {
    HandleTable table(2);
    const u32 a = table.Add(&g_items[0]);
    table.Release(a, nullptr);
    void* out = &g_items[5];
    ASSERT_TRUE(table.Find(a, out));
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(table.GetCount(), 0u);
}

TEST(HandleTable, RejectsZeroOutOfRangeAndDoubleRelease) {
    HandleTable table(2);
    void* out = nullptr;
    EXPECT_FALSE(table.Find(0, out));
    EXPECT_FALSE(table.Find((5u << 16) | 1u, out));
    const u32 a = table.Add(&g_items[0]);
    table.Release(a, nullptr);
    EXPECT_EQ(table.Release(a, nullptr), nullptr);
    // Had the slot entered the free list twice, two live handles would share it.
    const u32 b = table.Add(&g_items[1]);
    const u32 c = table.Add(&g_items[2]);
    EXPECT_NE(HandleTable::SlotOf(b), HandleTable::SlotOf(c));
    EXPECT_EQ(table.GetCount(), 2u);
}

TEST(HandleTable, GenerationWrapsFrom65535ToOne) {
    HandleTable table(1);
    u32 handle = 0;
    for (u32 i = 0; i < 65535; ++i) {
        handle = table.Add(&g_items[0]);
        table.Release(handle, nullptr);
    }
    EXPECT_EQ(HandleTable::GenerationOf(handle), 65535u);
    handle = table.Add(&g_items[0]);
    EXPECT_EQ(handle, 1u) << "slot 0, generation 1 again, never 0";
}

TEST(HandleTable, ResetFreesEverySlotInAscendingOrderKeepingGenerations) {
    HandleTable table(3);
    const u32 a = table.Add(&g_items[0]);
    table.Add(&g_items[1]);
    table.Reset(nullptr);
    EXPECT_EQ(table.GetCount(), 0u);
    void* out = &g_items[0];
    ASSERT_TRUE(table.Find(a, out));
    EXPECT_EQ(out, nullptr);
    // Free list 0, 1, 2: take 0, then 2 moves to the front.
    const u32 b = table.Add(&g_items[2]);
    const u32 c = table.Add(&g_items[3]);
    EXPECT_EQ(b, (0u << 16) | 2u);
    EXPECT_EQ(HandleTable::SlotOf(c), 2u);
}

TEST(HandleTable, RefusesPastTheSlotsTheHandleFormatAddresses) {
    HandleTable table(50);
    std::vector<u32> handles;
    for (u32 i = 0; i < HandleTable::kMaxSlots; ++i) handles.push_back(table.Add(&g_items[i % 64]));
    EXPECT_EQ(table.GetCapacity(), HandleTable::kMaxSlots);
    EXPECT_EQ(table.Add(&g_items[0]), 0u);
    EXPECT_EQ(table.GetCount(), HandleTable::kMaxSlots);
    // Every handle still reaches its own slot: no aliasing.
    void* out = nullptr;
    ASSERT_TRUE(table.Find(handles.back(), out));
    EXPECT_EQ(out, &g_items[(HandleTable::kMaxSlots - 1) % 64]);
    table.Release(handles[123], nullptr);
    EXPECT_NE(table.Add(&g_items[1]), 0u);
}

TEST(HandleTable, LookupsFromAnotherThreadSurviveGrowth) {
    HandleTable table(10);
    const u32 first = table.Add(&g_items[0]);
    std::atomic<bool> stop{false};
    std::atomic<int> misses{0};
    std::thread reader([&] {
        while (!stop.load()) {
            void* out = nullptr;
            if (!table.Find(first, out) || out != &g_items[0]) ++misses;
        }
    });
    for (int i = 0; i < 20000; ++i) table.Add(&g_items[1]);
    stop = true;
    reader.join();
    EXPECT_EQ(misses.load(), 0);
}
