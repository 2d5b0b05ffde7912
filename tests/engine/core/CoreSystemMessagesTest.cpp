#include "EngineTestSupport.h"
#include "engine/base/Logger.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/ScopedProfiler.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Vec3.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/Graphics.h"
#include "engine/io/ConfigureFileXML.h"

#include <gtest/gtest.h>

using namespace Ostrel;
using namespace Ostrel::Testing;

namespace {

// Subscribes to the state messages in Initialize, as systems do, and writes
// what it hears into the shared log.
class StateListener : public FakeSystem {
public:
    using FakeSystem::FakeSystem;
    void Initialize() override {
        FakeSystem::Initialize();
        CoreSystem* core = GetEngine()->GetCoreSystem();
        for (const char* name : {"StateBegin", "StateEnd", "StateReturn"})
            core->Listen(name, MakeDelegate(this, &StateListener::OnStateMessage));
    }
    void OnStateMessage() {
        const auto& stack = GetEngine()->GetStateStack();
        m_heard.push_back(stack.empty() ? "(empty)" : stack.back());
    }
    std::vector<std::string> m_heard;
};

struct Answerer {
    std::string text;
    float value = 0;
    Vec3 position;
    void OnQuery(bool* answer) { *answer = true; }
    void OnText(std::string t, float v) {
        text = t;
        value = v;
    }
    void OnPosition(Vec3 p) { position = p; }
};

}  // namespace

LV_DECLARE_META_CLASS(StateListener);
LV_REFLECT_OPAQUE(StateListener);
LV_DECLARE_META_CLASS(Answerer);
LV_REFLECT_CLASS(Answerer);

TEST(CoreSystemMessages, StateBeginReachesListenersInTheFirstFrameAfterEveryInitialize) {
    ManualClock clock;
    RecordingSleeper sleeper;
    Engine engine(clock, sleeper);
    engine.SetRunSwitches(RunSwitches{});
    std::vector<std::string> log;
    CoreSystem core;
    StateListener listener("Listener", 50, &log);
    FakeSystem last("Last", 51, &log);
    engine.AddSystem(&core);
    engine.AddSystem(&listener);
    engine.AddSystem(&last);
    engine.PushState("LevelEditor");
    last.onUpdate = [&](f32) {
        std::size_t frame = last.steps.size();
        log.push_back("heard " + std::to_string(listener.m_heard.size()));
        if (frame == 1) engine.PushState("GamePlay");
        if (frame == 2 || frame == 3) engine.PopState();
    };
    engine.Run();
    // Begin(LevelEditor) in frame 1, Begin(GamePlay) in 2, End(GamePlay) +
    // Return(LevelEditor) in 3, End(LevelEditor) in 4, which ends the run.
    EXPECT_EQ(listener.m_heard, (std::vector<std::string>{"LevelEditor", "GamePlay", "GamePlay",
                                                          "LevelEditor", "LevelEditor"}));
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "Initialize Listener");
    EXPECT_EQ(log[1], "Initialize Last");
    EXPECT_EQ(log[2], "Update Listener");  // StateBegin came before it
    EXPECT_EQ(log[4], "heard 1");
    EXPECT_EQ(last.steps.size(), 4u);
}

TEST(CoreSystemMessages, KeyTriggeredTogglesTheProfilerOfADebugRun) {
    ManualClock clock(1 << 20);
    RecordingSleeper sleeper;
    Engine engine(clock, sleeper);
    engine.SetRunSwitches(RunSwitches{});
    CoreSystem core;
    FakeSystem input("Input", 2, nullptr);
    engine.AddSystem(&core);
    engine.AddSystem(&input);
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.LoadFromText("<CoreSystem><debug>1</debug></CoreSystem>"));
    core.LoadConfig(&config);  // Initialize hands "debug" to the engine
    input.onUpdate = [&](f32) {
        clock.AdvanceSeconds(0.015625);
        if (input.steps.size() == 1) core.SendMessageValueBool("KeyTriggered", 120, true);
        if (input.steps.size() == 2) core.SendMessageValueBool("KeyTriggered", 120, false);
        if (input.steps.size() == 3) engine.Quit();
    };
    engine.GetProfiler().SetTextDrawer(&Graphics::DrawDebugText);
    DebugDrawQueue::Instance().Clear();
    engine.Run();
    EXPECT_TRUE(engine.GetProfiler().IsActive());
    EXPECT_FALSE(DebugDrawQueue::Instance().Texts().empty());
    // After the run the profiler no longer listens.
    EXPECT_TRUE(core.GetTable().GetListeners("KeyTriggered").empty());
    DebugDrawQueue::Instance().Clear();
}

TEST(CoreSystemMessages, TypedSendersCarryQuestionsTextAndValues) {
    CoreSystem core;
    Answerer a;
    core.Listen("QueryWindowed", MakeDelegate(&a, &Answerer::OnQuery));
    core.Listen("BossHealthChanged", MakeDelegate(&a, &Answerer::OnText));
    core.Listen("CheckpointUpdated", MakeDelegate(&a, &Answerer::OnPosition));
    bool windowed = false;
    core.SendMessageBoolPtr("QueryWindowed", &windowed);
    EXPECT_TRUE(windowed);
    core.SendMessageStringFloat("BossHealthChanged", "fox-boss", 0.5f);
    EXPECT_EQ(a.text, "fox-boss");
    EXPECT_EQ(a.value, 0.5f);
    core.SendMessageVec3("CheckpointUpdated", Vec3(1, 2, 3));
    EXPECT_TRUE(a.position == Vec3(1, 2, 3));
    core.SetHandler("QueryWindowed", FunctionRef());
    core.ClearHandler("QueryWindowed");
    windowed = false;
    core.SendMessageBoolPtr("QueryWindowed", &windowed);
    EXPECT_TRUE(windowed);
}

TEST(CoreSystemMessages, TraceSwitchLogsNamedGlobalSendsWithTheirArguments) {
    std::vector<std::string> lines;
    Logger logger;
    logger.AddProvider(std::make_unique<CollectingProvider>(&lines));
    ManualClock clock;
    RecordingSleeper sleeper;
    Engine engine(clock, sleeper);
    engine.SetLog(&logger);
    RunSwitches switches;
    switches.traceMessages = std::vector<std::string>{"TriggerActivated", "CheckpointUpdated", "BossHealthChanged",
                                                      "Toggle"};
    engine.SetRunSwitches(switches);
    CoreSystem core;
    engine.AddSystem(&core);
    core.Initialize();
    Answerer a;
    core.Listen("CheckpointUpdated", MakeDelegate(&a, &Answerer::OnPosition));

    core.SendMessageInt("TriggerActivated", 7);  // traced although nobody listens
    core.SendMessageVec3("CheckpointUpdated", Vec3(1, 2.5f, -3));
    core.SendMessageStringFloat("BossHealthChanged", "ui-yak", 0.25f);
    core.SendMessageBool("Toggle", true);
    core.Send("Toggle");
    core.SendMessageInt("Untraced", 1);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "trace frame 0: TriggerActivated(7)\n", "trace frame 0: CheckpointUpdated((1, 2.5, -3))\n",
                         "trace frame 0: BossHealthChanged(ui-yak, 0.25)\n", "trace frame 0: Toggle(true)\n",
                         "trace frame 0: Toggle()\n"}));
    EXPECT_TRUE(a.position == Vec3(1, 2.5f, -3)) << "the trace does not take the receivers' place";
}
