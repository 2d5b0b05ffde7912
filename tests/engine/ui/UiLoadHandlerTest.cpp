// The loading handlers: the level handler's jobs on a worker, its single
// completion event, a scene left mid-load, a second start message, its
// configured names; the resource handler's background load joined at the
// UI system's shutdown. scripts/tsan.sh runs these under ThreadSanitizer.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/base/RunSwitches.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/HbvManager.h"
#include "engine/physics/Physics.h"
#include "engine/resources/ResourceManager.h"
#include "engine/ui/UiEventHandlers.h"
#include "engine/ui/UiLoadHandlers.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiSystem.h"
#include "tests/engine/ui/UiTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Testing;

namespace {

// A job handed out on the request message; it waits at its gate while
// closed, so a test can look at a worker that is still running.
struct GatedJob {
    std::atomic<bool> open{true};
    std::atomic<int> calls{0};
    std::atomic<bool> inside{false};
    void Run() {
        inside = true;
        ++calls;
        while (!open) std::this_thread::yield();
        inside = false;
    }
    void OnRequest(std::vector<FunctionRef>* targets) { targets->push_back(MakeDelegate(this, &GatedJob::Run)); }
};

struct Raised {
    int count = 0;
    void On() { ++count; }
};

// A level handler on an element, with one gated job listening for the
// request message.
struct LevelLoad {
    explicit LevelLoad(const std::string& request = "RequestBackgroundLoadTargets") : requestName(request) {
        Core().Listen(requestName, MakeDelegate(&job, &GatedJob::OnRequest));
        owner.Listen("UiLoadingDone", MakeDelegate(&raised, &Raised::On));
        owner.Listen("LevelReady", MakeDelegate(&raised, &Raised::On));
    }
    ~LevelLoad() { Core().Unlisten(requestName, MakeDelegate(&job, &GatedJob::OnRequest)); }
    void Begin() {
        handler->Attach(&owner);
        handler->Start();
    }
    void Tick() { Core().SendMessageFloat("UiTimeUpdate", 0.016f); }
    // Frames until the event was raised once more (at most about ten
    // seconds).
    void TickUntilRaised() {
        const int before = raised.count;
        for (int i = 0; i < 10000 && raised.count == before; ++i) {
            Tick();
            if (raised.count == before) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    UiWorld world;
    std::string requestName;
    GatedJob job;
    Raised raised;
    UiSolid owner;
    std::unique_ptr<UiLevelLoadHandler> handler = std::make_unique<UiLevelLoadHandler>();
};

}  // namespace

TEST(UiLevelLoadHandler, RunsItsJobsOnAWorkerAndRaisesTheEventOnceAfterThem) {
    LevelLoad l;
    l.Begin();
    EXPECT_EQ(l.handler->GetTargetCount(), 1u);
    l.Tick();
    EXPECT_EQ(l.raised.count, 0) << "nothing before the start message";

    l.job.open = false;
    Core().Send("LevelLoaded");
    while (!l.job.inside) std::this_thread::yield();
    Core().Send("LevelLoaded");  // ignored while the worker runs
    for (int i = 0; i < 5; ++i) l.Tick();
    EXPECT_EQ(l.raised.count, 0) << "the worker is still running";
    l.job.open = true;
    l.TickUntilRaised();
    EXPECT_EQ(l.raised.count, 1);
    EXPECT_EQ(l.job.calls, 1) << "a second start message during the work starts nothing";
    for (int i = 0; i < 5; ++i) l.Tick();
    EXPECT_EQ(l.raised.count, 1) << "raised exactly once";

    Core().Send("LevelLoaded");  // the next level runs the same jobs again
    l.TickUntilRaised();
    for (int i = 0; i < 3; ++i) l.Tick();
    EXPECT_EQ(l.raised.count, 2);
    EXPECT_EQ(l.job.calls, 2);
    l.handler->Detach();
    EXPECT_EQ(l.world.GlobalListeners(), 0u);
}

// On a fixed frame step the load ends at the first time update after the
// start message however long the jobs take, so a replay starts play at the
// same frame on any machine.
TEST(UiLevelLoadHandler, OnAFixedFrameStepTheFirstTimeUpdateWaitsForTheJobs) {
    LevelLoad l;
    RunSwitches switches;
    switches.fixedDt = 0.016;
    l.world.engine.SetRunSwitches(switches);
    l.Begin();
    for (int round = 1; round <= 2; ++round) {
        l.job.open = false;
        Core().Send("LevelLoaded");
        std::thread opener([&] {
            while (!l.job.inside) std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            l.job.open = true;
        });
        l.Tick();
        opener.join();
        EXPECT_EQ(l.raised.count, round) << "raised by the first update";
        l.Tick();
        EXPECT_EQ(l.raised.count, round) << "and only once";
    }
    l.handler->Detach();
}

// A level's own jobs, collected from the physics system and the volume
// hierarchy: the worker builds the static grid, so detection leaves brute
// force only when the event comes.
TEST(UiLevelLoadHandler, RunsTheLevelsPhysicsGridAndHierarchyJobs) {
    LevelLoad l;
    Physics physics;
    l.world.engine.AddSystem(&physics);
    physics.Initialize();
    HbvManager hbv;
    hbv.Initialize();
    Core().Send("LevelLoadStarted");
    EXPECT_TRUE(hbv.IsCollecting());
    l.Begin();
    EXPECT_EQ(l.handler->GetTargetCount(), 3u) << "the gated job, the grid and the tree";
    EXPECT_FALSE(physics.GetCollisionWorld().IsGridReady());
    Core().Send("LevelLoaded");
    EXPECT_FALSE(hbv.IsCollecting()) << "the level is complete once it is loaded";
    l.TickUntilRaised();
    EXPECT_EQ(l.raised.count, 1);
    EXPECT_TRUE(physics.GetCollisionWorld().IsGridReady()) << "built before the event";
    l.handler->Detach();
    hbv.Shutdown();
    physics.Shutdown();
}

TEST(UiLevelLoadHandler, ALeftSceneJoinsItsWorkerAndHearsNothingMore) {
    {
        LevelLoad l;
        l.Begin();
        l.job.open = false;
        Core().Send("LevelLoaded");
        while (!l.job.inside) std::this_thread::yield();
        std::thread opener([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            l.job.open = true;
        });
        l.handler->Detach();  // waits for the job, never leaves it running
        EXPECT_FALSE(l.job.inside);
        l.handler.reset();
        opener.join();
        Core().Send("LevelLoaded");
        l.Tick();
        EXPECT_EQ(l.raised.count, 0);
        EXPECT_EQ(l.job.calls, 1);
    }
    // Deleted without Detach while its worker runs: the destructor joins.
    LevelLoad m;
    m.Begin();
    m.job.open = false;
    Core().Send("LevelLoaded");
    while (!m.job.inside) std::this_thread::yield();
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m.job.open = true;
    });
    m.handler.reset();
    late.join();
    Core().Send("LevelLoaded");
    EXPECT_EQ(m.job.calls, 1);
}

TEST(UiLevelLoadHandler, ConfiguredNamesReplaceTheDefaultsAndClonesKeepOnlyThem) {
    {
        LevelLoad l("CollectJobs");
        l.handler->SetStartLoaderMessageName("ArenaBuilt");
        l.handler->SetRequestLoaderMessageName("CollectJobs");
        l.handler->SetLoaderCompleteMessageName("LevelReady");
        auto clone = l.handler->Clone();
        l.handler.reset(static_cast<UiLevelLoadHandler*>(clone.release()));
        EXPECT_EQ(l.handler->GetStartMessage(), "ArenaBuilt");
        EXPECT_EQ(l.handler->GetTargetCount(), 0u) << "a clone has no jobs before Start";
        l.Begin();
        EXPECT_EQ(l.handler->GetTargetCount(), 1u);
        Core().Send("LevelLoaded");
        l.Tick();
        EXPECT_EQ(l.job.calls, 0) << "the default start message no longer starts the worker";
        Core().Send("ArenaBuilt");
        l.TickUntilRaised();
        EXPECT_EQ(l.raised.count, 1) << "raised as LevelReady";
        l.handler->Detach();
    }
    // Without any job the event follows on the first frame after the start.
    UiWorld world;
    UiSolid owner;
    Raised raised;
    owner.Listen("UiLoadingDone", MakeDelegate(&raised, &Raised::On));
    UiLevelLoadHandler bare;
    bare.Attach(&owner);
    bare.Start();
    Core().Send("LevelLoaded");
    for (int i = 0; i < 10000 && raised.count == 0; ++i) {
        Core().SendMessageFloat("UiTimeUpdate", 0.016f);
        std::this_thread::yield();
    }
    EXPECT_EQ(raised.count, 1);
    bare.Detach();
}

namespace {

// Fills a fresh folder with `count` ".blob" files and queues them for the
// background load; each takes `pause` to load and counts itself in loaded.
void QueueSlowBlobs(ResourceManager& resources, const char* folder, int count, std::chrono::milliseconds pause,
                    std::atomic<int>& loaded) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(LV_TEST_TMP) / folder;
    fs::remove_all(root);
    fs::create_directories(root);
    for (int i = 0; i < count; ++i) std::ofstream(root / ("r" + std::to_string(i) + ".blob")) << i;
    resources.RegisterExtension("BLOB", "blob");
    resources.RegisterLoader("BLOB", [&loaded, pause](const std::string&) {
        std::this_thread::sleep_for(pause);
        ++loaded;
    });
    resources.QueueKindForBackgroundLoad("BLOB");
    resources.LoadHierarchy(root.string());
}

}  // namespace

TEST(UiResourceLoadHandler, LoadsOnceInTheBackgroundAndEveryWorkerIsJoined) {
    UiWorld world;
    ResourceManager resources;
    std::atomic<int> loaded{0};
    QueueSlowBlobs(resources, "ui-resource-load", 3, std::chrono::milliseconds(5), loaded);
    UiSystem ui;
    world.engine.AddSystem(&ui);
    ui.Initialize();
    UiSolid owner;
    {
        UiResourceLoadHandler first;
        first.Attach(&owner);
        first.Start();
        first.Start();   // one worker per handler
        first.Detach();  // does not wait
        auto second = first.Clone();
        second->Attach(&owner);
        second->Start();  // the load runs once: this worker returns at once
    }                     // destroyed without Detach: its worker is listed too
    UiResourceLoadHandler::WaitForResourceLoads();
    EXPECT_EQ(loaded, 3) << "the wait joined the load, which ran once";
    EXPECT_TRUE(resources.IsBackgroundLoadDone());
    ui.Shutdown();
    ui.Initialize();
    ui.Shutdown();
}

// The race of a short run: the loading scene's handler is still alive (its
// scene not yet cleared) when the run ends mid-load. Shutdown must stop the
// load at its next resource and join the thread before it returns, so the
// managers the loaders fill can go right after.
TEST(UiResourceLoadHandler, ShutdownStopsALoadWhoseHandlerIsStillAliveAndJoinsIt) {
    UiWorld world;
    ResourceManager resources;
    std::atomic<int> loaded{0};
    QueueSlowBlobs(resources, "ui-resource-load-stop", 20, std::chrono::milliseconds(10), loaded);
    UiSystem ui;
    world.engine.AddSystem(&ui);
    ui.Initialize();
    UiSolid owner;
    UiResourceLoadHandler live;
    live.Attach(&owner);
    live.Start();
    while (loaded == 0) std::this_thread::yield();
    ui.Shutdown();
    const int atShutdown = loaded;
    EXPECT_LT(atShutdown, 20) << "the load stopped at its next resource";
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(loaded, atShutdown) << "no loader runs after Shutdown";
    EXPECT_FALSE(resources.StopRequested()) << "the stop request is cleared once the workers are joined";
}

TEST(UiResourceLoadHandler, ALoadingSceneHearsUiLoadingDoneOnceFromTheUiSystem) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(LV_TEST_TMP) / "ui-resource-load-scene";
    fs::remove_all(root);
    fs::create_directories(root);
    std::ofstream(root / "only.blob") << "x";
    UiWorld world;
    ResourceManager resources;
    std::atomic<int> loaded{0};
    std::atomic<bool> gate{false};  // opened once the test listens on the scene
    resources.RegisterExtension("BLOB", "blob");
    resources.RegisterLoader("BLOB", [&](const std::string&) {
        while (!gate) std::this_thread::yield();
        ++loaded;
    });
    resources.QueueKindForBackgroundLoad("BLOB");
    resources.LoadHierarchy(root.string());
    UiSceneManager scenes;
    UiScene* loading = scenes.CreateTemplate("loading");
    loading->AddHandler(new UiResourceLoadHandler);
    UiSystem ui;
    world.engine.AddSystem(&ui);
    ui.SetStartScene("loading");
    ui.Initialize();
    ui.Update(0.016f);
    if (ui.GetStack().size() != 1u) gate = true;  // let the worker end before failing
    ASSERT_EQ(ui.GetStack().size(), 1u);
    Raised raised;
    ui.GetStack()[0]->Listen("UiLoadingDone", MakeDelegate(&raised, &Raised::On));
    gate = true;
    for (int i = 0; i < 10000 && raised.count == 0; ++i) {
        ui.Update(0.016f);
        if (raised.count == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (int i = 0; i < 5; ++i) ui.Update(0.016f);
    EXPECT_EQ(raised.count, 1);
    EXPECT_EQ(loaded, 1);
    ui.Shutdown();
}

// On a fixed frame step the UI system waits for a running resource load,
// so the start scene hears "UiLoadingDone" in its first frame, however slow
// the load.
TEST(UiResourceLoadHandler, OnAFixedFrameStepTheFirstUpdateWaitsForTheLoad) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(LV_TEST_TMP) / "ui-resource-load-fixed";
    fs::remove_all(root);
    fs::create_directories(root);
    for (const char* name : {"a.blob", "b.blob"}) std::ofstream(root / name) << name;
    UiWorld world;
    RunSwitches switches;
    switches.fixedDt = 0.016;
    world.engine.SetRunSwitches(switches);
    ResourceManager resources;
    std::atomic<int> loaded{0};
    resources.RegisterExtension("BLOB", "blob");
    resources.RegisterLoader("BLOB", [&](const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++loaded;
    });
    resources.QueueKindForBackgroundLoad("BLOB");
    resources.LoadHierarchy(root.string());
    UiSceneManager scenes;
    UiScene* loading = scenes.CreateTemplate("loading");
    loading->AddHandler(new UiResourceLoadHandler);
    auto* relay = new UiSendMessageHandler;  // the scene's event, sent globally
    relay->SetResponseEvent("UiLoadingDone");
    relay->SetRaiseEvent("LoadingSeen");
    loading->AddHandler(relay);
    Raised raised;
    Core().Listen("LoadingSeen", MakeDelegate(&raised, &Raised::On));
    UiSystem ui;
    world.engine.AddSystem(&ui);
    ui.SetStartScene("loading");
    ui.Initialize();
    ui.Update(0.016f);
    EXPECT_EQ(raised.count, 1);
    EXPECT_EQ(loaded, 2);
    ui.Update(0.016f);
    EXPECT_EQ(raised.count, 1);
    ui.Shutdown();
    Core().Unlisten("LoadingSeen", MakeDelegate(&raised, &Raised::On));
}
