#include "engine/core/SmallAllocator.h"
#include "engine/core/SmallObject.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

using namespace Ostrel;

namespace {

std::vector<void*> AllocateMany(SmallAllocator& allocator, u32 size, int count) {
    std::vector<void*> blocks;
    for (int i = 0; i < count; ++i) {
        blocks.push_back(allocator.Allocate(size));
    }
    return blocks;
}

void FreeAll(SmallAllocator& allocator, const std::vector<void*>& blocks, u32 size) {
    for (void* block : blocks) {
        allocator.Deallocate(block, size);
    }
}

}  // namespace

TEST(SmallAllocator, BlocksPerChunkFollowChunkSizeWithinEightTo255) {
    SmallAllocator allocator(4096, 64);
    const struct {
        u32 size;
        int blocks;
    } cases[] = {{1, 255}, {4, 255}, {16, 255}, {20, 204}, {32, 128}, {64, 64}};
    for (const auto& c : cases) {
        allocator.Deallocate(allocator.Allocate(c.size), c.size);
        ASSERT_NE(allocator.FindFixedAllocator(c.size), nullptr);
        EXPECT_EQ(allocator.FindFixedAllocator(c.size)->GetBlocksPerChunk(), c.blocks) << c.size;
    }
    SmallAllocator big(4096, 1024);
    big.Deallocate(big.Allocate(1000), 1000);
    EXPECT_EQ(big.FindFixedAllocator(1000)->GetBlocksPerChunk(), 8);
}

TEST(SmallAllocator, RequestsAboveTheMaximumGoToMalloc) {
    SmallAllocator allocator(4096, 64);
    void* large = allocator.Allocate(65);
    std::memset(large, 0xAB, 65);
    EXPECT_EQ(allocator.FindFixedAllocator(65), nullptr);
    allocator.Deallocate(large, 65);  // released with free (ASan checks it)

    void* largest = allocator.Allocate(64);
    ASSERT_NE(allocator.FindFixedAllocator(64), nullptr);
    EXPECT_EQ(allocator.FindFixedAllocator(64)->GetChunkCount(), 1u);
    allocator.Deallocate(largest, 64);

    // Zero bytes: a distinct usable block, not a division by a zero block size.
    void* none = SmallAllocate(0);
    void* other = SmallAllocate(0);
    ASSERT_NE(none, nullptr);
    EXPECT_NE(none, other);
    SmallDeallocate(other, 0);
    SmallDeallocate(none, 0);
}

TEST(SmallAllocator, FullChunkOpensASecondWhichBecomesAllocAndDeallocChunk) {
    SmallAllocator allocator(4096, 64);
    std::vector<void*> first = AllocateMany(allocator, 4, 255);
    const FixedAllocator* cells = allocator.FindFixedAllocator(4);
    EXPECT_EQ(cells->GetChunkCount(), 1u);
    EXPECT_EQ(cells->GetChunk(0).m_freeCount, 0);

    void* extra = allocator.Allocate(4);
    EXPECT_EQ(cells->GetChunkCount(), 2u);
    EXPECT_EQ(cells->GetChunkCapacity(), 2u);  // grown by exactly one
    EXPECT_EQ(cells->GetAllocChunkIndex(), 1);
    EXPECT_EQ(cells->GetDeallocChunkIndex(), 1);
    EXPECT_EQ(cells->GetChunk(1).m_freeCount, 254);

    // Every block of the first chunk is distinct and inside its 1020 bytes.
    for (void* block : first) {
        EXPECT_TRUE(cells->GetChunk(0).HasBlock(block, 255 * 4));
    }
    FreeAll(allocator, first, 4);
    allocator.Deallocate(extra, 4);
}

TEST(SmallAllocator, KeepsExactlyOneEmptyChunk) {
    SmallAllocator allocator(4096, 64);
    std::vector<void*> first = AllocateMany(allocator, 4, 255);
    std::vector<void*> second = AllocateMany(allocator, 4, 255);
    const FixedAllocator* cells = allocator.FindFixedAllocator(4);
    ASSERT_EQ(cells->GetChunkCount(), 2u);

    FreeAll(allocator, first, 4);
    EXPECT_EQ(cells->GetEmptyChunkIndex(), 0);
    EXPECT_EQ(cells->GetChunkCount(), 2u);

    FreeAll(allocator, second, 4);
    EXPECT_EQ(cells->GetChunkCount(), 1u);
    EXPECT_EQ(cells->GetEmptyChunkIndex(), 0);
    EXPECT_EQ(cells->GetChunk(0).m_freeCount, 255);

    // Reusing the held chunk clears the empty-chunk pointer.
    void* again = allocator.Allocate(4);
    EXPECT_EQ(cells->GetEmptyChunkIndex(), -1);
    EXPECT_EQ(cells->GetAllocChunkIndex(), 0);
    allocator.Deallocate(again, 4);
    EXPECT_EQ(cells->GetEmptyChunkIndex(), 0);
}

TEST(SmallAllocator, SecondFreeChunkSwapsWithTheLastBeforeGoingBack) {
    SmallAllocator allocator(4096, 64);
    std::vector<void*> a = AllocateMany(allocator, 32, 128);
    std::vector<void*> b = AllocateMany(allocator, 32, 128);
    std::vector<void*> c = AllocateMany(allocator, 32, 128);
    const FixedAllocator* pool = allocator.FindFixedAllocator(32);
    ASSERT_EQ(pool->GetChunkCount(), 3u);
    const u8* dataOfC = pool->GetChunk(2).m_data;
    const u8* dataOfB = pool->GetChunk(1).m_data;

    FreeAll(allocator, a, 32);  // chunk 0 is held empty
    ASSERT_EQ(pool->GetEmptyChunkIndex(), 0);
    FreeAll(allocator, b, 32);  // chunk 1 free too: chunk 0 and the last swap, the last goes

    EXPECT_EQ(pool->GetChunkCount(), 2u);
    EXPECT_EQ(pool->GetChunk(0).m_data, dataOfC);  // C moved into the freed slot
    EXPECT_EQ(pool->GetChunk(1).m_data, dataOfB);
    EXPECT_EQ(pool->GetEmptyChunkIndex(), 1);
    EXPECT_EQ(pool->GetAllocChunkIndex(), 1);  // the alloc chunk was the released last one
    EXPECT_EQ(pool->GetChunk(0).m_freeCount, 0);

    // C's blocks are still found in the slot it moved to.
    FreeAll(allocator, c, 32);
    EXPECT_EQ(pool->GetChunkCount(), 1u);
    EXPECT_EQ(pool->GetChunk(0).m_freeCount, 128);
}

TEST(SmallAllocator, FreeingTheLastChunkKeepsTheHeldOne) {
    SmallAllocator allocator(4096, 64);
    std::vector<void*> a = AllocateMany(allocator, 64, 64);
    std::vector<void*> b = AllocateMany(allocator, 64, 64);
    const FixedAllocator* pool = allocator.FindFixedAllocator(64);
    const u8* dataOfA = pool->GetChunk(0).m_data;
    FreeAll(allocator, a, 64);
    FreeAll(allocator, b, 64);  // b is the last chunk: it goes, a stays held
    EXPECT_EQ(pool->GetChunkCount(), 1u);
    EXPECT_EQ(pool->GetChunk(0).m_data, dataOfA);
    EXPECT_EQ(pool->GetEmptyChunkIndex(), 0);
    EXPECT_EQ(pool->GetDeallocChunkIndex(), 0);
}

TEST(SmallAllocator, TheChunkThatTakesABlockBackBecomesTheDeallocChunk) {
    SmallAllocator allocator(4096, 64);
    std::vector<std::vector<void*>> chunks;
    for (int i = 0; i < 5; ++i) {
        chunks.push_back(AllocateMany(allocator, 16, 255));
    }
    const FixedAllocator* pool = allocator.FindFixedAllocator(16);
    ASSERT_EQ(pool->GetChunkCount(), 5u);
    const int order[] = {2, 3, 1, 4, 0, 2};
    for (int index : order) {
        allocator.Deallocate(chunks[index].back(), 16);
        chunks[index].pop_back();
        EXPECT_EQ(pool->GetDeallocChunkIndex(), index);
    }
    for (const auto& blocks : chunks) {
        FreeAll(allocator, blocks, 16);
    }
    EXPECT_EQ(pool->GetChunkCount(), 1u);
}

TEST(SmallAllocator, PointerFromTheGeneralHeapIsFreedEvenWithAPooledSize) {
    SmallAllocator allocator(4096, 64);
    void* pooled = allocator.Allocate(8);
    void* foreign = std::malloc(8);
    allocator.Deallocate(foreign, 8);  // no chunk holds it: free (ASan checks it)
    allocator.Deallocate(pooled, 8);
    EXPECT_EQ(allocator.FindFixedAllocator(8)->GetChunkCount(), 1u);
}

TEST(SmallAllocator, RandomChurnKeepsEveryBlockIntactAndHoldsAtMostOneEmptyChunk) {
    SmallAllocator allocator(4096, 64);
    std::mt19937 random(1234);
    struct Live {
        u8* block;
        u32 size;
        u8 pattern;
    };
    std::vector<Live> live;
    for (int step = 0; step < 100000; ++step) {
        const bool allocate = live.empty() || random() % 100 < 55;
        if (allocate) {
            const u32 size = 1 + random() % 80;
            const u8 pattern = u8(random());
            u8* block = static_cast<u8*>(allocator.Allocate(size));
            std::memset(block, pattern, size);
            live.push_back({block, size, pattern});
        } else {
            const std::size_t index = random() % live.size();
            const Live item = live[index];
            for (u32 i = 0; i < item.size; ++i) {
                ASSERT_EQ(item.block[i], item.pattern) << "block of " << item.size << " corrupted";
            }
            allocator.Deallocate(item.block, item.size);
            live[index] = live.back();
            live.pop_back();
        }
    }
    for (const Live& item : live) {
        allocator.Deallocate(item.block, item.size);
    }
    for (u32 size = 1; size <= 64; ++size) {
        const FixedAllocator* pool = allocator.FindFixedAllocator(size);
        ASSERT_NE(pool, nullptr);
        EXPECT_EQ(pool->GetChunkCount(), 1u) << size;
        EXPECT_EQ(pool->GetEmptyChunkIndex(), 0) << size;
    }
}

TEST(SmallAllocator, ProcessWideInstanceSurvivesConcurrentThreads) {
    auto churn = [](unsigned seed) {
        std::mt19937 random(seed);
        std::vector<std::pair<u8*, u32>> live;
        for (int step = 0; step < 20000; ++step) {
            if (live.size() < 200 && random() % 2 == 0) {
                const u32 size = 4 + random() % 61;
                u8* block = static_cast<u8*>(SmallAllocate(size));
                std::memset(block, int(size), size);
                live.emplace_back(block, size);
            } else if (!live.empty()) {
                auto [block, size] = live.back();
                live.pop_back();
                for (u32 i = 0; i < size; ++i) {
                    if (block[i] != u8(size)) {
                        ADD_FAILURE() << "block overwritten by another thread";
                        return;
                    }
                }
                SmallDeallocate(block, size);
            }
        }
        for (auto [block, size] : live) {
            SmallDeallocate(block, size);
        }
    };
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < 4; ++i) {
        threads.emplace_back(churn, i + 1);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

namespace {

// Free blocks over all chunks of one pool of the calling thread's allocator.
int FreeBlocks(u32 size) {
    const FixedAllocator* pool = Private::t_smallAllocator->FindFixedAllocator(size);
    int free = 0;
    for (std::size_t i = 0; pool != nullptr && i < pool->GetChunkCount(); ++i) {
        free += pool->GetChunk(i).m_freeCount;
    }
    return free;
}

}  // namespace

// Blocks cross threads both ways: each goes back to the allocator that gave
// it out, queued until that allocator's owner next allocates. A thread that
// ends with blocks alive parks its allocator; the next new thread takes it
// over, queue included.
TEST(SmallAllocator, BlocksFreedOnAnotherThreadReturnToTheirOwner) {
    constexpr u32 kSize = 57;  // a size nothing else in this binary uses
    std::vector<void*> blocks;
    for (int i = 0; i < 100; ++i) {
        blocks.push_back(SmallAllocate(kSize));
    }
    const int freeWhileHeld = FreeBlocks(kSize);
    std::thread([&] {
        for (void* block : blocks) {
            SmallDeallocate(block, kSize);
        }
    }).join();
    EXPECT_EQ(FreeBlocks(kSize), freeWhileHeld);  // queued, not yet taken back
    SmallDeallocate(SmallAllocate(kSize), kSize);
    const FixedAllocator* pool = Private::t_smallAllocator->FindFixedAllocator(kSize);
    EXPECT_TRUE(pool->IsUnused());
    EXPECT_EQ(pool->GetChunkCount(), 1u);  // one empty chunk held, as on one thread

    SmallAllocator* workerAllocator = nullptr;
    blocks.clear();
    std::thread([&] {
        for (int i = 0; i < 300; ++i) {
            blocks.push_back(SmallAllocate(kSize));
        }
        workerAllocator = Private::t_smallAllocator;
    }).join();
    ASSERT_NE(workerAllocator, nullptr);
    ASSERT_NE(workerAllocator, Private::t_smallAllocator);
    for (void* block : blocks) {
        SmallDeallocate(block, kSize);
    }
    std::thread([&] {
        SmallDeallocate(SmallAllocate(kSize), kSize);
        EXPECT_EQ(Private::t_smallAllocator, workerAllocator);
        EXPECT_TRUE(Private::t_smallAllocator->FindFixedAllocator(kSize)->IsUnused());
    }).join();
}

// Threads hand blocks and pool objects to each other through a mailbox, so
// most frees are remote; every block must arrive intact.
TEST(SmallAllocator, ThreadsTradingBlocksKeepThemIntact) {
    struct Cell : SmallObject {
        explicit Cell(u32 v) : value(v) {}
        u32 value;
    };
    struct Item {
        u8* block;
        u32 size;
        Cell* cell;
    };
    std::mutex mutex;
    std::vector<Item> mailbox;
    auto release = [](const Item& item) {
        for (u32 i = 0; i < item.size; ++i) {
            if (item.block[i] != u8(item.size)) {
                ADD_FAILURE() << "block of " << item.size << " overwritten";
                break;
            }
        }
        EXPECT_EQ(item.cell->value, item.size);
        SmallDeallocate(item.block, item.size);
        delete item.cell;
    };
    auto trade = [&](unsigned seed) {
        std::mt19937 random(seed);
        for (int step = 0; step < 3000; ++step) {
            const u32 size = 1 + random() % 64;
            Item item{static_cast<u8*>(SmallAllocate(size)), size, new Cell(size)};
            std::memset(item.block, int(size), size);
            {
                std::lock_guard<std::mutex> lock(mutex);
                mailbox.push_back(item);
                const std::size_t index = random() % mailbox.size();
                item = mailbox[index];
                mailbox[index] = mailbox.back();
                mailbox.pop_back();
            }
            release(item);
        }
    };
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < 4; ++i) {
        threads.emplace_back(trade, i + 10);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const Item& item : mailbox) {
        release(item);
    }
}

namespace {
struct Base : SmallObject {
    u64 a = 1;
};
struct Derived : Base {
    u64 b[3] = {2, 3, 4};
};
}  // namespace

TEST(SmallObject, DeleteThroughTheBaseGivesTheDerivedSizeBack) {
    const FixedAllocator* pool = nullptr;
    {
        Base* object = new Derived();
        pool = DefaultSmallAllocator::Instance()->FindFixedAllocator(sizeof(Derived));
        ASSERT_NE(pool, nullptr);
        delete object;  // sized delete with sizeof(Derived): found in its pool
    }
    // Had the wrong size been given, the block would have gone to free() and
    // ASan would have stopped here; the pool still answers for the size.
    EXPECT_GE(pool->GetChunkCount(), 1u);
}
