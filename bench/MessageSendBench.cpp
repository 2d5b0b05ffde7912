// Sending a two-argument message (int, bool: the shape of "KeyTriggered") to
// 1, 4 and 16 listeners, three ways in one run:
//   BM_MessageTable      CoreSystem::SendMessageValueBool, as the input
//                        system sends a key, to delegates made by MakeDelegate
//   BM_Signals2          boost::signals2 with the same listeners
//   BM_FunctionLoop      a plain loop over std::function (the floor)
// The ratios of interest are table / signals2 (target: at most 0.5) and
// table / loop.

#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <benchmark/benchmark.h>
#include <boost/signals2.hpp>

#include <functional>
#include <vector>

namespace {

struct KeyListener {
    int sum = 0;
    void OnKeyTriggered(int key, bool pressed) { sum += pressed ? key : -key; }
};

}  // namespace

LV_DECLARE_META_CLASS(KeyListener);
LV_REFLECT_CLASS(KeyListener);

namespace {

void BM_MessageTable(benchmark::State& state) {
    std::vector<KeyListener> listeners(std::size_t(state.range(0)));
    Ostrel::CoreSystem core;
    for (KeyListener& l : listeners)
        core.Listen("KeyTriggered", Ostrel::MakeDelegate(&l, &KeyListener::OnKeyTriggered));
    int key = 120;
    bool pressed = true;
    for (auto _ : state) {
        core.SendMessageValueBool("KeyTriggered", key, pressed);
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(listeners.front().sum);
}

void BM_Signals2(benchmark::State& state) {
    std::vector<KeyListener> listeners(std::size_t(state.range(0)));
    boost::signals2::signal<void(int, bool)> signal;
    for (KeyListener& l : listeners)
        signal.connect([&l](int key, bool pressed) { l.OnKeyTriggered(key, pressed); });
    int key = 120;
    bool pressed = true;
    for (auto _ : state) {
        signal(key, pressed);
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(listeners.front().sum);
}

void BM_FunctionLoop(benchmark::State& state) {
    std::vector<KeyListener> listeners(std::size_t(state.range(0)));
    std::vector<std::function<void(int, bool)>> functions;
    for (KeyListener& l : listeners)
        functions.emplace_back([&l](int key, bool pressed) { l.OnKeyTriggered(key, pressed); });
    int key = 120;
    bool pressed = true;
    for (auto _ : state) {
        for (auto& f : functions) f(key, pressed);
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(listeners.front().sum);
}

}  // namespace

BENCHMARK(BM_MessageTable)->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_Signals2)->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_FunctionLoop)->Arg(1)->Arg(4)->Arg(16);

BENCHMARK_MAIN();
