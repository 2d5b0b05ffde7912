#include "engine/platform/ThreadEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace Ostrel {
namespace {

// An auto-reset set releases exactly one waiter and is consumed; a manual
// one releases every waiter and stays set until Reset.
TEST(ThreadEvent, AutoResetReleasesOneWaitManualResetStaysSetUntilReset) {
    ThreadEvent once(ThreadEvent::ResetMode::Auto);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            once.Wait();
            ++released;
        });
    }
    for (int expected = 1; expected <= 3; ++expected) {
        once.Set();
        while (released.load() < expected) std::this_thread::yield();
        EXPECT_FALSE(once.IsSet()) << "consumed by the waiter it released";
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(released.load(), expected) << "one set, one waiter";
    }
    for (std::thread& waiter : waiters) waiter.join();

    once.Set();
    once.Wait();  // a set before the wait is kept for it
    EXPECT_FALSE(once.IsSet());

    ThreadEvent done(ThreadEvent::ResetMode::Manual);
    done.Set();
    done.Wait();
    done.Wait();
    EXPECT_TRUE(done.IsSet());
    done.Reset();
    EXPECT_FALSE(done.IsSet());
    std::thread late([&] { done.Set(); });
    done.Wait();
    late.join();
}

}  // namespace
}  // namespace Ostrel
