#include "engine/core/Engine.h"

#include "engine/base/Log.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/MessageTrace.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/ScopedProfiler.h"
#include "engine/core/System.h"
#include "engine/core/Timer.h"

#include <cstdio>
#include <set>
#include <string>

namespace Ostrel {

Engine* Engine::s_instance = nullptr;

Engine::Engine() : Engine(DefaultClock(), DefaultSleeper()) {
    m_switches = RunSwitches::FromEnvironment();
}

Engine::Engine(IClock& clock, ISleeper& sleeper)
    : m_clock(&clock),
      m_sleeper(&sleeper),
      m_timer(std::make_unique<Timer>(clock)),
      m_profiler(std::make_unique<ScopedProfiler>(clock)) {
    m_timer->Tick();
    s_instance = this;
    SetEngineLogRoute(&LogThroughInstance);
}

Engine::~Engine() {
    if (s_instance != this) return;
    s_instance = nullptr;
    SetEngineLogRoute(nullptr);
}

void Engine::LogThroughInstance(const char* text, int level) {
    if (Engine* engine = s_instance) engine->Log(text, level);
}

Engine* Engine::Instance() { return s_instance; }

void Engine::AddSystem(System* system) {
    system->SetEngine(this);
    m_updateOrder.push_back(system);
    m_systems.emplace(system->GetId(), system);
}

System* Engine::GetSystem(u32 id) const {
    auto it = m_systems.find(id);
    return it == m_systems.end() ? nullptr : it->second;
}

CoreSystem* Engine::GetCoreSystem() const {
    return static_cast<CoreSystem*>(GetSystem(CoreSystem::kId));
}

void Engine::LoadSystemConfigs() {
    for (System* system : m_updateOrder) {
        if (m_configSource)
            m_configSource(*system);
        else
            system->LoadConfig(nullptr);
    }
}

void Engine::CreateSystems() {
    for (std::size_t i = 0; i < m_updateOrder.size(); ++i) m_updateOrder[i]->Create();
}

void Engine::Run() {
    m_running = true;
    m_paused = false;
    m_frameCount = 0;
    for (std::size_t i = 0; i < m_updateOrder.size(); ++i) m_updateOrder[i]->Initialize();
    m_profiler->Start(GetCoreSystem());
    m_profiler->SetAllowed(m_debug);
    if (m_switches.fixedDt) UseFixedStepClock(*m_switches.fixedDt);
    m_timer->Tick();
    // Fixed for the whole run: later changes of debug or max-fps do not
    // affect this run's cap (nor the profiler's key).
    const f32 minFrameTime = MinFrameTime();
    std::set<std::string, std::less<>> positionsTraced;
    if (m_switches.tracePositions)
        positionsTraced.insert(m_switches.tracePositions->begin(), m_switches.tracePositions->end());

    while (m_running) {
        RunFrame(minFrameTime);
        if (!positionsTraced.empty()) {
            if (auto* objects = static_cast<const ObjectManager*>(GetObjectManager()))
                LogPositions(*objects, positionsTraced, m_frameCount + 1);
        }
        ++m_frameCount;
        if (m_switches.maxFrames && i64(m_frameCount) >= *m_switches.maxFrames) Quit();
    }

    m_profiler->Stop();
    for (const std::function<void()>& step : m_stopSteps) step();
    for (std::size_t i = 0; i < m_updateOrder.size(); ++i) m_updateOrder[i]->Shutdown();
}

void Engine::RunFrame(f32 minFrameTime) {
    m_profiler->BeginFrame();
    m_profiler->BeginSection("Overhead");
    f32 dt = NextStep();
    UpdateStates();
    UpdateSystems(dt);
    SleepRestOfFrame(minFrameTime, dt);
    m_profiler->EndSection();
    m_profiler->EndFrame();
}

f32 Engine::MinFrameTime() {
    if (!m_debug || !(m_maxFps > 0.0f)) return 0.0f;
    if (m_maxFps < kMinMaxFps) {
        // A cap of 0.01 would make 100-second frames (and a tiny one
        // overflows the sleep's milliseconds).
        char line[96];
        std::snprintf(line, sizeof line, "CoreSystem: max-fps %g is below 1, using 1\n", double(m_maxFps));
        Log(line, kLogLevelError);
        return 1.0f / kMinMaxFps;
    }
    return 1.0f / m_maxFps;
}

f32 Engine::NextStep() {
    m_timer->Tick();
    f32 dt = m_timer->GetDelta();
    m_rawFrameTime = dt;
    if (m_paused) dt = 0.0f;
    if (dt > kMaxFrameTime) dt = kMaxFrameTime;
    // A clock that runs backwards (or a broken reading) is not a step.
    if (!(dt >= 0.0f)) dt = 0.0f;
    return dt;
}

void Engine::UpdateSystems(f32 dt) {
    // By index: a system may be added while the frame runs.
    for (std::size_t i = 0; i < m_updateOrder.size(); ++i) {
        System* system = m_updateOrder[i];
        m_profiler->BeginSection(system->GetName());
        system->Update(dt);
        m_profiler->EndSection();
    }
}

void Engine::SleepRestOfFrame(f32 minFrameTime, f32 dt) {
    // Computed from the clamped step, not from the time the systems took;
    // both are at most a second here, so the milliseconds stay small.
    if (minFrameTime > dt) m_sleeper->SleepMs(u32((minFrameTime - dt) * 1000.0f));
}

void Engine::UseFixedStepClock(double seconds) {
    m_fixedClock = std::make_unique<FixedStepClock>(seconds);
    m_timer = std::make_unique<Timer>(*m_fixedClock);
}

void Engine::PushState(const std::string& state) {
    if (!m_statesEnabled || m_pushPending) return;
    m_stateStack.push_back(state);
    m_pushPending = true;
}

void Engine::PopState() {
    if (m_statesEnabled) m_popPending = true;
}

void Engine::UpdateStates() {
    if (!m_statesEnabled) return;
    if (m_stateStack.empty()) {
        m_statesEnabled = false;
        return;
    }
    if (m_popPending) {
        SendGlobal("StateEnd");
        m_stateStack.pop_back();
        if (!m_stateStack.empty()) {
            SelectState(m_stateStack.back());
            SendGlobal("StateReturn");
        } else {
            Quit();
        }
    }
    // A pop that emptied the stack leaves nothing to announce.
    if (m_pushPending && !m_stateStack.empty()) {
        SelectState(m_stateStack.back());
        SendGlobal("StateBegin");
    }
    m_pushPending = false;
    m_popPending = false;
}

void Engine::SelectState(const std::string& state) {
    if (m_selectState) m_selectState(state);
}

void Engine::SendGlobal(const char* message) {
    if (CoreSystem* core = GetCoreSystem()) core->Send(message);
}

u32 Engine::NextUniqueId() {
    if (m_nextUniqueId == 0) ++m_nextUniqueId;
    return m_nextUniqueId++;
}

void Engine::Log(const std::string& message, int level) {
    if (m_log) m_log->Write(message.c_str(), level);
}

void Engine::BeginProfile(const std::string& section) { m_profiler->BeginSection(section); }

void Engine::EndProfile() { m_profiler->EndSection(); }

}  // namespace Ostrel
