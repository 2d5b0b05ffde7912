// Small-object churn: the pool allocator against glibc malloc, in the same
// run. The pool is measured the two ways the engine reaches it:
// SmallAllocate / SmallDeallocate (count cells) and SmallObject's operator
// new / delete (variants, delegates).
//
//   Churn/<allocator>/<size>   a batch of 64 frees and 64 allocations while
//                              1024 blocks stay alive (items = blocks)
//   Pairs/<allocator>/<size>   allocate one block and free it at once
//   Objects/<allocator>/<size> Churn with objects of a class of that size
//                              (a SmallObject, or the same class on the
//                              global heap)
//
// Built a second time as SmallAllocatorMimallocBench, linked with mimalloc,
// which then replaces malloc in that whole process: there the rows are
// MiChurn and MiPairs, the pool against mimalloc's own entry points.
// bench.sh prints the ratios of the time per item.

#include "engine/core/SmallAllocator.h"
#include "engine/core/SmallObject.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#ifdef LV_BENCH_MIMALLOC
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

#ifdef LV_BENCH_MIMALLOC
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

// Objects of Size bytes (a virtual destructor and a payload), pooled or not.
struct HeapBase {
    virtual ~HeapBase() = default;
};
template <class Base, std::size_t Size>
struct Payload final : Base {
    char bytes[Size - sizeof(Base)] = {};
};

template <class Base, std::size_t Size>
void Objects(benchmark::State& state) {
    using Object = Payload<Base, Size>;
    static_assert(sizeof(Object) == Size);
    std::vector<std::unique_ptr<Base>> live(kLiveBlocks);
    for (auto& object : live) {
        object.reset(new Object());
    }
    std::size_t cursor = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) {
            live[(cursor + i) % kLiveBlocks].reset();
        }
        for (int i = 0; i < kBatch; ++i) {
            live[(cursor + i) % kLiveBlocks].reset(new Object());
        }
        benchmark::DoNotOptimize(live.data());
        cursor = (cursor + kBatch) % kLiveBlocks;
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

}  // namespace

#ifndef LV_BENCH_MIMALLOC
BENCHMARK_TEMPLATE(Churn, PoolOps)->Name("Churn/SmallAllocator")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Churn, MallocOps)->Name("Churn/glibc_malloc")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Pairs, PoolOps)->Name("Pairs/SmallAllocator")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Pairs, MallocOps)->Name("Pairs/glibc_malloc")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Objects, Ostrel::SmallObject, 16)->Name("Objects/SmallAllocator/16");
BENCHMARK_TEMPLATE(Objects, Ostrel::SmallObject, 32)->Name("Objects/SmallAllocator/32");
BENCHMARK_TEMPLATE(Objects, Ostrel::SmallObject, 64)->Name("Objects/SmallAllocator/64");
BENCHMARK_TEMPLATE(Objects, HeapBase, 16)->Name("Objects/glibc_malloc/16");
BENCHMARK_TEMPLATE(Objects, HeapBase, 32)->Name("Objects/glibc_malloc/32");
BENCHMARK_TEMPLATE(Objects, HeapBase, 64)->Name("Objects/glibc_malloc/64");
#else
BENCHMARK_TEMPLATE(Churn, PoolOps)->Name("MiChurn/SmallAllocator")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Churn, MimallocOps)->Name("MiChurn/mimalloc")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Pairs, PoolOps)->Name("MiPairs/SmallAllocator")->Arg(16)->Arg(32)->Arg(64);
BENCHMARK_TEMPLATE(Pairs, MimallocOps)->Name("MiPairs/mimalloc")->Arg(16)->Arg(32)->Arg(64);
#endif

BENCHMARK_MAIN();
