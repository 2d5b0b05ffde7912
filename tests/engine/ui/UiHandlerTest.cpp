// The stock handlers on real scenes and elements: when they fire, what they
// raise or send, and how they arm again. The scripted setters go through a
// scene file.

#include "engine/core/Engine.h"
#include "engine/ui/UiEventHandlers.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiSystem.h"

#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Ostrel {
namespace {

using Testing::Core;
using Testing::LogCapture;
using Testing::UiWorld;

// Events raised on one owner, as "name" lines.
struct EventLog {
    void Watch(UiBase& owner, const std::string& name) {
        auto* f = new Forward{this, name};
        forwards.emplace_back(f);
        owner.Listen(name, MakeDelegate(f, &Forward::On));
    }
    struct Forward {
        EventLog* log;
        std::string name;
        void On() { log->lines.push_back(name); }
    };
    std::vector<std::unique_ptr<Forward>> forwards;
    std::vector<std::string> lines;
};

// Every global send of the wanted names, with a bool argument shown.
struct Sends : MessageListenerTable::SendObserver {
    explicit Sends(std::vector<std::string> wanted) : wanted(std::move(wanted)) {
        Core().GetTable().SetObserver(this);
    }
    ~Sends() override { Core().GetTable().SetObserver(nullptr); }
    bool Wants(std::string_view n) const override {
        return std::find(wanted.begin(), wanted.end(), n) != wanted.end();
    }
    void OnSend(std::string_view n, const VariantList& args) override {
        std::string line(n);
        if (args.Size() == 1 && args[0].GetType() == MetaClassOf<bool>()) line += args[0].As<bool>() ? " on" : " off";
        if (args.Size() == 2) line += " " + *args[0].As<std::string*>() + " " + std::to_string(args[1].As<int>());
        lines.push_back(line);
    }
    std::vector<std::string> wanted;
    std::vector<std::string> lines;
};

void Tick(float dt) {
    Core().SendMessageFloat("UiTimeUpdate", dt);
}

struct HandlerFixture {
    template <class T>
    T* Add(T* handler) {
        scene.AddHandler(handler);
        return handler;
    }
    UiWorld world;
    UiScene scene;
    EventLog events;
};

TEST(UiHandlers, TimerFiresOnlyWhenStrictlyPastItsTimeoutAndRepeatsWhenTold) {
    HandlerFixture f;
    auto* once = f.Add(new UiTimerHandler);
    once->SetTimeout(2.0f);
    once->SetRaiseEvent("Once");
    auto* every = f.Add(new UiTimerHandler);
    every->SetRepeating(true);
    every->SetRaiseEvent("Every");
    f.events.Watch(f.scene, "Once");
    f.events.Watch(f.scene, "Every");
    f.scene.Enter();
    for (int i = 0; i < 4; ++i) Tick(0.5f);
    EXPECT_EQ(std::count(f.events.lines.begin(), f.events.lines.end(), "Once"), 0) << "elapsed 2 is not past 2";
    EXPECT_EQ(std::count(f.events.lines.begin(), f.events.lines.end(), "Every"), 4) << "timeout 0 fires on every dt > 0";
    Tick(0.5f);
    EXPECT_EQ(std::count(f.events.lines.begin(), f.events.lines.end(), "Once"), 1);
    EXPECT_FALSE(once->IsActive());
    EXPECT_FLOAT_EQ(once->GetElapsed(), 0.0f);
    Tick(0.0f);
    EXPECT_EQ(std::count(f.events.lines.begin(), f.events.lines.end(), "Every"), 5) << "dt 0 is not past 0";
    for (int i = 0; i < 5; ++i) Tick(1.0f);  // inactive: time still runs
    f.events.lines.clear();
    f.scene.SetActive(true);
    Tick(0.01f);
    EXPECT_EQ(std::count(f.events.lines.begin(), f.events.lines.end(), "Once"), 1)
        << "re-armed, it fires on the first update since the time passed meanwhile";
    f.scene.Leave();
    EXPECT_EQ(f.world.GlobalListeners(), 0u);
}

TEST(UiHandlers, KeyHandlersFireOnceOnPressesUntilReArmed) {
    HandlerFixture f;
    auto* any = f.Add(new UiAnyKeyHandler);
    auto* keys = f.Add(new UiKeyHandler);
    keys->SetRaiseEvent("Confirm");
    keys->AddKey(13);
    keys->AddKey(271);
    f.events.Watch(f.scene, "UiAnyKeyTriggered");
    f.events.Watch(f.scene, "Confirm");
    f.scene.Enter();
    f.scene.OnKey(27, false);
    EXPECT_TRUE(f.events.lines.empty()) << "releases are ignored";
    f.scene.OnKey(27, true);
    f.scene.OnKey(32, true);
    EXPECT_EQ(f.events.lines, std::vector<std::string>{"UiAnyKeyTriggered"});
    f.scene.OnKey(13, true);
    f.scene.OnKey(271, true);
    EXPECT_EQ(f.events.lines, (std::vector<std::string>{"UiAnyKeyTriggered", "Confirm"}));
    EXPECT_FALSE(any->IsActive());
    EXPECT_FALSE(keys->IsActive());
    f.scene.SetActive(true);
    f.scene.OnKey(271, true);
    EXPECT_EQ(f.events.lines.size(), 4u) << "re-armed, both fire once more";
    f.scene.Leave();
}

TEST(UiHandlers, SceneLevelSendersDeactivateTheRootSoOnlyTheFirstFires) {
    for (bool deactivate : {true, false}) {
        HandlerFixture f;
        Sends sends({"GameFreshStart", "StopLoop", "GameReady"});
        auto* start = f.Add(new UiSendMessageHandler);
        start->SetResponseEvent("Go");
        start->SetRaiseEvent("GameFreshStart");
        start->SetDeactivateOnSend(deactivate);
        auto* quit = f.Add(new UiSendMessageHandler);
        quit->SetResponseEvent("Go");
        quit->SetRaiseEvent("StopLoop");
        quit->SetDeactivateOnSend(deactivate);
        auto* now = f.Add(new UiSendMessageHandler);
        now->SetRaiseEvent("GameReady");
        now->SetActive(false);
        f.scene.Enter();
        EXPECT_EQ(sends.lines, std::vector<std::string>{"GameReady"}) << "no response event: sent at Start";
        f.scene.RaiseEvent("Go");
        if (deactivate) {
            EXPECT_EQ(sends.lines, (std::vector<std::string>{"GameReady", "GameFreshStart"}));
            EXPECT_FALSE(f.scene.IsActive());
        } else {
            EXPECT_EQ(sends.lines, (std::vector<std::string>{"GameReady", "GameFreshStart", "StopLoop"}));
        }
        f.scene.Leave();
    }
}

// Takes "UiPause"(bool) as the game system does.
struct PauseListener {
    PauseListener() { Core().Listen("UiPause", MakeDelegate(this, &PauseListener::On)); }
    ~PauseListener() { Core().Unlisten("UiPause", MakeDelegate(this, &PauseListener::On)); }
    void On(bool paused) { calls.push_back(paused); }
    std::vector<bool> calls;
};

TEST(UiHandlers, AMessageWhoseListenersTakeArgumentsIsRefusedAndLogged) {
    HandlerFixture f;
    LogCapture capture;
    PauseListener pause;
    auto* send = f.Add(new UiSendMessageHandler);
    send->SetRaiseEvent("UiPause");
    f.scene.Enter();
    EXPECT_TRUE(pause.calls.empty());
    EXPECT_NE(capture.All().find("UiSendMessageHandler: message 'UiPause' takes arguments"), std::string::npos)
        << capture.All();
    f.scene.Leave();
}

TEST(UiHandlers, SceneChangeSendsItsTargetAndMethodAndTheSystemRecordsIt) {
    HandlerFixture f;
    UiSystem ui;
    f.world.engine.AddSystem(&ui);
    ui.Initialize();
    UiSceneManager scenes;
    scenes.CreateTemplate("options")->SetName("options");
    Sends sends({"UiChangeScene"});
    auto* change = f.Add(new UiSceneChangeHandler);
    change->SetTargetScene("options");
    change->SetResponseEvent("Open");
    change->SetSceneChangeMethod(UiSceneChangeMethod::Goto);
    f.scene.Enter();
    f.scene.RaiseEvent("UiChangeScene");
    EXPECT_TRUE(sends.lines.empty()) << "it listens for its own response event only";
    f.scene.RaiseEvent("Open");
    f.scene.RaiseEvent("Open");
    EXPECT_EQ(sends.lines, std::vector<std::string>{"UiChangeScene options 3"}) << "deactivated after the first";
    ui.Update(0.016f);
    ASSERT_EQ(ui.GetStack().size(), 1u);
    EXPECT_EQ(ui.GetTop()->GetName(), "options");
    f.scene.Leave();
    ui.Shutdown();
}

TEST(UiHandlers, BobMovesItsOwnerOnASineAndAForcedSignKeepsItOnOneSide) {
    struct Case {
        float forceSign;
        float low, high;
    };
    for (const Case& c : {Case{0.0f, -10.0f, 10.0f}, Case{1.0f, 0.0f, 10.0f}, Case{-1.0f, -10.0f, 0.0f},
                          Case{-0.5f, -10.0f, 10.0f}}) {
        HandlerFixture f;
        auto solid = std::make_unique<UiSolid>();
        solid->SetY(100.0f);
        UiSolid* element = solid.get();
        auto* bob = new UiBobHandler;
        bob->ForceSign(c.forceSign);
        element->AddHandler(bob);
        f.scene.AddElement(std::move(solid));
        f.scene.Enter();
        float low = 1e9f, high = -1e9f;
        for (int i = 0; i < 40; ++i) {
            Tick(0.05f);
            low = std::min(low, element->GetY() - 100.0f);
            high = std::max(high, element->GetY() - 100.0f);
        }
        EXPECT_NEAR(low, c.low, 0.2f) << "force sign " << c.forceSign;
        EXPECT_NEAR(high, c.high, 0.2f) << "force sign " << c.forceSign;
        EXPECT_FLOAT_EQ(bob->GetBase(), 100.0f);
        f.scene.Leave();
    }
}

TEST(UiHandlers, BobWithLengthZeroLeavesItsOwnerAtItsBase) {
    HandlerFixture f;
    auto solid = std::make_unique<UiSolid>();
    solid->SetY(40.0f);
    UiSolid* element = solid.get();
    auto* bob = new UiBobHandler;
    bob->SetLength(0.0f);
    element->AddHandler(bob);
    f.scene.AddElement(std::move(solid));
    f.scene.Enter();
    for (int i = 0; i < 3; ++i) Tick(0.02f);
    EXPECT_FLOAT_EQ(element->GetY(), 40.0f);
    EXPECT_FALSE(std::isnan(element->GetY()));
    f.scene.Leave();
}

TEST(UiHandlers, PauseSendsCaptureBeforePauseAtStartAndAtDetach) {
    HandlerFixture f;
    Sends sends({"UiCaptureInput", "UiPause"});
    f.Add(new UiPauseHandler);
    f.scene.Enter();
    EXPECT_EQ(sends.lines, (std::vector<std::string>{"UiCaptureInput on", "UiPause on"}));
    f.scene.Leave();
    EXPECT_EQ(sends.lines,
              (std::vector<std::string>{"UiCaptureInput on", "UiPause on", "UiCaptureInput off", "UiPause off"}));
}

TEST(UiHandlers, ClonesCopyTheConfigurationAndAreArmed) {
    HandlerFixture f;
    auto* keys = f.Add(new UiKeyHandler);
    keys->AddKey(65);
    keys->SetRaiseEvent("K");
    keys->SetActive(false);
    auto* bob = new UiBobHandler;
    bob->SetActive(false);
    std::unique_ptr<UiEventHandler> keyCopy = keys->Clone();
    std::unique_ptr<UiEventHandler> bobCopy = bob->Clone();
    delete bob;
    EXPECT_TRUE(static_cast<UiKeyHandler&>(*keyCopy).IsActive());
    UiScene other;
    other.AddHandler(keyCopy.release());
    f.events.Watch(other, "K");
    other.Enter();
    other.OnKey(66, true);
    other.OnKey(65, true);
    EXPECT_EQ(f.events.lines, std::vector<std::string>{"K"});
    other.Leave();
    // A bob clone keeps the flag it was cloned with: inactive, it never moves
    // its owner.
    UiScene third;
    auto solid = std::make_unique<UiSolid>();
    solid->SetY(5.0f);
    UiSolid* element = solid.get();
    element->AddHandler(bobCopy.release());
    third.AddElement(std::move(solid));
    third.Enter();
    Tick(0.25f);
    EXPECT_FLOAT_EQ(element->GetY(), 5.0f);
    third.Leave();
}

}  // namespace
}  // namespace Ostrel
