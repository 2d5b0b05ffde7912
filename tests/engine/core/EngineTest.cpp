#include "EngineTestSupport.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ScopedProfiler.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/base/Logger.h"

#include <gtest/gtest.h>

#include <deque>

using namespace Ostrel;
using namespace Ostrel::Testing;

namespace {

// An engine on a hand-set clock whose first system advances the clock by the
// next scripted frame time, so frame k+1 reads the time frame k was given.
class EngineLoop : public ::testing::Test {
protected:
    EngineLoop() : clock(1 << 20), engine(clock, sleeper), driver("Driver", 100, &log) {
        engine.SetRunSwitches(RunSwitches{});
        driver.onUpdate = [this](f32) {
            if (frameTimes.empty()) {
                engine.Quit();
                return;
            }
            clock.AdvanceSeconds(frameTimes.front());
            frameTimes.pop_front();
        };
        engine.AddSystem(&driver);
    }

    std::vector<std::string> log;
    ManualClock clock;
    RecordingSleeper sleeper;
    Engine engine;
    FakeSystem driver;
    std::deque<double> frameTimes;
};

}  // namespace

TEST_F(EngineLoop, LongFramesAreClampedAndPausedFramesReadZero) {
    frameTimes = {0.1, 0.015625, 0.1};
    driver.onUpdate = [this, base = driver.onUpdate](f32 dt) {
        base(dt);
        if (driver.steps.size() == 3) engine.SetPaused(true);
    };
    engine.Run();
    ASSERT_EQ(driver.steps.size(), 4u);
    EXPECT_EQ(driver.steps[0], 0.0f);
    EXPECT_EQ(driver.steps[1], 0.032f);
    EXPECT_EQ(driver.steps[2], 0.015625f);  // no lower bound, no catch-up
    EXPECT_EQ(driver.steps[3], 0.0f);
    EXPECT_NEAR(engine.GetRawFrameTime(), 0.1f, 1e-5f);  // before pause and clamp
}

TEST_F(EngineLoop, FrameCapSleepsFromTheClampedStepOnlyInDebug) {
    engine.SetDebug(true);
    engine.SetMaxFps(60.0f);
    frameTimes = {0.010, 0.010, 0.1, 0.010};
    engine.Run();
    // Frame 1 reads dt 0 (nothing elapsed since Run's tick): the whole 16 ms.
    ASSERT_EQ(sleeper.requests.size(), 4u);
    EXPECT_EQ(sleeper.requests[0], 16u);
    EXPECT_EQ(sleeper.requests[1], 6u);  // (0.016667 - 0.010) * 1000 = 6.67
    EXPECT_EQ(sleeper.requests[2], 6u);
    // The 0.1 s frame is clamped to 0.032 > the minimum: no sleep for it.
    EXPECT_EQ(sleeper.requests[3], 6u);
}

TEST_F(EngineLoop, FrameCapIsFixedAtRunStartAndOffWithoutDebug) {
    engine.SetMaxFps(60.0f);
    frameTimes = {0.010, 0.010};
    driver.onUpdate = [this, base = driver.onUpdate](f32 dt) {
        base(dt);
        engine.SetDebug(true);  // too late for this run
    };
    engine.Run();
    EXPECT_TRUE(sleeper.requests.empty());

    // While paused and capped, every frame sleeps the whole minimum.
    frameTimes = {0.010, 0.010};
    driver.steps.clear();
    driver.onUpdate = [this, base = driver.onUpdate](f32 dt) {
        base(dt);
        engine.SetPaused(true);
    };
    engine.Run();
    ASSERT_EQ(sleeper.requests.size(), 3u);
    EXPECT_EQ(sleeper.requests[1], 16u);
    EXPECT_EQ(sleeper.requests[2], 16u);
}

TEST_F(EngineLoop, CapsBelowOneFramePerSecondAndBackwardClocksNeverMakeLongSleeps) {
    // max-fps 0.01 would ask for 100-second frames, 1e-7 for more
    // milliseconds than the sleep takes: both read as 1 frame per second.
    for (const auto& [maxFps, shown] : {std::pair{0.01f, "0.01"}, std::pair{1e-7f, "1e-07"}}) {
        Logger logger;
        std::vector<std::string> logged;
        logger.AddProvider(std::make_unique<CollectingProvider>(&logged));
        engine.SetLog(&logger);
        engine.SetDebug(true);
        engine.SetMaxFps(maxFps);
        sleeper.requests.clear();
        frameTimes = {0.25, -5.0, 0.0};  // the clock jumps back between frames 2 and 3
        engine.Run();
        ASSERT_EQ(sleeper.requests.size(), 4u) << maxFps;
        EXPECT_EQ(sleeper.requests[0], 1000u);
        EXPECT_EQ(sleeper.requests[1], 968u);  // 0.25 s is clamped to 0.032
        EXPECT_EQ(sleeper.requests[2], 1000u) << "a negative step reads as 0, not as a longer sleep";
        EXPECT_EQ(driver.steps[2], 0.0f);
        EXPECT_EQ(logged, std::vector<std::string>{std::string("CoreSystem: max-fps ") + shown +
                                                   " is below 1, using 1\n"});
        engine.SetLog(nullptr);
        driver.steps.clear();
    }
}

TEST_F(EngineLoop, SystemsRunInUpdateOrderAroundTheFirstStateAnnouncement) {
    FakeSystem second("Second", 7, &log);
    engine.AddSystem(&second);
    engine.SetStateSelector([this](const std::string& state) { log.push_back("Select " + state); });
    engine.PushState("GamePlay");
    EXPECT_EQ(engine.GetStateStack().back(), "GamePlay");  // visible at once
    EXPECT_TRUE(engine.IsPushPending());
    engine.LoadSystemConfigs();
    engine.CreateSystems();
    frameTimes = {0.016};
    engine.Run();
    std::vector<std::string> expected = {
        "LoadConfig null Driver", "LoadConfig null Second", "Create Driver", "Create Second",
        "Initialize Driver",      "Initialize Second",      "Select GamePlay", "Update Driver",
        "Update Second",          "Update Driver",          "Update Second",  "Shutdown Driver",
        "Shutdown Second"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(engine.IsPushPending());
}

TEST_F(EngineLoop, OnePushPerFramePopReturnsAndAnEmptiedStackEndsTheRun) {
    std::vector<std::string> selected;
    engine.SetStateSelector([&](const std::string& s) { selected.push_back(s); });
    engine.PushState("LevelEditor");
    engine.PushState("Dropped");
    EXPECT_EQ(engine.GetStateStack().size(), 1u);

    frameTimes = {0.016, 0.016, 0.016, 0.016, 0.016, 0.016};
    driver.onUpdate = [&, base = driver.onUpdate](f32 dt) {
        base(dt);
        std::size_t frame = driver.steps.size();
        if (frame == 1) engine.PushState("GamePlay");
        if (frame == 2) engine.PopState();
        if (frame == 3) engine.PopState();
    };
    engine.Run();
    // Frame 2 announces GamePlay, frame 3 returns to LevelEditor, frame 4
    // pops the last state and quits after that frame.
    EXPECT_EQ(selected, (std::vector<std::string>{"LevelEditor", "GamePlay", "LevelEditor"}));
    EXPECT_EQ(driver.steps.size(), 4u);
    EXPECT_TRUE(engine.GetStateStack().empty());
    EXPECT_FALSE(engine.IsRunning());
}

TEST_F(EngineLoop, PopAndPushInOneFrameAndAnEmptyStackTurnStatesOff) {
    std::vector<std::string> selected;
    engine.SetStateSelector([&](const std::string& s) { selected.push_back(s); });
    // No state at all: the first update turns state handling off for good.
    engine.UpdateStates();
    engine.PushState("Late");
    EXPECT_TRUE(engine.GetStateStack().empty());

    Engine other(clock, sleeper);
    other.SetStateSelector([&](const std::string& s) { selected.push_back(s); });
    other.PushState("Only");
    other.PopState();
    other.UpdateStates();  // the pop empties the stack: the push is skipped
    EXPECT_TRUE(other.GetStateStack().empty());
    EXPECT_FALSE(other.IsRunning());
    EXPECT_TRUE(selected.empty());
}

TEST(Engine, InstanceIdsAndSystemLookup) {
    EXPECT_EQ(Engine::Instance(), nullptr);
    {
        ManualClock clock;
        RecordingSleeper sleeper;
        Engine engine(clock, sleeper);
        EXPECT_EQ(Engine::Instance(), &engine);

        EXPECT_EQ(engine.NextUniqueId(), 1u);
        EXPECT_EQ(engine.NextUniqueId(), 2u);
        engine.SetNextUniqueId(0xFFFFFFFFu);
        EXPECT_EQ(engine.NextUniqueId(), 0xFFFFFFFFu);
        EXPECT_EQ(engine.NextUniqueId(), 1u);  // 0 is skipped after the wrap

        std::vector<std::string> log;
        FakeSystem first("First", 5, &log), second("Second", 5, &log);
        engine.AddSystem(&first);
        engine.AddSystem(&second);
        EXPECT_EQ(engine.GetSystem(5), &first);
        EXPECT_EQ(engine.GetSystem(6), nullptr);
        EXPECT_EQ(engine.GetUpdateOrder().size(), 2u);
        EXPECT_EQ(second.GetEngine(), &engine);
        EXPECT_EQ(engine.GetCoreSystem(), nullptr);
    }
    EXPECT_EQ(Engine::Instance(), nullptr);
}

TEST(Engine, MaxFramesEndsTheRunThroughShutdownAndFixedDtDrivesTheTimer) {
    ManualClock clock;
    RecordingSleeper sleeper;
    Engine engine(clock, sleeper);
    RunSwitches switches;
    switches.maxFrames = 5;
    switches.fixedDt = 0.015625;
    engine.SetRunSwitches(switches);
    std::vector<std::string> log;
    FakeSystem system("Counted", 9, &log);
    engine.AddSystem(&system);
    engine.Run();
    ASSERT_EQ(system.steps.size(), 5u);
    for (f32 dt : system.steps) EXPECT_EQ(dt, 0.015625f);
    EXPECT_EQ(log.back(), "Shutdown Counted");
    EXPECT_EQ(engine.GetFrameCount(), 5u);
}

TEST(CoreSystem, ConfigurationReachesTheEngineAndMissingOrZeroValuesKeepDefaults) {
    struct Case {
        const char* xml;  // null: no configuration resource
        bool debug;
        f32 maxFps;
    } cases[] = {
        {nullptr, false, 0.0f},
        {"<CoreSystem><debug>1</debug><max-fps>60.000000</max-fps></CoreSystem>", true, 60.0f},
        {"<CoreSystem><debug>0</debug><max-fps>0.000000</max-fps></CoreSystem>", false, 0.0f},
        {"<CoreSystem><debug>1</debug><max-fps>-5</max-fps></CoreSystem>", true, 0.0f},
    };
    for (const Case& c : cases) {
        ManualClock clock;
        RecordingSleeper sleeper;
        Engine engine(clock, sleeper);
        engine.SetRunSwitches(RunSwitches{});
        CoreSystem core;
        engine.AddSystem(&core);
        engine.SetConfigSource([&](System& system) {
            if (!c.xml) return system.LoadConfig(nullptr);
            ConfigureFileXML config(true);
            ASSERT_TRUE(config.LoadFromText(c.xml));
            system.LoadConfig(&config);
        });
        engine.LoadSystemConfigs();
        core.Initialize();
        EXPECT_EQ(engine.IsDebug(), c.debug) << (c.xml ? c.xml : "none");
        EXPECT_EQ(engine.GetMaxFps(), c.maxFps) << (c.xml ? c.xml : "none");
        EXPECT_EQ(engine.GetCoreSystem(), &core);
        EXPECT_EQ(core.GetName(), "CoreSystem");
    }
}
