// The UI system over real scenes, handlers and message tables: transitions
// with the Enter/Leave/SetActive order they cause, input routing and capture,
// the UI clock and tutorial pages.

#include "engine/core/Clock.h"
#include "engine/platform/ControllerData.h"
#include "engine/ui/UiEventHandlers.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiSystem.h"
#include "engine/world/GameSystem.h"
#include "engine/world/TutorialRecord.h"

#include "tests/engine/ui/UiTestSupport.h"

#include "engine/base/Serializer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace Ostrel {
namespace {

using Testing::Core;
using Testing::ProbeHandler;
using Testing::UiWorld;

// Templates "a", "b", "c" (accept input) and "overlay", "tip" (do not), each
// with a probe handler; a UI system with a hand-set clock.
struct UiFixture {
    UiFixture() {
        for (const char* name : {"a", "b", "c", "overlay", "tip"}) {
            UiScene* t = scenes.CreateTemplate(name);
            t->SetName(name);
            t->AddHandler(new ProbeHandler(name, &log));
            if (std::string(name) == "overlay" || std::string(name) == "tip") t->SetAcceptsInput(false);
            auto solid = std::make_unique<UiSolid>();
            solid->SetName(std::string(name) + "-el");
            t->AddElement(std::move(solid));
        }
        scenes.SetInputClock(&clock);
        ui.SetClock(clock);
        world.engine.AddSystem(&ui);
        ui.Initialize();
    }
    ~UiFixture() { ui.Shutdown(); }

    void Request(UiSceneChangeMethod method, const std::string& name = "") {
        std::string target = name;
        Core().SendMessageValues("UiChangeScene", &target, method);
    }
    std::string Stack() const {
        std::string out;
        for (UiScene* s : ui.GetStack()) out += (out.empty() ? "" : ",") + s->GetName();
        return out;
    }
    // The probe lines since the last call, joined.
    std::string TakeLog() {
        std::string out;
        for (const std::string& line : log) out += (out.empty() ? "" : "|") + line;
        log.clear();
        return out;
    }

    UiWorld world;
    std::vector<std::string> log;
    ManualClock clock;
    UiSceneManager scenes;
    UiSystem ui;
};

struct Request {
    UiSceneChangeMethod method;
    const char* name;
};

struct TransitionCase {
    const char* label;
    std::vector<Request> setup;  // applied in one earlier update
    std::vector<Request> frame;  // the requests of the update under test
    const char* stack;           // after the update
    const char* log;             // the probes' calls during the update
    const char* stackNextFrame;  // after one more update with no requests
};

constexpr auto Push = UiSceneChangeMethod::Push;
constexpr auto Pop = UiSceneChangeMethod::Pop;
constexpr auto Goto = UiSceneChangeMethod::Goto;
constexpr auto Replace = UiSceneChangeMethod::Replace;

class UiTransitions : public ::testing::TestWithParam<TransitionCase> {};

TEST_P(UiTransitions, StackAndCallOrder) {
    const TransitionCase& c = GetParam();
    UiFixture f;
    for (const Request& r : c.setup) f.Request(r.method, r.name);
    f.ui.Update(0.016f);
    f.TakeLog();
    for (const Request& r : c.frame) f.Request(r.method, r.name);
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), c.stack);
    EXPECT_EQ(f.TakeLog(), c.log);
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), c.stackNextFrame) << "requests never carry over";
    EXPECT_EQ(f.TakeLog(), "") << "an update without requests runs no walk";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UiTransitions,
    ::testing::Values(
        TransitionCase{"ThreePopsOnTwoScenesDropTheThird",
                       {{Push, "a"}, {Push, "b"}},
                       {{Pop, ""}, {Pop, ""}, {Pop, ""}},
                       "",
                       "detach b'|delete b'|detach a'|delete a'",
                       ""},
        TransitionCase{"TwoPushesStackAndTheWalkStopsAtTheFirstThatAcceptsInput",
                       {{Push, "a"}},
                       {{Push, "b"}, {Push, "overlay"}},
                       "a,b,overlay",
                       "attach b'|start b'|attach overlay'|start overlay'|active overlay'|active b'",
                       "a,b,overlay"},
        TransitionCase{"PopAndPushInOneFramePopFirst",
                       {{Push, "a"}, {Push, "b"}},
                       {{Push, "c"}, {Pop, ""}},
                       "a,c",
                       "detach b'|delete b'|attach c'|start c'|active c'",
                       "a,c"},
        TransitionCase{"ReplaceOnAnEmptyStackOnlyPushes",
                       {},
                       {{Replace, "a"}},
                       "a",
                       "attach a'|start a'|active a'",
                       "a"},
        TransitionCase{"GotoEmptiesTheStackAndPushesBelowThePushes",
                       {{Push, "a"}, {Push, "b"}},
                       {{Push, "overlay"}, {Goto, "c"}, {Goto, "a"}},
                       "a,overlay",
                       "detach b'|delete b'|detach a'|delete a'|attach a'|start a'|attach overlay'|start "
                       "overlay'|active overlay'|active a'",
                       "a,overlay"},
        TransitionCase{"AnUnknownNamePushesNothingButTheWalkRuns",
                       {{Push, "a"}, {Push, "overlay"}},
                       {{Push, "nowhere"}},
                       "a,overlay",
                       "active overlay'|active a'",
                       "a,overlay"},
        TransitionCase{"AnUnknownReplaceStillPops",
                       {{Push, "a"}, {Push, "b"}},
                       {{Replace, "nowhere"}},
                       "a",
                       "detach b'|delete b'|active a'",
                       "a"}),
    [](const ::testing::TestParamInfo<TransitionCase>& info) { return std::string(info.param.label); });

TEST(UiSystem, StartSceneIsPushedWithoutTheWalkAndShutdownClearsEverything) {
    UiFixture f;
    f.ui.SetStartScene("a");
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "a");
    EXPECT_EQ(f.TakeLog(), "attach a'|start a'") << "no activation walk after the start scene";
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "a") << "the start scene is pushed once";
    f.ui.Shutdown();
    EXPECT_EQ(f.Stack(), "");
    EXPECT_EQ(f.scenes.GetLiveCount(), 0u);
    EXPECT_EQ(f.world.GlobalListeners(), 0u);
    f.ui.Initialize();  // the fixture shuts down again
}

// A scene whose timer pushes itself every frame, or a burst of pushes in one
// frame, stops at the stack's limit with one log line, not one per refusal.
TEST(UiSystem, TheSceneStackStopsGrowingAtItsLimitWithOneLogLine) {
    Testing::LogCapture log;
    UiFixture f;
    f.world.engine.SetLog(&log.GetLogger());
    for (int frame = 0; frame < 100; ++frame) {
        f.Request(Push, "a");
        f.ui.Update(0.016f);
    }
    EXPECT_EQ(f.ui.GetStack().size(), UiSystem::kMaxSceneStack);
    for (int i = 0; i < 500; ++i) f.Request(Push, "b");
    f.ui.Update(0.016f);
    EXPECT_EQ(f.ui.GetStack().size(), UiSystem::kMaxSceneStack);
    const std::string all = log.All();
    const std::string line = "UiSystem: scene 'a' not pushed: the scene stack holds 64 scenes already";
    EXPECT_NE(all.find(line), std::string::npos) << all;
    EXPECT_EQ(all.find("not pushed", all.find(line) + line.size()), std::string::npos) << "logged once: " << all;
    f.Request(Pop);
    f.ui.Update(0.016f);
    f.Request(Push, "c");
    f.ui.Update(0.016f);
    EXPECT_EQ(f.ui.GetStack().back()->GetName(), "c") << "room again once a scene went";
    f.world.engine.SetLog(nullptr);
}

// Records "KeyTriggered" like any other listener of the game would.
struct KeyListener {
    KeyListener() { Core().Listen("KeyTriggered", MakeDelegate(this, &KeyListener::OnKey)); }
    ~KeyListener() { Core().Unlisten("KeyTriggered", MakeDelegate(this, &KeyListener::OnKey)); }
    void OnKey(int key, bool) { keys.push_back(key); }
    std::vector<int> keys;
};

TEST(UiSystem, KeysGoToTheTopmostSceneThatAcceptsInputAndPadDataToTheTop) {
    UiFixture f;
    f.Request(Push, "a");
    f.Request(Push, "overlay");
    f.ui.Update(0.016f);
    f.TakeLog();
    Core().SendMessageValues("KeyTriggered", 65, true);
    EXPECT_EQ(f.TakeLog(), "key 65 down a'");
    for (int mouse : {1, 2, 4}) Core().SendMessageValues("KeyTriggered", mouse, true);
    EXPECT_EQ(f.TakeLog(), "") << "mouse buttons reach no scene";
    ControllerData pad{};
    Core().SendMessageValues("ControllerUpdate", &pad);
    EXPECT_EQ(f.TakeLog(), "pad overlay'") << "pad data goes to the top scene whether or not it accepts input";

    KeyListener other;
    Core().SendMessageBool("UiCaptureInput", true);
    Core().SendMessageValues("KeyTriggered", 66, true);
    EXPECT_TRUE(other.keys.empty()) << "while captured the UI system alone receives keys";
    EXPECT_EQ(f.TakeLog(), "key 66 down a'");
    Core().SendMessageBool("UiCaptureInput", false);
    Core().SendMessageValues("KeyTriggered", 67, false);
    EXPECT_EQ(other.keys, std::vector<int>{67});
    EXPECT_EQ(f.TakeLog(), "key 67 up a'");
}

// A menu that comes up while a key is down (the attack key mashed as the
// player dies) hears nothing of that key until it is let go; the keys it
// hears afterwards, and other keys, pass. A pad button counts the same.
TEST(UiSystem, AScenePutUpWhileAKeyIsDownIgnoresThatKeyUntilItIsLetGo) {
    UiFixture f;
    f.Request(Push, "a");
    f.ui.Update(0.016f);
    Core().SendMessageValues("KeyTriggered", 88, true);
    Core().SendMessageValues("KeyTriggered", 263, true);
    f.Request(Push, "b");
    f.ui.Update(0.016f);
    f.TakeLog();
    Core().SendMessageValues("KeyTriggered", 88, false);
    Core().SendMessageValues("KeyTriggered", 263, false);
    Core().SendMessageValues("KeyTriggered", 65, true);
    EXPECT_EQ(f.TakeLog(), "key 65 down b'");
    Core().SendMessageValues("KeyTriggered", 88, true);
    Core().SendMessageValues("KeyTriggered", 263, true);
    EXPECT_EQ(f.TakeLog(), "key 88 down b'|key 263 down b'") << "pressed anew after the release";
}

// A scene's input delay counts UI time (a fixed step in replays) on the UI
// system's own clock when the scene manager has none.
TEST(UiSystem, InputDelaysCountUiTime) {
    UiWorld world;
    std::vector<std::string> log;
    UiSceneManager scenes;
    UiScene* slow = scenes.CreateTemplate("slow");
    slow->SetName("slow");
    slow->SetInputDelay(0.3f);
    slow->AddHandler(new ProbeHandler("slow", &log));
    ManualClock wall;
    UiSystem ui;
    ui.SetClock(wall);
    world.engine.AddSystem(&ui);
    ui.Initialize();
    std::string name = "slow";
    Core().SendMessageValues("UiChangeScene", &name, Push);
    ui.Update(0.0f);
    log.clear();
    // Frames of 0.032 s of UI time; a long stall counts as 0.032 s too.
    for (double seconds : {0.032, 0.032, 0.032, 0.032, 0.032, 0.032, 0.032, 0.032, 5.0}) {
        wall.AdvanceSeconds(seconds);
        ui.Update(0.0f);
    }
    Core().SendMessageValues("KeyTriggered", 13, true);
    EXPECT_TRUE(log.empty()) << "0.288 s of UI time after the scene came up";
    wall.AdvanceSeconds(0.032);
    ui.Update(0.0f);
    Core().SendMessageValues("KeyTriggered", 13, false);
    EXPECT_EQ(log, std::vector<std::string>{"key 13 up slow'"}) << "0.32 s";
    ui.Shutdown();
    EXPECT_EQ(scenes.GetInputClock(), nullptr) << "the scene manager keeps no clock of a system that is gone";
}

TEST(UiSystem, APauseSceneOpensOnlyOverPlayAndShutdownLeavesNoCaptureBehind) {
    UiFixture f;
    UiScene* pause = f.scenes.CreateTemplate("pause");
    pause->SetName("pause");
    pause->AddHandler(new UiPauseHandler);
    // Asked for in the frame a Goto or Replace takes the screen over (the
    // level won, lost or loading): it is not pushed; other pushes still are.
    for (UiSceneChangeMethod method : {Goto, Replace}) {
        f.Request(Goto, "a");
        f.ui.Update(0.016f);
        f.Request(Push, "pause");
        f.Request(method, "b");
        f.Request(Push, "overlay");
        f.ui.Update(0.016f);
        EXPECT_EQ(f.Stack(), "b,overlay");
        EXPECT_FALSE(f.ui.IsCapturingInput());
    }
    f.Request(Goto, "a");
    f.ui.Update(0.016f);
    f.Request(Push, "pause");
    f.ui.Update(0.016f);
    EXPECT_TRUE(f.ui.IsCapturingInput());
    EXPECT_TRUE(Core().GetTable().HasHandler("KeyTriggered"));
    f.ui.Shutdown();
    EXPECT_FALSE(Core().GetTable().HasHandler("KeyTriggered"));
    EXPECT_FALSE(Core().GetTable().HasHandler("ControllerUpdate"));
    f.ui.Initialize();
}

struct TimeListener {
    TimeListener() { Core().Listen("UiTimeUpdate", MakeDelegate(this, &TimeListener::OnTime)); }
    ~TimeListener() { Core().Unlisten("UiTimeUpdate", MakeDelegate(this, &TimeListener::OnTime)); }
    void OnTime(float dt) { steps.push_back(dt); }
    std::vector<float> steps;
};

TEST(UiSystem, TheUiClockIsClampedAndRunsWhileTheEngineIsPaused) {
    UiFixture f;
    TimeListener time;
    f.clock.AdvanceSeconds(0.1);
    f.ui.Update(0.0f);  // a paused engine passes 0
    f.clock.AdvanceSeconds(0.01);
    f.ui.Update(0.0f);
    ASSERT_EQ(time.steps.size(), 2u);
    EXPECT_FLOAT_EQ(time.steps[0], 0.032f);
    EXPECT_NEAR(time.steps[1], 0.01f, 1e-4f);
}

// A replay (fixed frame step) must not see the wall clock: every UI frame
// is one step, clamped as ever, whatever time passed, paused or not.
TEST(UiSystem, OnAFixedFrameStepTheUiClockIsThatStep) {
    for (double step : {0.016, 0.05}) {
        UiFixture f;
        RunSwitches switches;
        switches.fixedDt = step;
        f.world.engine.SetRunSwitches(switches);
        TimeListener time;
        for (double wall : {0.0, 0.1, 0.003, 2.0}) {
            f.clock.AdvanceSeconds(wall);
            f.ui.Update(0.0f);
        }
        EXPECT_EQ(time.steps, std::vector<float>(4, std::min(float(step), UiSystem::kMaxUiStep))) << step;
    }
}

TEST(UiSystem, TutorialPagesShowForTheirDelayInEngineTimeThenTheRecordIsMarked) {
    UiFixture f;
    f.Request(Push, "a");
    f.ui.Update(0.016f);
    TutorialRecord record;
    record.SetShowLimit(2);
    record.AddScene("tip", 0, TutorialSceneInputs::Any);
    record.AddScene("tip", 4000, TutorialSceneInputs::Keyboard);
    record.AddScene("tip", 1000, TutorialSceneInputs::Controller);
    Core().SendMessageValues("QueueTutorial", &record);
    f.TakeLog();

    f.ui.Update(0.5f);
    EXPECT_EQ(f.Stack(), "a,tip") << "page 1 shown";
    EXPECT_EQ(f.TakeLog(), "attach tip'|start tip'") << "a page gets no activation walk";
    Core().SendMessageValues("KeyTriggered", 70, true);
    EXPECT_EQ(f.TakeLog(), "key 70 down a'") << "a page takes no keys";
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "a") << "a delay of 0 ends at the next update";
    f.ui.Update(0.0f);
    EXPECT_EQ(f.Stack(), "a,tip") << "page 2 (keyboard; no pad connected)";
    for (int i = 0; i < 10; ++i) f.ui.Update(0.0f);
    EXPECT_EQ(f.Stack(), "a,tip") << "paused: the page waits";
    f.ui.Update(3.9f);
    EXPECT_EQ(f.Stack(), "a,tip");
    f.ui.Update(0.2f);
    EXPECT_EQ(f.Stack(), "a");
    EXPECT_EQ(record.GetShowCount(), 0);
    f.ui.Update(0.016f);  // page 3 is for a pad: skipped
    EXPECT_EQ(f.Stack(), "a");
    f.ui.Update(0.016f);
    EXPECT_EQ(record.GetShowCount(), 1) << "marked after the last page";
    EXPECT_FALSE(record.IsLocked());
    EXPECT_EQ(f.ui.GetTutorialQueueLength(), 0u);
}

TEST(UiSystem, GotoDuringATutorialPageEmptiesTheQueueAndPoppingThePageForgetsIt) {
    UiFixture f;
    TutorialRecord first, second;
    first.AddScene("tip", 5000, TutorialSceneInputs::Any);
    second.AddScene("tip", 5000, TutorialSceneInputs::Any);
    Core().SendMessageValues("QueueTutorial", &first);
    Core().SendMessageValues("QueueTutorial", &second);
    f.ui.Update(0.016f);
    ASSERT_EQ(f.Stack(), "tip");
    f.Request(Goto, "b");
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "b");
    EXPECT_EQ(f.ui.GetTutorialQueueLength(), 0u);
    EXPECT_FALSE(f.ui.IsShowingTutorial());
    EXPECT_EQ(first.GetShowCount() + second.GetShowCount(), 0);

    // A pop meant for the scene under a page takes the page off first and
    // then that scene; the page is forgotten at once, so a scene that later
    // takes its address is never mistaken for it.
    Core().SendMessageValues("QueueTutorial", &first);
    f.ui.Update(0.016f);
    ASSERT_EQ(f.Stack(), "b,tip");
    f.Request(Pop);
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "");
    f.Request(Push, "b");
    f.Request(Push, "tip");
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "b,tip");
    EXPECT_FALSE(f.ui.IsShowingTutorial());
    for (int i = 0; i < 3; ++i) f.ui.Update(10.0f);
    EXPECT_EQ(f.Stack(), "b,tip") << "the pushed scene is not taken for the page";
    EXPECT_EQ(first.GetShowCount(), 1);
}

// The HUD replaces itself with the lost or complete menu: a page showing
// over it goes first, and the menu takes the HUD's place, not the page's.
TEST(UiSystem, AReplacementDuringATutorialPageReplacesTheSceneUnderIt) {
    UiFixture f;
    f.Request(Push, "a");
    f.ui.Update(0.016f);
    TutorialRecord record;
    record.AddScene("tip", 5000, TutorialSceneInputs::Any);
    record.AddScene("tip", 5000, TutorialSceneInputs::Any);
    Core().SendMessageValues("QueueTutorial", &record);
    f.ui.Update(0.016f);
    ASSERT_EQ(f.Stack(), "a,tip");
    f.Request(Replace, "b");
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "b,tip") << "the page gone, a replaced; the record's second page follows";
    f.ui.Update(6.0f);
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "b");
    EXPECT_EQ(record.GetShowCount(), 1);
}

// Pages belong to play: "a" is the HUD, "b" the pause menu (the engine
// paused while it is up), "c" the lost or complete menu (no level runs).
TEST(UiSystem, TutorialPagesShowOnlyInPlayAndAreNotSeenUnderTheMenus) {
    GameSystem game;
    UiFixture f;
    f.world.engine.AddSystem(&game);
    game.OnGameReady();
    f.Request(Push, "a");
    TutorialRecord record;
    record.AddScene("tip", 5000, TutorialSceneInputs::Any);
    Core().SendMessageValues("QueueTutorial", &record);
    f.world.engine.SetPaused(true);
    f.ui.Update(0.0f);
    EXPECT_EQ(f.Stack(), "a") << "none starts while paused";
    f.world.engine.SetPaused(false);
    f.ui.Update(0.016f);
    f.Request(Push, "b");
    f.ui.Update(0.0f);
    EXPECT_EQ(f.Stack(), "a,tip,b");
    EXPECT_EQ(f.ui.ScenesToDraw(), (std::vector<UiScene*>{f.ui.GetStack()[0], f.ui.GetStack()[2]}));
    f.Request(Pop);
    f.ui.Update(4.9f);
    EXPECT_EQ(f.Stack(), "a,tip") << "back in play with the time it had left";
    game.OnPlayerDeath();
    f.ui.Update(0.016f);
    EXPECT_EQ(f.Stack(), "a") << "it goes when the level is lost";
    for (bool won : {false, true}) {
        if (won) {
            game.OnGameReady();
            game.OnGoalReached();
            game.Update(0.016f);  // past the last level: "GameComplete"
        }
        f.Request(Replace, "c");
        for (int i = 0; i < 10; ++i) f.ui.Update(1.0f);
        EXPECT_EQ(f.Stack(), "c") << "none over the menu; won: " << won;
    }
    EXPECT_EQ(record.GetShowCount(), 0);
}

// Answers the keys it holds; every other key is absent.
struct MapConfig : Serializer {
    std::map<std::string, std::string> values;
    bool SerializeString(const std::string& n, std::string* v) override { return Read(n, [&](auto& t) { *v = t; }); }
    bool SerializeFloat(const std::string&, float*) override { return false; }
    bool SerializeBool(const std::string& n, bool* v) override { return Read(n, [&](auto& t) { *v = t == "1"; }); }
    bool SerializeInt(const std::string&, int*) override { return false; }
    bool SerializeBlock(std::string&) override { return false; }
    bool IsReading() const override { return true; }
    bool IsWriting() const override { return false; }
    template <class F>
    bool Read(const std::string& n, F f) {
        auto it = values.find(n);
        if (it == values.end()) return false;
        f(it->second);
        return true;
    }
};

struct SendNames : MessageListenerTable::SendObserver {
    explicit SendNames(std::vector<std::string> wanted) : wanted(std::move(wanted)) {
        Core().GetTable().SetObserver(this);
    }
    ~SendNames() override { Core().GetTable().SetObserver(nullptr); }
    bool Wants(std::string_view n) const override {
        return std::find(wanted.begin(), wanted.end(), n) != wanted.end();
    }
    void OnSend(std::string_view n, const VariantList& args) override {
        std::string line(n);
        if (args.Size() == 1 && args[0].GetType() == MetaClassOf<bool>()) line += args[0].As<bool>() ? " on" : " off";
        sent.push_back(line);
    }
    std::vector<std::string> wanted;
    std::vector<std::string> sent;
};

TEST(UiSystem, DebugKeysToggleTheTutorialLockAndDriveTheLayoutEditor) {
    UiFixture f;
    MapConfig config;
    config.values = {{"start-scene", "b"}, {"debug", "1"}, {"tutorial-test", "intro"}};
    f.ui.SetStartScene("a");
    f.ui.LoadConfig(&config);
    EXPECT_EQ(f.ui.GetStartScene(), "a") << "a start scene set by the host stays";
    SendNames sends({"ShowTutorial", "UnlockTutorial", "LockTutorial"});
    f.ui.Update(0.016f);
    auto key = [](int k, bool down = true) { Core().SendMessageValues("KeyTriggered", k, down); };
    for (int i = 0; i < 3; ++i) key('L');
    key('T');
    EXPECT_EQ(sends.sent, (std::vector<std::string>{"UnlockTutorial", "LockTutorial", "UnlockTutorial", "ShowTutorial"}));

    UiElementBase* element = f.ui.GetTop()->FindElement("a-el");
    ASSERT_NE(element, nullptr);
    element->SetWidth(100);
    element->SetHeight(50);
    f.TakeLog();
    key('E');
    EXPECT_TRUE(f.ui.IsEditMode());
    EXPECT_EQ(f.ui.GetEditSelection(), element);
    key(38);  // up
    key(39);  // right
    EXPECT_EQ(f.TakeLog(), "") << "in edit mode keys reach no scene";
    EXPECT_FLOAT_EQ(element->GetY(), -1.0f);
    EXPECT_FLOAT_EQ(element->GetX(), 1.0f);
    key(16);  // shift: steps of 10
    key(17);  // control: resize
    key(38);
    key(37);
    key(17, false);
    key(16, false);
    EXPECT_FLOAT_EQ(element->GetHeight(), 60.0f);
    EXPECT_FLOAT_EQ(element->GetWidth(), 90.0f);
    EXPECT_EQ(f.ui.EditOverlayLines(), (std::vector<std::string>{"id: a-el", "pos: 1, -1", "dim: 90, 60"}));
    element->SetName(std::string(300, 'n'));
    EXPECT_EQ(f.ui.EditOverlayLines()[0].size(), UiSystem::kOverlayLineSize - 1) << "a long name is cut";

    // A pop takes the selection with its scene.
    f.Request(Pop);
    f.ui.Update(0.016f);
    EXPECT_EQ(f.ui.GetEditSelection(), nullptr);
    key('E');
    EXPECT_FALSE(f.ui.IsEditMode());
    key(65);
    EXPECT_EQ(f.TakeLog(), "detach a'|delete a'") << "nothing left to take the key";
}

}  // namespace
}  // namespace Ostrel
