#include "engine/world/GameSystem.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Random.h"
#include "engine/core/ScriptEnums.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Vec4.h"
#include "engine/io/FilePath.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/RoomInstance.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomLayout.h"
#include "engine/world/RoomPaletteRecord.h"
#include "engine/world/RoomPaletteManager.h"

#include <utility>

LV_REFLECT_CLASS(Ostrel::GameSystem);

namespace Ostrel {

namespace {

// A replay (TAVRIN_SEED) draws the same numbers in a level wherever the
// level falls in the run: the seed is set again when the level is built and
// when play starts.
void ReseedReplay() {
    Engine* engine = Engine::Instance();
    if (engine && engine->GetRunSwitches().seed) SRand(*engine->GetRunSwitches().seed);
}

constexpr u32 kPortalTypeId = FourCC("prtC");
constexpr u32 kGoalTypeId = FourCC("golC");

// The prompts offered every period while a level runs, in this order.
const char* const kTutorialPrompts[] = {"move-basic", "use-qil-basic", "use-dash", "use-qil-advanced",
                                        "use-dash-advanced"};

ObjectManager* Objects() {
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

}  // namespace

GameSystem::~GameSystem() { m_subscriptions.Clear(); }

CoreSystem* GameSystem::Core() const {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

void GameSystem::LoadConfig(Serializer* config) {
    if (config) config->SerializeBool("debug", &m_debugKeys);
}

void GameSystem::Initialize() {
    if (m_subscriptions.Empty()) {
        m_subscriptions.Listen("GameLevelRestart", MakeDelegate(this, &GameSystem::OnGameLevelRestart));
        m_subscriptions.Listen("GameLevelRetry", MakeDelegate(this, &GameSystem::OnGameLevelRetry));
        m_subscriptions.Listen("GameFreshStart", MakeDelegate(this, &GameSystem::OnGameFreshStart));
        m_subscriptions.Listen("UiPause", MakeDelegate(this, &GameSystem::OnUiPause));
        m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &GameSystem::OnKeyTriggered));
        m_subscriptions.Listen("ObjectCreated", MakeDelegate(this, &GameSystem::OnObjectCreated));
        m_subscriptions.Listen("ObjectDestroyed", MakeDelegate(this, &GameSystem::OnObjectDestroyed));
        m_subscriptions.Listen("PlayerDeath", MakeDelegate(this, &GameSystem::OnPlayerDeath));
        m_subscriptions.Listen("GoalReached", MakeDelegate(this, &GameSystem::OnGoalReached));
        m_subscriptions.Listen("GameEnding", MakeDelegate(this, &GameSystem::OnGameEnding));
        m_subscriptions.Listen("GameReady", MakeDelegate(this, &GameSystem::OnGameReady));
        m_subscriptions.Listen("CheckpointUpdated", MakeDelegate(this, &GameSystem::OnCheckpointUpdated));
        m_subscriptions.Listen("QueryRoomCount", MakeDelegate(this, &GameSystem::OnQueryRoomCount));
        m_subscriptions.Listen("QueryCurrentRoom", MakeDelegate(this, &GameSystem::OnQueryCurrentRoom));
        m_subscriptions.Listen("QueryLevelTitle", MakeDelegate(this, &GameSystem::OnQueryLevelTitle));
        m_subscriptions.Listen("QueryLevelRefusal", MakeDelegate(this, &GameSystem::OnQueryLevelRefusal));
        m_subscriptions.Listen("CameraFlyOver", MakeDelegate(this, &GameSystem::OnCameraFlyOver));
        m_subscriptions.Listen("CameraPathFinished", MakeDelegate(this, &GameSystem::OnCameraPathFinished));
        m_subscriptions.Listen("SetNewPlayLevel", MakeDelegate(this, &GameSystem::OnSetNewPlayLevel));
        m_subscriptions.Listen("StateBegin", MakeDelegate(this, &GameSystem::OnStateBegin));
    }
    if (CoreSystem* core = Core()) core->SendMessageBool("ShowDebugUpdated", false);
}

void GameSystem::Shutdown() { m_subscriptions.Clear(); }

void GameSystem::Update(f32 dt) {
    if (m_countdown > 0) --m_countdown;
    CoreSystem* core = Core();
    if (m_reload) {
        if (m_levelIndex >= m_levelNames.size()) {
            CompleteGame();
            return;
        }
        if (core) core->Send("LevelLoadStarted");
        ReseedReplay();
        if (m_rebuild) {
            const bool built = m_playRoom.empty() ? GenerateLayout(m_levelNames[m_levelIndex]) : BuildRoomLevel(m_playRoom);
            if (!built) {
                RefuseLevel(m_playRoom.empty() ? m_levelNames[m_levelIndex] : m_playRoom);
                return;
            }
        }
        ResetLevel();
        m_boundsWatch.Clear();
        m_reload = false;
        m_loading = true;
        m_levelRunning = false;
        if (core) core->SendMessageBool("SetTutorialsActive", false);
    } else if (m_loading) {
        if (ObjectManager* objects = Objects()) m_boundsWatch.Measure(*objects);
        if (core) {
            core->Send("LevelLoaded");
            core->SendMessageFloat("PlayerHealthChanged", 1.0f);
        }
        m_loading = false;
        if (m_readyAfterLoad) {
            m_readyAfterLoad = false;
            OnGameReady();
        }
    } else if (m_countdown == 0) {
        m_countdown = -1;
        StartFlyOver();
    }
    if (m_levelRunning) {
        UpdateTutorialPrompts(dt);
        if (ObjectManager* objects = Objects()) m_boundsWatch.Check(*objects);
    }
}

bool GameSystem::GenerateLayout(std::string paletteName) {
    m_readyCount = 0;
    m_rebuild = false;
    RoomPaletteManager* palettes = RoomPaletteManager::Instance();
    RoomInstanceManager* rooms = RoomInstanceManager::Instance();
    LevelInstanceManager* level = LevelInstanceManager::Instance();
    if (palettes == nullptr || rooms == nullptr || level == nullptr) {
        LogMessage("GameSystem: no level for '" + paletteName + "' (a levels manager is missing)\n");
        return false;
    }
    std::string unknown;
    if (!palettes->Has(paletteName)) unknown = ReportUnknownLevel(paletteName);
    // What goes wrong from here on is told against the palette's file, or
    // against the room at fault, which names the palette.
    LogSourceScope source(palettes->GetPath(paletteName));
    const bool selected = palettes->Select(paletteName);
    std::vector<RoomInstanceGroup*> groups;
    rooms->GetGroups(groups);
    std::vector<RoomInstance*> sequence;
    level->SetTitle(rooms->GetTitle());
    if (!AppendRoomSequence(groups, sequence)) sequence.clear();
    if (level->Build(sequence)) {
        m_refusal.clear();
        return true;
    }
    // The first cause a person can act on: the name, the palette or one of
    // its rooms, else what the level builder found.
    const RoomPaletteRecord* palette = palettes->GetCurrent();
    if (!unknown.empty()) {
        m_refusal = unknown;
    } else if (!selected && !rooms->GetFault().empty()) {
        m_refusal = rooms->GetFault();
    } else if (!selected && palette != nullptr && !palette->faults.empty()) {
        m_refusal = palette->faults.front();
    } else {
        m_refusal = level->GetFault();
    }
    return false;
}

// A level of the list that no room palette defines: said against the list's
// file, with what the name is instead when it is another kind of data.
std::string GameSystem::ReportUnknownLevel(const std::string& name) const {
    const std::string list = m_levelOrderPath.empty() ? std::string(kDefaultLevelList) : m_levelOrderPath;
    std::string what = "no room palette (\".rmp\" file) has that name";
    if (const ResourceManager* resources = ResourceManager::Instance()) {
        const FilePath path = resources->GetPath(name);
        if (path.IsValid()) what = "it names '" + path.GetString() + "', which is not a room palette";
    }
    LogSourceScope source(list);
    LogMessage(list + ": level '" + name + "' cannot be played: " + what + "; no level is built\n");
    return what;
}

bool GameSystem::BuildRoomLevel(const std::string& roomName) {
    m_readyCount = 0;
    m_rebuild = false;
    LevelInstanceManager* level = LevelInstanceManager::Instance();
    if (level == nullptr) {
        LogMessage("GameSystem: no level for the room '" + roomName + "' (the levels manager is missing)\n");
        m_refusal = "the levels manager is missing";
        return false;
    }
    level->SetTitle(roomName);
    RoomInstance room;
    // Load logs why a room is refused; Build logs why a level is.
    if (!room.Load(roomName)) {
        m_refusal = room.GetFault();
        return false;
    }
    RoomInstance leadIn;
    std::vector<RoomInstance*> rooms{&room};
    if (room.HasEntrance() && roomName != kTestLeadInRoom) {
        if (leadIn.Load(kTestLeadInRoom)) {
            rooms.insert(rooms.begin(), &leadIn);
        } else {
            LogMessage("GameSystem: the room '" + roomName + "' is played without the start room '" +
                       kTestLeadInRoom + "', which could not be read\n");
        }
    }
    const bool built = level->Build(rooms);
    m_refusal = built ? std::string() : level->GetFault();
    return built;
}

void GameSystem::OnSetNewPlayLevel(std::string* roomName) {
    m_playPending = false;
    const std::string name = roomName ? *roomName : std::string();
    if (!BuildRoomLevel(name)) {
        LogMessage("GameSystem: the room '" + name + "' cannot be played\n");
        return;
    }
    m_playRoom = name;
    m_playPending = true;
}

void GameSystem::OnStateBegin() {
    if (!m_playPending) return;
    m_playPending = false;
    Engine* engine = Engine::Instance();
    if (engine && engine->IsPaused()) {
        if (CoreSystem* core = Core()) core->Send("GameResumed");
        engine->SetPaused(false);
    }
    m_levelNames = {m_playRoom};
    m_levelIndex = 0;
    m_reload = true;
    m_rebuild = false;  // built when the room was taken
    m_readyAfterLoad = true;
}

void GameSystem::LoadLevelOrder(const std::string& path) {
    if (!m_levelOrderPath.empty() && m_levelOrderPath != path) {
        LogMessage(path + ": a second level list; it replaces the one read from '" + m_levelOrderPath + "'\n");
    }
    m_levelOrderPath = path;
    m_levelNames.clear();
    if (SerializerXML(true).LoadLevelOrder(path, m_levelNames) && m_levelNames.empty())
        LogMessage(path + ": the level list names no level; there is nothing to play\n");
}

void GameSystem::LoadLevelOrders() {
    ResourceManager* resources = ResourceManager::Instance();
    if (resources == nullptr) return;
    m_levelOrderPath.clear();
    resources->LoadAllOfKind(kKindLevelOrder);
    if (m_levelOrderPath.empty() && !resources->StopRequested()) {
        // Named after the list the game ships, the file a person looks for
        // (and not after whatever file is being read meanwhile).
        const std::string path = resources->GetRoot() + "/" + kDefaultLevelList;
        LogSourceScope source(path);
        LogMessage(path + ": no such file, and no other \".xlod\" file under '" + resources->GetRoot() +
                   "': there is no level list and nothing to play\n");
    }
}

void GameSystem::ClearLevelObjects() {
    if (ObjectManager* objects = Objects()) objects->DestroyAllObjects();
}

void GameSystem::ResetLevel() {
    ClearLevelObjects();
    // The old objects go before the new ones are announced, so that a
    // listener that takes the first of a kind (the frame's camera) takes
    // the new level's rather than losing the old one a frame later.
    if (ObjectManager* objects = Objects()) {
        objects->DestroyPendingNow();
        // What the old objects made as they went (listeners of their
        // destruction may create) must not live on into the new level, where
        // a boss's leftovers would meet a fight that starts afresh.
        for (int pass = 0; pass < kClearPasses && !objects->GetLiveObjects().empty(); ++pass) {
            objects->DestroyAllObjects();
            objects->DestroyPendingNow();
        }
    }
    if (LevelInstanceManager* level = LevelInstanceManager::Instance()) level->Instantiate();
}

// A level that cannot be built is never played as an empty world: what the
// old level left goes, the player is told on the refusal screen (which takes
// them back to the main menu, or a test play back to the editor) and the
// game waits for the next start.
void GameSystem::RefuseLevel(const std::string& name) {
    StopPlay();
    ResetLevel();
    m_boundsWatch.Clear();
    const std::string why = m_refusal.empty() ? std::string("the log says why") : m_refusal;
    m_refusal = "The level '" + name + "' could not be built: " + why;
    LogMessage("GameSystem: " + m_refusal + "; no play starts in it\n");
    CoreSystem* core = Core();
    if (core == nullptr) return;
    core->SendMessageBool("SetTutorialsActive", false);
    std::string scene = kRefusedScene;
    core->SendMessageValues("UiChangeScene", &scene, UiSceneChangeMethod::Goto);
}

void GameSystem::OnQueryLevelRefusal(std::string* out) {
    if (out) *out = m_refusal;
}

void GameSystem::CompleteGame() {
    m_reload = false;
    m_loading = false;
    m_levelIndex = 0;
    m_levelNames.clear();
    m_levelRunning = false;
    if (CoreSystem* core = Core()) core->Send("GameComplete");
}

void GameSystem::RemoveTarget(std::size_t index) {
    m_flyOverTargets[index] = m_flyOverTargets.back();
    m_flyOverTargets.pop_back();
}

void GameSystem::StartFlyOver() {
    ObjectManager* objects = Objects();
    std::vector<Vec3> points;
    for (std::size_t i = 0; i < m_flyOverTargets.size();) {
        const Composition* object = objects ? objects->GetObject(m_flyOverTargets[i]) : nullptr;
        if (!object) {
            RemoveTarget(i);  // the id moved into place i is looked at next
            continue;
        }
        if (const TransformComponent* transform = object->GetTransform()) points.push_back(transform->GetPosition());
        ++i;
    }
    // Largest x first; among equals the first found moves up.
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::size_t best = i;
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            if (points[j].x > points[best].x) best = j;
        }
        if (best != i) std::swap(points[i], points[best]);
    }
    m_flyOverPoints.clear();
    for (const Vec3& point : points) {
        if (m_flyOverPoints.empty() || !(m_flyOverPoints.back() == point)) m_flyOverPoints.push_back(point);
    }
    CoreSystem* core = Core();
    if (m_flyOverPoints.size() < 2) {
        // No route to fly: carry on as the camera does when a route ends.
        LogMessagef("GameSystem: the level has %d fly-over point(s); the fly-over is skipped\n",
                    static_cast<int>(m_flyOverPoints.size()));
        OnCameraPathFinished();
        if (core) core->SendMessageBool("SetTutorialsActive", true);
        return;
    }
    Vec3* first = m_flyOverPoints.data();
    const int count = static_cast<int>(m_flyOverPoints.size());
    if (core) core->SendMessageValues("CameraFlyOver", first, count);
}

void GameSystem::UpdateTutorialPrompts(f32 dt) {
    if (m_countdown >= 0 || m_flyOverRunning) return;
    m_tutorialTimer -= dt;
    if (!(m_tutorialTimer < 0.0f)) return;
    m_tutorialTimer = kTutorialPeriod;
    CoreSystem* core = Core();
    if (!core) return;
    for (const char* prompt : kTutorialPrompts) {
        std::string name = prompt;
        core->SendMessageStringPtr("ShowTutorial", &name);
    }
}

void GameSystem::OnGameLevelRestart() {
    m_reload = true;
    m_rebuild = true;
}

void GameSystem::OnGameLevelRetry() { m_reload = true; }

void GameSystem::OnGameFreshStart() {
    m_playRoom.clear();
    m_playPending = false;
    ClearLevelObjects();
    LoadLevelOrders();
    m_levelIndex = 0;
    m_reload = true;
    m_rebuild = true;
    if (CoreSystem* core = Core()) core->Send("UnlockAllTutorials");
}

void GameSystem::OnUiPause(bool paused) {
    Engine* engine = Engine::Instance();
    if (!engine || engine->IsPaused() == paused) return;
    if (CoreSystem* core = Core()) core->Send(paused ? "GamePaused" : "GameResumed");
    engine->SetPaused(paused);
}

void GameSystem::OnKeyTriggered(int key, bool pressed) {
    if (!m_debugKeys || !pressed) return;
    if (key == kKeyGoal) {
        if (CoreSystem* core = Core()) core->Send("GoalReached");
    } else if (key == kKeyReloadArchetypes) {
        if (CompositionFactory* factory = CompositionFactory::Instance()) factory->ReloadArchetypes();
    }
}

void GameSystem::OnObjectCreated(u32 id) {
    if (id == 0) return;
    ObjectManager* objects = Objects();
    const Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return;
    if (object->GetComponent(kPortalTypeId) || object->GetComponent(kGoalTypeId) ||
        object->GetName() == kPlayerSpawner) {
        m_flyOverTargets.push_back(id);
    }
}

void GameSystem::OnObjectDestroyed(u32 id) {
    for (std::size_t i = 0; i < m_flyOverTargets.size(); ++i) {
        if (m_flyOverTargets[i] == id) {
            RemoveTarget(i);
            return;
        }
    }
}

void GameSystem::OnPlayerDeath() {
    if (CoreSystem* core = Core()) {
        const Vec4 from(1.0f, 1.0f, 1.0f, 1.0f);
        const Vec4 to(0.0f, 0.0f, 0.0f, 0.0f);
        const float seconds = 2.0f;
        std::string done = "GameLost";
        core->SendMessageValues("StartFade", from, to, seconds, &done);
    }
    m_levelRunning = false;
}

void GameSystem::OnGoalReached() {
    ++m_levelIndex;
    m_reload = true;
    m_rebuild = true;
}

// Whatever the level had under way stays behind with it: a pending reload
// or load, the countdown to its fly-over, the fly-over itself.
void GameSystem::StopPlay() {
    m_levelRunning = false;
    m_reload = false;
    m_loading = false;
    m_countdown = -1;
    m_flyOverRunning = false;
    m_readyAfterLoad = false;
}

void GameSystem::OnGameEnding() {
    StopPlay();
    ClearLevelObjects();
}

void GameSystem::OnGameReady() {
    ReseedReplay();
    if (m_readyCount != 0) {
        if (CoreSystem* core = Core()) core->SendMessageBool("SetTutorialsActive", true);
    } else {
        m_countdown = kFlyOverDelayFrames;
    }
    m_levelRunning = true;
    m_tutorialTimer = 0.0f;
    m_flyOverRunning = false;
    ++m_readyCount;
}

void GameSystem::OnCheckpointUpdated(Vec3 position) {
    if (LevelInstanceManager* level = LevelInstanceManager::Instance()) level->MoveSpawners(position);
}

void GameSystem::OnQueryRoomCount(int* out) {
    LevelInstanceManager* level = LevelInstanceManager::Instance();
    if (out) *out = level ? level->GetRoomCount() : 0;
}

void GameSystem::OnQueryCurrentRoom(Vec3 position, int* out) {
    LevelInstanceManager* level = LevelInstanceManager::Instance();
    if (out) *out = level ? level->GetRoomAt(position) : 0;
}

void GameSystem::OnQueryLevelTitle(std::string* out) {
    LevelInstanceManager* level = LevelInstanceManager::Instance();
    if (out) *out = level ? level->GetTitle() : std::string();
}

void GameSystem::OnCameraFlyOver(Vec3*, int) { m_flyOverRunning = true; }

void GameSystem::OnCameraPathFinished() {
    m_tutorialTimer = 0.0f;
    m_flyOverRunning = false;
}

void LoadLevelOrderResource(const std::string& path) {
    Engine* engine = Engine::Instance();
    auto* game = engine ? dynamic_cast<GameSystem*>(engine->GetGameSystem()) : nullptr;
    if (game) game->LoadLevelOrder(path);
}

}  // namespace Ostrel
