// The game system's flow, headless: the levels world of LevelWorld.h, the
// game system added to its engine, frames of (object manager, game system)
// and a recorder of the global messages the flow speaks in.

#include "engine/world/GameSystem.h"

#include "LevelWorld.h"

#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Vec3.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/physics/HbvManager.h"
#include "engine/physics/Physics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

namespace Ostrel {
namespace {

using namespace LevelTest;

// One line per recorded send: the name, then the argument that matters.
class FlowRecorder : public MessageListenerTable::SendObserver {
public:
    bool Wants(std::string_view name) const override { return kNames.count(std::string(name)) != 0; }
    void OnSend(std::string_view name, const VariantList& args) override {
        std::string line(name);
        if (name == "SetTutorialsActive" || name == "ShowDebugUpdated") {
            line += args[0].As<bool>() ? " on" : " off";
        } else if (name == "ShowTutorial") {
            line += " " + *args[0].As<std::string*>();
        } else if (name == "PlayerHealthChanged") {
            line += " " + std::to_string(args[0].As<float>());
        } else if (name == "UiChangeScene") {
            line += " " + *args[0].As<std::string*>();
        } else if (name == "CameraFlyOver") {
            const Vec3* points = args[0].As<Vec3*>();
            const int count = args[1].As<int>();
            route.assign(points, points + count);
            line += " " + std::to_string(count);
        }
        lines.push_back(line);
    }
    // The lines recorded since the last call.
    std::vector<std::string> Take() { return std::exchange(lines, {}); }

    std::vector<std::string> lines;
    std::vector<Vec3> route;

private:
    inline static const std::set<std::string> kNames = {
        "ShowDebugUpdated", "GameComplete", "LevelLoadStarted", "SetTutorialsActive", "LevelLoaded",
        "PlayerHealthChanged", "StartFade", "UnlockAllTutorials", "GamePaused", "GameResumed",
        "GoalReached", "CameraFlyOver", "ShowTutorial", "UiChangeScene"};
};

using Lines = std::vector<std::string>;
const Lines kPrompts = {"ShowTutorial move-basic", "ShowTutorial use-qil-basic", "ShowTutorial use-dash",
                        "ShowTutorial use-qil-advanced", "ShowTutorial use-dash-advanced"};

std::string StartRoom(float exitX = 10) {
    return PortalRoom(0, kNone, exitX,
                      Object("spawner-Luvo", 0, 1, 0) + Object("spawner-qil-obj", -2, 1, 0) +
                          Object("spawner-camera", -5, 4, 0));
}

// Two levels of three rooms (start, middle, end) in a row; the middle room
// of "lvl-b" is drawn from two.
std::map<std::string, std::string> TwoLevels() {
    return {
        {"room-start.xrm", StartRoom()},
        {"room-mid.xrm", PortalRoom(1, 0, 10)},
        {"room-long.xrm", PortalRoom(2, 0, 30)},
        {"room-end.xrm", PortalRoom(0, 0, kNone)},
        {"lvl-a.rmp", "name: First\nordered room-start room-mid room-end"},
        {"lvl-b.rmp", "name: Second\nordered room-start\nrandom 1 1 room-mid room-long\nordered room-end"},
        {"order.xlod", "<lvl-a/><lvl-b/>"},
    };
}

class Flow {
public:
    explicit Flow(const std::map<std::string, std::string>& files, const std::vector<std::string>& archetypes = {})
        : world(files, "", archetypes) {
        world.engine.AddSystem(&world.game);
        world.resources.RegisterLoader(kKindLevelOrder, LoadLevelOrderResource);
        world.core.GetTable().SetObserver(&rec);
        world.game.Initialize();
    }
    ~Flow() {
        world.game.Shutdown();
        world.core.GetTable().SetObserver(nullptr);
    }
    void Frame(f32 dt = 0.25f) {
        world.objects.Update(dt);
        world.game.Update(dt);
    }
    void Send(const char* name) { world.core.Send(name); }
    // Fresh start, the two load updates and "GameReady"; the lines are taken.
    void ReadyFirstLevel() {
        Send("GameFreshStart");
        Frame();
        Frame();
        Send("GameReady");
        rec.Take();
    }

    LevelWorld world;
    FlowRecorder rec;
    GameSystem& game = world.game;
};

TEST(GameFlow, FreshStartLoadsFliesOverPromptsAndRunsThroughTheLevelsToTheEnd) {
    Flow flow(TwoLevels());
    EXPECT_EQ(flow.rec.Take(), Lines{"ShowDebugUpdated off"});
    flow.game.SetLevelNames({"stale"});

    flow.Send("GameFreshStart");
    EXPECT_EQ(flow.game.GetLevelNames(), (Lines{"lvl-a", "lvl-b"})) << "the level order is read again";
    EXPECT_EQ(flow.rec.Take(), Lines{"UnlockAllTutorials"});

    flow.Frame();  // the reload update builds and places the level
    EXPECT_EQ(flow.rec.Take(), (Lines{"LevelLoadStarted", "SetTutorialsActive off"}));
    EXPECT_EQ(flow.world.level.GetRoomCount(), 3);
    EXPECT_EQ(flow.world.level.GetTitle(), "First");
    EXPECT_EQ(flow.game.GetFlyOverTargets().size(), 5u) << "four portals and the player's spawner";
    flow.Frame();
    EXPECT_EQ(flow.rec.Take(), (Lines{"LevelLoaded", "PlayerHealthChanged 1.000000"}));
    flow.Frame();
    EXPECT_TRUE(flow.rec.Take().empty()) << "waiting for GameReady";

    flow.Send("GameReady");
    EXPECT_EQ(flow.game.GetCountdown(), 2);
    flow.Frame();
    EXPECT_TRUE(flow.rec.Take().empty()) << "one frame of the countdown";
    flow.Frame(0.0f);  // frames count, not seconds
    EXPECT_EQ(flow.rec.Take(), Lines{"CameraFlyOver 3"});
    // Portals meet where rooms join: x 20, 20, 10, 10 and the spawner at 0.
    ASSERT_EQ(flow.rec.route.size(), 3u);
    EXPECT_EQ(flow.rec.route[0], Vec3(20, 0, 0));
    EXPECT_EQ(flow.rec.route[1], Vec3(10, 0, 0));
    EXPECT_EQ(flow.rec.route[2], Vec3(0, 1, 0));
    EXPECT_TRUE(flow.game.IsFlyOverRunning());
    for (int i = 0; i < 5; ++i) flow.Frame(1.0f);
    EXPECT_TRUE(flow.rec.Take().empty()) << "no prompts during the fly-over";

    flow.Send("CameraPathFinished");
    flow.Frame(0.0f);
    EXPECT_TRUE(flow.rec.Take().empty()) << "the timer must fall strictly below 0";
    flow.Frame(0.5f);
    EXPECT_EQ(flow.rec.Take(), kPrompts);
    for (int i = 0; i < 20; ++i) flow.Frame(0.5f);  // exactly 10 s: not yet below 0
    EXPECT_TRUE(flow.rec.Take().empty());
    flow.Frame(0.5f);
    EXPECT_EQ(flow.rec.Take(), kPrompts);

    flow.Send("GoalReached");
    flow.Frame();
    EXPECT_EQ(flow.rec.Take(), (Lines{"GoalReached", "LevelLoadStarted", "SetTutorialsActive off"}));
    EXPECT_EQ(flow.game.GetLevelIndex(), 1u);
    EXPECT_EQ(flow.world.level.GetTitle(), "Second");
    EXPECT_EQ(flow.game.GetReadyCount(), 0u) << "a new layout";
    EXPECT_FALSE(flow.game.IsLevelRunning());
    flow.Frame();
    flow.Send("GameReady");
    flow.Frame();
    flow.Frame();
    EXPECT_EQ(flow.rec.Take(), (Lines{"LevelLoaded", "PlayerHealthChanged 1.000000", "CameraFlyOver 3"}))
        << "the old level's targets left with its objects";

    flow.Send("GoalReached");
    flow.Frame();
    EXPECT_EQ(flow.rec.Take(), (Lines{"GoalReached", "GameComplete"}));
    EXPECT_EQ(flow.game.GetLevelIndex(), 0u);
    EXPECT_TRUE(flow.game.GetLevelNames().empty());
    EXPECT_FALSE(flow.game.IsReloading());
    flow.Frame();
    EXPECT_TRUE(flow.rec.Take().empty());
    flow.Send("GoalReached");
    flow.Frame();
    EXPECT_EQ(flow.rec.Take(), (Lines{"GoalReached", "GameComplete"})) << "until the level order is read again";
}

TEST(GameFlow, RetryTwiceInOneFrameReloadsOnceWithTheSameRoomsAndNoFlyOver) {
    Flow flow(TwoLevels());
    flow.ReadyFirstLevel();
    flow.Frame();
    flow.Frame();
    flow.rec.Take();
    flow.Send("CameraPathFinished");
    const std::vector<float> ends = flow.world.level.GetRoomEnds();
    const std::size_t targets = flow.game.GetFlyOverTargets().size();

    flow.world.core.SendMessageUInt("PlayerDeath", 7u);
    EXPECT_EQ(flow.rec.Take(), Lines{"StartFade"});
    EXPECT_FALSE(flow.game.IsLevelRunning());
    // A scene's send-message handler sends it bare, and sends only to
    // listeners that take no arguments: the death fade starts just the same.
    for (const FunctionRef& listener : flow.world.core.GetTable().GetListeners("PlayerDeath"))
        EXPECT_EQ(listener->GetArgCount(), 0);
    flow.Send("PlayerDeath");
    EXPECT_EQ(flow.rec.Take(), Lines{"StartFade"});
    flow.Send("GameLevelRetry");
    flow.Send("GameLevelRetry");
    flow.Frame();
    flow.Frame();
    flow.Frame();
    EXPECT_EQ(flow.rec.Take(), (Lines{"LevelLoadStarted", "SetTutorialsActive off", "LevelLoaded",
                                      "PlayerHealthChanged 1.000000"}));
    EXPECT_EQ(flow.world.level.GetRoomEnds(), ends);
    EXPECT_EQ(flow.game.GetFlyOverTargets().size(), targets) << "the old copies' ids went with them";

    flow.Send("GameReady");
    EXPECT_EQ(flow.rec.Take(), Lines{"SetTutorialsActive on"});
    EXPECT_EQ(flow.game.GetCountdown(), -1);
    flow.Frame(0.1f);
    EXPECT_EQ(flow.rec.Take(), kPrompts) << "tutorials at once, no second fly-over";

    flow.Send("GameLevelRestart");
    flow.Frame();
    flow.Frame();
    flow.Send("GameReady");
    EXPECT_EQ(flow.game.GetCountdown(), 2) << "a restart lays out anew and flies over again";
}

// A level whose room the checks refuse is no empty level to play: the old
// level's objects go, nothing loads, and the UI is sent to the refusal
// screen, which asks why. Quitting a level drops what it had under way.
TEST(GameFlow, ARefusedLevelStartsNoPlayAndAQuitLevelLeavesNothingBehind) {
    std::map<std::string, std::string> files = TwoLevels();
    files["room-blind.xrm"] = PortalRoom(1, kNone, kNone);
    files["lvl-b.rmp"] = "name: Second\nordered room-start room-blind room-end";
    Flow flow(files);
    flow.ReadyFirstLevel();
    ASSERT_FALSE(flow.world.objects.GetLiveObjects().empty());
    flow.Send("GoalReached");
    flow.Frame();
    EXPECT_EQ(flow.rec.Take(),
              (Lines{"GoalReached", "LevelLoadStarted", "SetTutorialsActive off", "UiChangeScene level-refused"}));
    EXPECT_TRUE(flow.world.objects.GetLiveObjects().empty()) << "the first level's objects went";
    for (int i = 0; i < 3; ++i) flow.Frame();
    EXPECT_TRUE(flow.rec.Take().empty()) << "no load, no health, no play";
    EXPECT_FALSE(flow.game.IsLevelRunning());
    std::string why;
    flow.world.core.SendMessageStringPtr("QueryLevelRefusal", &why);
    EXPECT_EQ(why, "The level 'lvl-b' could not be built: Room [room-blind] has no entrance or exit");

    // Quit between "GameReady" and the fly-over: the countdown goes with it.
    flow.ReadyFirstLevel();
    EXPECT_EQ(flow.game.GetCountdown(), 2);
    flow.Send("GameEnding");
    for (int i = 0; i < 4; ++i) flow.Frame();
    EXPECT_TRUE(flow.rec.Take().empty()) << "no fly-over over the main menu";
    EXPECT_FALSE(flow.game.IsLevelRunning());
}

// "+id" per "ObjectCreated", "-id" per "ObjectDestroyed", in order.
struct LifeRecorder {
    explicit LifeRecorder(CoreSystem& c) : core(c) {
        core.Listen("ObjectCreated", MakeDelegate(this, &LifeRecorder::OnCreated));
        core.Listen("ObjectDestroyed", MakeDelegate(this, &LifeRecorder::OnDestroyed));
    }
    ~LifeRecorder() {
        core.Unlisten("ObjectCreated", MakeDelegate(this, &LifeRecorder::OnCreated));
        core.Unlisten("ObjectDestroyed", MakeDelegate(this, &LifeRecorder::OnDestroyed));
    }
    void OnCreated(u32 id) { events.emplace_back('+', id); }
    void OnDestroyed(u32 id) { events.emplace_back('-', id); }
    CoreSystem& core;
    std::vector<std::pair<char, u32>> events;
};

// A listener that keeps the first object of a kind (the frame's camera)
// must see the old level go before the new one comes, on a retry and on
// the next level alike, all within the load's frame.
TEST(GameFlow, ALoadEndsEveryOldObjectBeforeItAnnouncesTheNewOnes) {
    Flow flow(TwoLevels());
    flow.ReadyFirstLevel();
    for (const char* load : {"GameLevelRetry", "GoalReached"}) {
        const std::vector<u32> old = flow.world.objects.GetLiveObjects();
        ASSERT_FALSE(old.empty());
        LifeRecorder life(flow.world.core);
        flow.Send(load);
        flow.Frame();
        const std::vector<u32>& now = flow.world.objects.GetLiveObjects();
        ASSERT_EQ(life.events.size(), old.size() + now.size()) << load;
        for (std::size_t i = 0; i < life.events.size(); ++i) {
            const auto [kind, id] = life.events[i];
            const bool wasOld = std::find(old.begin(), old.end(), id) != old.end();
            EXPECT_EQ(kind, i < old.size() ? '-' : '+') << load << ", event " << i;
            EXPECT_EQ(wasOld, kind == '-') << load << ", event " << i;
        }
        flow.Frame();
        EXPECT_EQ(life.events.size(), old.size() + now.size()) << load << ": nothing left for the next frame";
        flow.Send("GameReady");
    }
}

// Makes one object (a boss's leftover: a death effect, a drop) when the
// first object of a level is destroyed.
struct LeftoverMaker {
    explicit LeftoverMaker(LevelWorld& w) : world(w) {
        world.core.Listen("ObjectDestroyed", MakeDelegate(this, &LeftoverMaker::OnDestroyed));
    }
    ~LeftoverMaker() { world.core.Unlisten("ObjectDestroyed", MakeDelegate(this, &LeftoverMaker::OnDestroyed)); }
    void OnDestroyed(u32) {
        if (leftover == 0) leftover = world.objects.CreateObject("wall-obj", nullptr);
    }
    LevelWorld& world;
    u32 leftover = 0;
};

// What the old objects make while a retry clears them must not outlive them:
// the retried level holds exactly the objects of a fresh one.
TEST(GameFlow, ARetryLeavesNothingTheOldLevelMadeAsItWent) {
    Flow flow(TwoLevels());
    flow.ReadyFirstLevel();
    const std::size_t fresh = flow.world.objects.GetLiveObjects().size();
    LeftoverMaker maker(flow.world);
    flow.Send("GameLevelRetry");
    flow.Frame();
    ASSERT_NE(maker.leftover, 0u);
    EXPECT_EQ(flow.world.objects.GetObject(maker.leftover), nullptr);
    EXPECT_EQ(flow.world.objects.GetLiveObjects().size(), fresh);
}

TEST(GameFlow, PauseIsSentOnChangesOnlyAndDebugKeysActOnPressWhenAllowed) {
    Flow flow(TwoLevels());
    flow.rec.Take();
    flow.world.core.SendMessageBool("UiPause", true);
    flow.world.core.SendMessageBool("UiPause", true);
    EXPECT_TRUE(flow.world.engine.IsPaused());
    flow.world.core.SendMessageBool("UiPause", false);
    flow.world.core.SendMessageBool("UiPause", false);
    EXPECT_FALSE(flow.world.engine.IsPaused());
    EXPECT_EQ(flow.rec.Take(), (Lines{"GamePaused", "GameResumed"}));

    flow.world.core.SendMessageValueBool("KeyTriggered", 85, false);
    flow.world.core.SendMessageValueBool("KeyTriggered", 84, true);
    EXPECT_TRUE(flow.rec.Take().empty());
    flow.world.core.SendMessageValueBool("KeyTriggered", 85, true);
    EXPECT_EQ(flow.rec.Take(), Lines{"GoalReached"});
    EXPECT_EQ(flow.game.GetLevelIndex(), 1u);

    flow.game.LoadConfig(nullptr);
    EXPECT_TRUE(flow.game.AreDebugKeysEnabled()) << "no configuration keeps the default";
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.LoadFromText("<GameSystem><debug>0</debug></GameSystem>"));
    flow.game.LoadConfig(&config);
    EXPECT_FALSE(flow.game.AreDebugKeysEnabled());
    flow.world.core.SendMessageValueBool("KeyTriggered", 85, true);
    EXPECT_TRUE(flow.rec.Take().empty());
    EXPECT_EQ(flow.game.GetLevelIndex(), 1u);
}

TEST(GameFlow, QueriesAnswerFromTheBuiltLevelAndACheckpointMovesTheSpawners) {
    Flow flow(TwoLevels());
    flow.ReadyFirstLevel();
    int rooms = 0;
    flow.world.core.SendMessageValues("QueryRoomCount", &rooms);
    EXPECT_EQ(rooms, 3);
    int room = 0;
    const Vec3 inMiddle(15, 0, 0);
    flow.world.core.SendMessageValues("QueryCurrentRoom", inMiddle, &room);
    EXPECT_EQ(room, 2);
    std::string title;
    flow.world.core.SendMessageStringPtr("QueryLevelTitle", &title);
    EXPECT_EQ(title, "First");
    flow.world.core.SendMessageVec3("CheckpointUpdated", Vec3(12, 7, 3));
    EXPECT_EQ(flow.world.level.GetPlayerSpawner()->GetTransform()->GetPosition(), Vec3(12, 1, 3));
}

// The camera cannot fly a route of one point and would never report its end.
TEST(GameFlow, ALevelWithFewerThanTwoFlyOverPointsStillTurnsTheTutorialsOn) {
    Flow flow({
        {"room-start.xrm", PortalRoom(0, kNone, 0,
                                      Object("spawner-Luvo", 0, 0, 0) + Object("spawner-qil-obj", -2, 1, 0) +
                                          Object("spawner-camera", -5, 4, 0))},
        {"lvl-a.rmp", "ordered room-start"},
        {"order.xlod", "<lvl-a/>"},
    });
    flow.ReadyFirstLevel();
    EXPECT_EQ(flow.game.GetFlyOverTargets().size(), 2u);
    flow.Frame();
    EXPECT_TRUE(flow.rec.Take().empty());
    flow.Frame();
    Lines expected{"SetTutorialsActive on"};  // as when a route ends, and no route sent
    expected.insert(expected.end(), kPrompts.begin(), kPrompts.end());
    EXPECT_EQ(flow.rec.Take(), expected);
    EXPECT_FALSE(flow.game.IsFlyOverRunning());
    EXPECT_TRUE(flow.world.Logged("the level has 1 fly-over point(s); the fly-over is skipped"));
}

TEST(GameFlow, FlyOverDropsGoneTargetsByMovingTheLastIdIntoPlace) {
    Flow flow(TwoLevels());
    flow.ReadyFirstLevel();
    std::vector<u32> ids = flow.game.GetFlyOverTargets();
    ASSERT_EQ(ids.size(), 5u);
    // Without its subscriptions the system does not hear the destruction.
    flow.game.Shutdown();
    flow.world.objects.DestroyObject(ids[0]);
    flow.world.objects.DestroyObject(ids[4]);
    flow.world.objects.DestroyObject(ids[3]);
    flow.world.objects.Update(0.0f);
    flow.game.Update(0.0f);
    flow.game.Update(0.0f);
    // [0 1 2 3 4]: 0 gone, 4 moves in and is gone, 3 moves in and is gone.
    EXPECT_EQ(flow.game.GetFlyOverTargets(), (std::vector<u32>{ids[2], ids[1]}));
}

// The built level reaches the collision world and the volume hierarchy the
// way the loading screen drives them: the jobs of "RequestBackgroundLoadTargets",
// collected after "LevelLoaded", run on a worker thread.
TEST(GameFlow, ALoadedLevelFillsTheCollisionGridAndTheVolumeHierarchy) {
    const std::string walls = Object("wall-obj", 3, 0, 0) + Object("wall-obj", 6, 0, 0);
    Flow flow({
        {"room-start.xrm", PortalRoom(0, kNone, 10,
                                      walls + Object("spawner-Luvo", 0, 1, 0) + Object("spawner-qil-obj", -2, 1, 0) +
                                          Object("spawner-camera", -5, 4, 0))},
        {"room-end.xrm", PortalRoom(0, 0, kNone, Object("wall-obj", 4, 0, 0))},
        {"lvl-a.rmp", "ordered room-start room-end"},
        {"order.xlod", "<lvl-a/>"},
    });
    HbvManager hbv;
    Physics physics;
    flow.world.engine.AddSystem(&physics);
    hbv.Initialize();
    physics.Initialize();

    flow.Send("GameFreshStart");
    flow.Frame();
    EXPECT_TRUE(hbv.IsCollecting()) << "between LevelLoadStarted and LevelLoaded";
    flow.Frame();
    EXPECT_FALSE(hbv.IsCollecting());
    EXPECT_FALSE(physics.GetCollisionWorld().IsGridReady());
    std::vector<FunctionRef> jobs;
    flow.world.core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
    ASSERT_EQ(jobs.size(), 2u);
    std::thread loader([&jobs] {
        for (const FunctionRef& job : jobs) job->Call();
    });
    loader.join();

    EXPECT_TRUE(physics.GetCollisionWorld().IsGridReady());
    EXPECT_EQ(physics.GetCollisionWorld().GetStaticCount(), 3u);
    EXPECT_EQ(hbv.GetObjectCount(), 3u) << "the three walls' meshes";
    physics.Shutdown();
    hbv.Shutdown();
}

// A falling body that resolves against statics (the player) lands on a
// built level's floor and stays there: first while detection still walks
// every static, then once the load's jobs have filled the grid.
TEST(GameFlow, AGravityBodyStandsOnABuiltLevelsFloorBeforeAndAfterTheGrid) {
    const std::string floor = Object("slab-obj", 0, 0, 0) + Object("slab-obj", 4, 0, 0);
    // The shipped floor's and player's collision flags.
    const std::string body = ComponentTest::WriteScratchFile("flow-faller.xobj", R"(
<slab-obj>
    <TransformComponent/><MeshComponent><MeshID>Wide</MeshID></MeshComponent>
    <CollisionComponent><Static>1</Static><CollideWithDynamics>1</CollideWithDynamics>
        <ResolveWithDynamics>1</ResolveWithDynamics></CollisionComponent>
</slab-obj>
<faller-obj>
    <TransformComponent/><MeshComponent><MeshID>Cube</MeshID></MeshComponent>
    <MovementComponent><Gravity>1</Gravity><Drag>1</Drag></MovementComponent>
    <CollisionComponent><Static>0</Static><CollideWithDynamics>1</CollideWithDynamics>
        <CollideWithStatics>1</CollideWithStatics><ResolveWithDynamics>1</ResolveWithDynamics>
        <ResolveWithStatics>1</ResolveWithStatics></CollisionComponent>
</faller-obj>)");
    Flow flow({{"room-start.xrm", PortalRoom(0, kNone, 10, floor + Object("faller-obj", 1, 3, 0) + Object("faller-obj", 2, 5, 0) +
                                                              Object("spawner-Luvo", 0, 1, 0) + Object("spawner-qil-obj", -1, 1, 0) +
                                                              Object("spawner-camera", -5, 4, 0))},
               {"lvl-a.rmp", "ordered room-start"},
               {"order.xlod", "<lvl-a/>"}},
              {body});
    HbvManager hbv;
    Physics physics;
    PhysicsSettings settings;
    settings.gravity = -30.0f;
    settings.drag = 0.9f;
    physics.SetSettings(settings);
    flow.world.engine.AddSystem(&physics);
    hbv.Initialize();
    physics.Initialize();
    flow.Send("GameFreshStart");
    flow.Frame();
    flow.Frame();
    std::vector<u32> fallers;
    flow.world.objects.FindObjectsWithComponent(MovementComponent::kTypeId, fallers);
    ASSERT_EQ(fallers.size(), 2u) << flow.world.log;  // one over a slab, one over the seam of two
    const float floorTop = 0.5f;  // "Wide" is 1 high, centred on y 0
    auto height = [&](u32 id) { return flow.world.objects.GetObject(id)->GetTransform()->GetPosition().y; };
    auto run = [&](int frames) {
        float lowest = std::min(height(fallers[0]), height(fallers[1]));
        for (int i = 0; i < frames; ++i) {
            flow.world.objects.Update(1.0f / 60.0f);
            physics.Update(1.0f / 60.0f);
            flow.game.Update(1.0f / 60.0f);
            lowest = std::min({lowest, height(fallers[0]), height(fallers[1])});
        }
        return lowest;
    };
    ASSERT_FALSE(physics.GetCollisionWorld().IsGridReady());
    EXPECT_GT(run(90), floorTop - 0.1f) << "without the grid";
    for (u32 id : fallers) EXPECT_NEAR(height(id), floorTop + 0.5f, 0.1f) << "resting on the floor";

    std::vector<FunctionRef> jobs;
    flow.world.core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
    for (const FunctionRef& job : jobs) job->Call();
    ASSERT_TRUE(physics.GetCollisionWorld().IsGridReady());
    EXPECT_GT(run(120), floorTop - 0.1f) << "with the grid";
    for (u32 id : fallers) EXPECT_NEAR(height(id), floorTop + 0.5f, 0.1f) << "still resting";
    physics.Shutdown();
    hbv.Shutdown();
}

}  // namespace
}  // namespace Ostrel
