#pragma once
// The game system ('GAMS', last in the update order): the level order (one
// room palette name per level, from the ".xlod" files), the index of the
// level being played, and the state machine that takes the game from a
// fresh start through loading, the opening fly-over, play, death and retry
// to the next level and finally "GameComplete". It speaks to the rest of the
// program by global messages only.
//
// Update, each frame:
//   1. a pending countdown (> 0) loses one frame (frames, not seconds);
//   2. on reload: past the last level, CompleteGame ("GameComplete") and
//      stop; otherwise "LevelLoadStarted", a new layout when rebuild is set,
//      ResetLevel, then loading and "SetTutorialsActive"(false). A layout
//      that builds no level (a refused palette, room or level) starts no
//      play: the old level's objects go and the UI goes to the refusal
//      screen ("level-refused"), which asks "QueryLevelRefusal" what to say;
//   3. else the update after a load: "LevelLoaded", "PlayerHealthChanged"(1);
//   4. else a countdown at exactly 0 starts the fly-over;
//   5. while the level runs, the tutorial prompts and the watch for bodies
//      that left the level (LevelBoundsWatch, measured at step 3).
// So a load takes two updates; play begins when "GameReady" arrives from the
// loading screen. The first "GameReady" after a new layout counts two frames
// down to the fly-over; later ones (a retry) turn the tutorials on at once.
//
// The fly-over visits the level's portals, goals and the player's spawner,
// largest x first, without adjacent repeats. A route of fewer than two
// points cannot be flown (the camera ignores it and never reports its end),
// so the system then acts as if the route had ended: tutorials on.
//
// Debug keys (configuration "debug", on by default; presses only): U (85)
// sends "GoalReached", '[' (219) reloads every archetype from its file.
//
// Test play of one room (the level editor's "Test Level"):
// "SetNewPlayLevel"(room name) reads the room and builds a level of that one
// room at once; a room with an entrance (one the player walks into, which
// holds no spawners of its own) is led into from the start room
// "room-start". A room or level that the checks refuse (no portal, no
// spawners) is logged and nothing is pending. An accepted room waits for the
// next "StateBegin" (the editor pushes "GamePlay"), which resumes the world
// ("GameResumed") and loads the level as a fresh start does; as no loading
// screen runs there, the end of the load counts as "GameReady". The level
// then plays by the usual rules: a restart rebuilds the same room, its goal
// completes the game.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/world/LevelBoundsWatch.h"

#include <string>
#include <vector>

namespace Ostrel {

class CoreSystem;

class GameSystem : public System {
public:
    static constexpr u32 kId = FourCC("GAMS");
    static constexpr f32 kTutorialPeriod = 10.0f;
    static constexpr int kFlyOverDelayFrames = 2;
    static constexpr int kKeyGoal = 85;
    static constexpr int kKeyReloadArchetypes = 219;
    static constexpr const char* kPlayerSpawner = "spawner-Luvo";
    // The room a test-played room with an entrance is entered from.
    static constexpr const char* kTestLeadInRoom = "room-start";
    // The UI scene that tells the player a level could not be built.
    static constexpr const char* kRefusedScene = "level-refused";
    // Where the shipped level list lives, under the resource folder.
    static constexpr const char* kDefaultLevelList = "levels/levels.xlod";
    // Passes a reload makes to empty the world of what the old level's
    // objects made while they were destroyed.
    static constexpr int kClearPasses = 4;

    GameSystem() = default;
    ~GameSystem() override;

    void Update(f32 dt) override;
    void LoadConfig(Serializer* config) override;
    void Initialize() override;
    void Shutdown() override;
    std::string GetName() const override { return "GameSystem"; }
    u32 GetId() const override { return kId; }

    // Lays out the level of the room palette paletteName and builds it:
    // resets the ready count and clears the rebuild flag, selects the palette
    // (RoomPaletteManager::Select: an unknown name keeps the previous one),
    // draws the room sequence from its groups (RoomLayout), gives the level
    // builder the palette's title and builds the level. False when there is
    // no level afterwards (a refused palette or level, logged, or a missing
    // manager).
    bool GenerateLayout(std::string paletteName);

    // Empties the level order, then appends the top-level tags of the file.
    void LoadLevelOrder(const std::string& path);
    void SetLevelNames(std::vector<std::string> names) { m_levelNames = std::move(names); }

    // Handlers of the global messages (Initialize subscribes them).
    void OnGameLevelRestart();
    void OnGameLevelRetry();
    void OnGameFreshStart();
    void OnUiPause(bool paused);
    void OnKeyTriggered(int key, bool pressed);
    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);
    // "PlayerDeath": the player sends its object id, which no one needs; a
    // scene's send-message handler sends the message bare. Taking nothing,
    // the handler answers both.
    void OnPlayerDeath();
    void OnGoalReached();
    void OnGameEnding();
    void OnGameReady();
    void OnCheckpointUpdated(Vec3 position);
    void OnQueryRoomCount(int* out);
    void OnQueryCurrentRoom(Vec3 position, int* out);
    void OnQueryLevelTitle(std::string* out);
    // "QueryLevelRefusal": why the last level could not be built, as the
    // refusal screen shows it; empty while the levels build.
    void OnQueryLevelRefusal(std::string* out);
    void OnCameraFlyOver(Vec3* points, int count);
    void OnCameraPathFinished();
    void OnSetNewPlayLevel(std::string* roomName);
    void OnStateBegin();

    // Builds the level of one room (read from its file again). False, with
    // no level, when the room or the level is refused (logged; GetRefusal
    // says why).
    bool BuildRoomLevel(const std::string& roomName);
    // A room taken by "SetNewPlayLevel" waits for the next state to begin.
    bool IsPlayLevelPending() const { return m_playPending; }
    // The room being test-played; empty while the level order is played.
    const std::string& GetPlayRoom() const { return m_playRoom; }
    // Why the last GenerateLayout or BuildRoomLevel built no level (the
    // room's or the level's own fault); after the game refused a level, the
    // whole text its screen shows. Empty after a level was built.
    const std::string& GetRefusal() const { return m_refusal; }

    const std::vector<std::string>& GetLevelNames() const { return m_levelNames; }
    u32 GetLevelIndex() const { return m_levelIndex; }
    u32 GetReadyCount() const { return m_readyCount; }
    bool GetRebuild() const { return m_rebuild; }
    bool IsReloading() const { return m_reload; }
    bool IsLoading() const { return m_loading; }
    s32 GetCountdown() const { return m_countdown; }
    bool IsFlyOverRunning() const { return m_flyOverRunning; }
    bool IsLevelRunning() const { return m_levelRunning; }
    bool AreDebugKeysEnabled() const { return m_debugKeys; }
    const std::vector<u32>& GetFlyOverTargets() const { return m_flyOverTargets; }
    const LevelBoundsWatch& GetBoundsWatch() const { return m_boundsWatch; }
    f32 GetTutorialTimer() const { return m_tutorialTimer; }

private:
    CoreSystem* Core() const;
    void ClearLevelObjects();
    void ResetLevel();
    // Reads every level list file afresh; a missing list is logged.
    void LoadLevelOrders();
    // Logs a level name no room palette defines; answers what it names.
    std::string ReportUnknownLevel(const std::string& name) const;
    void RefuseLevel(const std::string& name);
    // Ends a level's play and everything it had pending (no level runs).
    void StopPlay();
    void CompleteGame();
    void StartFlyOver();
    void UpdateTutorialPrompts(f32 dt);
    void RemoveTarget(std::size_t index);

    std::vector<std::string> m_levelNames;
    // The level list file the names came from (empty: none read yet).
    std::string m_levelOrderPath;
    u32 m_levelIndex = 0;
    bool m_reload = false;
    bool m_loading = false;
    // The next reload lays the level out anew.
    bool m_rebuild = true;
    // "GameReady" messages since the last new layout.
    u32 m_readyCount = 0;
    s32 m_countdown = -1;
    bool m_flyOverRunning = false;
    bool m_levelRunning = false;
    bool m_debugKeys = true;
    std::vector<u32> m_flyOverTargets;
    f32 m_tutorialTimer = 0.0f;
    // The route of the fly-over in flight; the camera reads it during the send.
    std::vector<Vec3> m_flyOverPoints;
    std::string m_playRoom;
    std::string m_refusal;
    bool m_playPending = false;
    // The load now running was started for a test play: it ends ready.
    bool m_readyAfterLoad = false;
    // Sends the player, the companion and enemies that left the level out of
    // the game: measured when a level has loaded, checked while it runs.
    LevelBoundsWatch m_boundsWatch;
    SubscriptionList m_subscriptions;
};

// The LEVELORDERDOC resource loader: the running engine's game system reads
// the file's level order.
void LoadLevelOrderResource(const std::string& path);

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::GameSystem);
