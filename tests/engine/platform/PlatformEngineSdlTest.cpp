// The window system and Input inside a real engine: their messages go through
// the core system's global table to delegates, their handlers are reached by
// messages sent there, and the window ends the engine's run.

#include "engine/base/RunSwitches.h"
#include "engine/core/Clock.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/platform/ControllerData.h"
#include "engine/platform/Input.h"
#include "engine/platform/QuitSignal.h"
#include "engine/platform/WindowSystem.h"
#include "tests/engine/platform/PlatformFakes.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>

using namespace Ostrel;

namespace {

// A listener as game code writes one: member functions bound with MakeDelegate.
struct Listener {
    std::vector<std::pair<int, bool>> keys;
    std::vector<std::tuple<bool, unsigned, unsigned>> screenStates;
    bool handleWindowMessages = false;
    int windowMessages = 0;
    int controllerUpdates = 0;

    void OnKeyTriggered(int code, bool pressed) { keys.emplace_back(code, pressed); }
    void OnWindowMessage(unsigned, unsigned, long, bool* handled) {
        ++windowMessages;
        if (handleWindowMessages) *handled = true;
    }
    void OnWindowScreenStateChange(bool windowed, unsigned width, unsigned height) {
        screenStates.emplace_back(windowed, width, height);
    }
    void OnControllerUpdate(ControllerData*) { ++controllerUpdates; }
};

// Runs a test's code inside the run, after the other systems of a frame.
class FrameProbe : public System {
public:
    std::function<void(long frame)> onFrame;
    void Update(f32) override {
        ++m_frame;
        if (onFrame) onFrame(m_frame);
    }
    std::string GetName() const override { return "FrameProbe"; }
    u32 GetId() const override { return FourCC("prob"); }

private:
    long m_frame = 0;
};

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
        input.SetPadSource(pads);
        engine.AddSystem(&window);
        engine.AddSystem(&input);
        engine.AddSystem(&core);
        engine.AddSystem(&probe);
        CoreSystem& table = *engine.GetCoreSystem();
        table.Listen("KeyTriggered", MakeDelegate(&listener, &Listener::OnKeyTriggered));
        table.Listen("WindowMessage", MakeDelegate(&listener, &Listener::OnWindowMessage));
        table.Listen("WindowScreenStateChange", MakeDelegate(&listener, &Listener::OnWindowScreenStateChange));
        window.LoadUserSettings(nullptr);
    }
    void TearDown() override { QuitSignal::Clear(); }

    void RunFrames(long frames, const std::string& script = "") {
        RunSwitches switches;
        switches.maxFrames = frames;
        switches.fixedDt = 0.016;
        engine.SetRunSwitches(switches);
        engine.CreateSystems();
        if (!script.empty()) {
            const std::string path = std::string(LV_TEST_TMP) + "/engine-script-" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
            std::ofstream(path) << script;
            window.UseInputScript(path);
        }
        engine.Run();
    }

    FixedStepClock clock{0.016};
    ThreadSleeper sleeper;
    Engine engine{clock, sleeper};
    // The core system outlives the systems that unsubscribe from it.
    CoreSystem core;
    WindowSystem window{"Tavrin"};
    OstrelTest::FakePadSource pads;
    Input input;
    FrameProbe probe;
    Listener listener;
};

}  // namespace

TEST_F(EngineFixture, ScriptedKeysReachListenersAndHandledMessagesStopThem) {
    RunFrames(4, "1 key 65 down\n2 key 65 up\n");
    EXPECT_EQ(listener.keys, (std::vector<std::pair<int, bool>>{{65, true}, {65, false}}));
    EXPECT_EQ(listener.windowMessages, 2);
}

TEST_F(EngineFixture, AHandledWindowMessageKeepsKeyTriggeredFromListeners) {
    listener.handleWindowMessages = true;
    RunFrames(3, "1 key 66 down\n");
    EXPECT_TRUE(listener.keys.empty());
    EXPECT_TRUE(input.GetKey(66).down);
}

TEST_F(EngineFixture, ScriptedCloseEndsTheToolsRunThroughTheEngine) {
    window.SetToolMode(true);
    RunFrames(1000, "3 close\n");
    EXPECT_EQ(engine.GetFrameCount(), 3u);
}

TEST_F(EngineFixture, TermSignalEndsTheGameRun) {
    QuitSignal::Install();
    std::raise(SIGTERM);
    RunFrames(1000);
    EXPECT_EQ(engine.GetFrameCount(), 1u);
}

TEST_F(EngineFixture, WindowHandlersAnswerMessagesSentThroughTheCoreSystem) {
    bool windowed = true;
    probe.onFrame = [&](long frame) {
        if (frame != 1) return;
        CoreSystem& table = *engine.GetCoreSystem();
        table.SendMessageInt2("SetResolution", 640, 480);
        table.SendMessageBoolPtr("QueryWindowed", &windowed);
        table.SendMessageBool("SetWindowed", true);
        table.Send("ResolutionError");
    };
    RunFrames(2);
    EXPECT_FALSE(windowed);
    const std::vector<std::tuple<bool, unsigned, unsigned>> expected = {{false, 640u, 480u}, {true, 640u, 480u}};
    EXPECT_EQ(listener.screenStates, expected);
    EXPECT_FALSE(window.IsWindowed());
    EXPECT_EQ(window.GetWidth(), window.GetScreenWidth());
}

TEST_F(EngineFixture, VibrationAndPadUpdatesTravelThroughTheCoreSystem) {
    pads.connected[0] = true;
    engine.GetCoreSystem()->Listen("ControllerUpdate", MakeDelegate(&listener, &Listener::OnControllerUpdate));
    PadState state;
    state.buttons = PadButton::kB;
    pads.Press(state);
    size_t rumbleEntries = 0;
    probe.onFrame = [&](long frame) {
        CoreSystem& table = *engine.GetCoreSystem();
        const float seconds = 1.0f;
        const short left = 12000;
        const short right = -5;
        if (frame == 1) table.SendMessageValues("AddVibrate", seconds, left, right);
        if (frame == 2) {
            rumbleEntries = input.GetRumble().size();
            table.Send("GameInactive");
        }
    };
    RunFrames(3);
    EXPECT_EQ(listener.controllerUpdates, 1);
    EXPECT_EQ(listener.keys, (std::vector<std::pair<int, bool>>{{272, true}}));
    EXPECT_EQ(rumbleEntries, 1u);
    // One write per frame, then the stop at shutdown: frame 2 drove the
    // motors from the request (the negative right value clamped to 0), frame
    // 3 found the list cleared.
    using Write = OstrelTest::FakePadSource::Write;
    EXPECT_EQ(pads.writes, (std::vector<Write>{{0, 0, 0}, {0, 12000, 0}, {0, 0, 0}, {0, 0, 0}}));
}
