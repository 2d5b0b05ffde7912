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

// Many quick hand-overs between two threads, the pattern of a frame's pool,
// now and then with the worker left long enough to fall asleep: none is
// lost (a lost wake-up would hang the ping-pong; the test's time-out ends
// it) and each side sees what the other wrote before its Set.
TEST(ThreadEvent, PingPongLosesNoSignalAndPublishesWrites) {
    ThreadEvent ping(ThreadEvent::ResetMode::Auto);
    ThreadEvent pong(ThreadEvent::ResetMode::Manual);
    int shared = 0;
    constexpr int kRounds = 20000;
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            ping.Wait();
            shared += 1;
            pong.Set();
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        pong.Reset();
        ping.Set();
        pong.Wait();
        EXPECT_EQ(shared, i + 1);
        // Now and then the worker is left long enough to go to sleep.
        if (i % 2000 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
}

}  // namespace
}  // namespace Ostrel
