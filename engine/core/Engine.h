#pragma once
// The Engine owns the run: it holds the systems by id and in update order,
// the frame timer, the profiler, the log hub pointer, the stack of state
// names and the paused, debug and frame-cap settings.
//
// A main constructs it as a local, pushes the first state, sets the log, adds
// the systems, loads their configurations, runs their creation step and then
// calls Run, which returns when the running flag is cleared: by Quit (window
// closed, "StopLoop"), by a pop that empties the state stack, or after
// TAVRIN_MAX_FRAMES frames. Everything else reaches the engine through
// Engine::Instance(), which is null before construction and after
// destruction (systems are destroyed after the engine, so code that may run
// in teardown checks for null).
//
// Frame: tick the timer; dt = the delta, 0 while paused, at most 0.032 s (no
// catch-up after a stall); announce state changes ("StateEnd",
// "StateReturn", "StateBegin", before any system's update); update every
// system in order; in debug mode with "max-fps" set, sleep the rest of the
// minimum frame time computed from the clamped dt.
//
// Everything here runs on the main thread.

#include "engine/base/RunSwitches.h"
#include "engine/base/Types.h"
#include "engine/core/Clock.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class CoreSystem;
class Logger;
class ScopedProfiler;
class System;
class Timer;

class Engine {
public:
    static constexpr f32 kMaxFrameTime = 0.032f;
    // The lowest frame cap: "max-fps" below it is read as it (and logged).
    static constexpr f32 kMinMaxFps = 1.0f;

    // Loads and hands a system its configuration: calls system.LoadConfig
    // with the configuration resource named after the system (lower-cased) or
    // with null when there is none. The default hands everyone null.
    using ConfigSource = std::function<void(System& system)>;
    // Makes the named state's settings current (the "States" table).
    using StateSelector = std::function<void(const std::string& state)>;

    // Uses the process clock and sleeper; reads the run switches from the
    // environment.
    Engine();
    // The clock and sleeper must outlive the engine (tests inject fakes).
    Engine(IClock& clock, ISleeper& sleeper);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    static Engine* Instance();

    // Sets the system's engine, appends it to the update order and files it
    // by id; a second system with an id already filed is updated too, but
    // GetSystem keeps answering the first.
    void AddSystem(System* system);
    System* GetSystem(u32 id) const;
    CoreSystem* GetCoreSystem() const;  // 'core'
    System* GetObjectManager() const { return GetSystem(1); }
    System* GetWindowSystem() const { return GetSystem(3); }
    System* GetGraphics() const { return GetSystem(4); }
    System* GetGameSystem() const { return GetSystem(FourCC("GAMS")); }
    const std::vector<System*>& GetUpdateOrder() const { return m_updateOrder; }

    void SetConfigSource(ConfigSource source) { m_configSource = std::move(source); }
    void LoadSystemConfigs();
    void CreateSystems();
    void Run();
    // Runs once the loop has ended, before any system's Shutdown: the place
    // to stop and join worker threads that use systems or managers (however
    // the run ended: frame limit, signal, window close). Steps run in the
    // order they were added.
    void AddStopStep(std::function<void()> step) { m_stopSteps.push_back(std::move(step)); }
    // The loop ends after the current frame.
    void Quit() { m_running = false; }
    bool IsRunning() const { return m_running; }

    void SetPaused(bool paused) { m_paused = paused; }
    bool IsPaused() const { return m_paused; }
    f32 GetRawFrameTime() const { return m_rawFrameTime; }
    void SetDebug(bool debug) { m_debug = debug; }
    bool IsDebug() const { return m_debug; }
    void SetMaxFps(f32 maxFps) { m_maxFps = maxFps; }
    f32 GetMaxFps() const { return m_maxFps; }
    // Frames completed in the current (or last) run.
    u64 GetFrameCount() const { return m_frameCount; }

    // Pushes at once (the top is visible immediately) and announces
    // "StateBegin" at the next frame. At most one push per frame: a second
    // one, or one while state handling is off, is dropped.
    void PushState(const std::string& state);
    // Pops at the next frame: "StateEnd", then "StateReturn" to the state
    // below, or the end of the run when none is left.
    void PopState();
    bool IsPushPending() const { return m_pushPending; }
    const std::vector<std::string>& GetStateStack() const { return m_stateStack; }
    void SetStateSelector(StateSelector selector) { m_selectState = std::move(selector); }
    // Applies pending state changes; called once per frame by Run.
    void UpdateStates();

    // 1, 2, 3, ...; never 0, also after the counter wraps.
    u32 NextUniqueId();
    // Restarts the counter (a saved session, or tests of the wrap).
    void SetNextUniqueId(u32 next) { m_nextUniqueId = next; }

    void SetLog(Logger* log) { m_log = log; }
    Logger* GetLog() const { return m_log; }
    // Passes the text to the log hub; dropped when none is set.
    void Log(const std::string& message, int level);

    void BeginProfile(const std::string& section);
    void EndProfile();
    ScopedProfiler& GetProfiler() { return *m_profiler; }

    // TAVRIN_MAX_FRAMES and TAVRIN_FIXED_DT; read from the environment by the
    // default constructor, replaced by tests.
    void SetRunSwitches(const RunSwitches& switches) { m_switches = switches; }
    const RunSwitches& GetRunSwitches() const { return m_switches; }

private:
    void RunFrame(f32 minFrameTime);
    // The run's minimum frame time from debug and max-fps (0: no cap).
    f32 MinFrameTime();
    f32 NextStep();
    void UpdateSystems(f32 dt);
    void SleepRestOfFrame(f32 minFrameTime, f32 dt);
    void SelectState(const std::string& state);
    void SendGlobal(const char* message);
    void UseFixedStepClock(double seconds);

    std::map<u32, System*> m_systems;
    std::vector<System*> m_updateOrder;
    std::vector<std::function<void()>> m_stopSteps;
    bool m_running = false;
    IClock* m_clock;
    ISleeper* m_sleeper;
    std::unique_ptr<IClock> m_fixedClock;
    std::unique_ptr<Timer> m_timer;
    f32 m_rawFrameTime = 0.0f;
    std::unique_ptr<ScopedProfiler> m_profiler;
    Logger* m_log = nullptr;
    std::vector<std::string> m_stateStack;
    bool m_statesEnabled = true;
    bool m_popPending = false;
    bool m_pushPending = false;
    bool m_paused = false;
    bool m_debug = false;
    f32 m_maxFps = 0.0f;
    u32 m_nextUniqueId = 1;
    u64 m_frameCount = 0;
    ConfigSource m_configSource;
    StateSelector m_selectState;
    RunSwitches m_switches;

    // The engine log route (SetEngineLogRoute) while an engine exists.
    static void LogThroughInstance(const char* text, int level);

    static Engine* s_instance;
};

}  // namespace Ostrel
