// Small-object churn: the pool allocator against glibc malloc (and mimalloc
// when it is installed), in the same run. Each iteration frees and allocates
// a batch of blocks of one size while a working set stays alive, the pattern
// of message arguments, count cells and delegates. Compare the items per
// second of the three rows of each size.

#include "engine/core/SmallAllocator.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#ifdef LV_HAVE_MIMALLOC
#include <mimalloc.h>
#endif

namespace {

constexpr int kLiveBlocks = 1024;
constexpr int kBatch = 64;

struct PoolOps {
    static void* Allocate(std::size_t size) { return Ostrel::SmallAllocate(Ostrel::u32(size)); }
    static void Free(void* block, std::size_t size) { Ostrel::SmallDeallocate(block, Ostrel::u32(size)); }
};

struct MallocOps {
    static void* Allocate(std::size_t size) { return std::malloc(size); }
    static void Free(void* block, std::size_t) { std::free(block); }
};

#ifdef LV_HAVE_MIMALLOC
struct MimallocOps {
    static void* Allocate(std::size_t size) { return mi_malloc(size); }
    static void Free(void* block, std::size_t) { mi_free(block); }
};
#endif

// Keeps kLiveBlocks alive; each iteration frees a batch at a moving position
// (oldest first) and allocates it again, touching each new block once.
template <class Ops>
void Churn(benchmark::State& state) {
    const std::size_t size = std::size_t(state.range(0));
    std::vector<void*> live(kLiveBlocks);
    for (void*& block : live) {
        block = Ops::Allocate(size);
    }
    std::size_t cursor = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            Ops::Free(live[(cursor + i) % kLiveBlocks], size);
        }
        for (int i = 0; i < kBatch; ++i) {
            void* block = Ops::Allocate(size);
            *static_cast<char*>(block) = char(i);
            live[(cursor + i) % kLiveBlocks] = block;
        }
        benchmark::DoNotOptimize(live.data());
        cursor = (cursor + kBatch) % kLiveBlocks;
    }
    for (void* block : live) {
        Ops::Free(block, size);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

// Allocate and free one block at a time: the message-argument pattern.
template <class Ops>
void Pairs(benchmark::State& state) {
    const std::size_t size = std::size_t(state.range(0));
    for (auto _ : state) {
        void* block = Ops::Allocate(size);
        benchmark::DoNotOptimize(block);
        Ops::Free(block, size);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_TEMPLATE(Churn, PoolOps)->Name("Churn/SmallAllocator")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Churn, MallocOps)->Name("Churn/glibc_malloc")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Pairs, PoolOps)->Name("Pairs/SmallAllocator")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Pairs, MallocOps)->Name("Pairs/glibc_malloc")->Arg(16)->Arg(32)->Arg(64);
#ifdef LV_HAVE_MIMALLOC
BENCHMARK_TEMPLATE(Churn, MimallocOps)->Name("Churn/mimalloc")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Pairs, MimallocOps)->Name("Pairs/mimalloc")->Arg(16)->Arg(32)->Arg(64);
#endif

BENCHMARK_MAIN();
