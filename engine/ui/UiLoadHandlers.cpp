#include "engine/ui/UiLoadHandlers.h"

#include "engine/base/Log.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/resources/ResourceManager.h"
#include "engine/ui/UiBase.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <system_error>

namespace Ostrel {

namespace {

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

// A run on a fixed frame step (TAVRIN_FIXED_DT) is a replay: the frame at
// which a load ends must not depend on the machine's speed, so the main
// thread waits for the load instead of polling it.
bool FixedStepRun() {
    const Engine* engine = Engine::Instance();
    return engine && engine->GetRunSwitches().fixedDt.has_value();
}

// Resource-load workers started and not yet finished.
std::atomic<int> s_runningResourceLoads{0};

// Every background-load worker started; joined at teardown, and at exit at
// the latest (a joinable thread destroyed would end the program).
struct WorkerList {
    ~WorkerList() {
        for (std::thread& thread : threads) {
            if (thread.joinable()) thread.join();
        }
    }
    std::vector<std::thread> threads;
};

std::mutex& WorkersMutex() {
    static std::mutex s_mutex;
    return s_mutex;
}

std::vector<std::thread>& Workers() {
    static WorkerList s_list;
    return s_list.threads;
}

// The level-load handlers alive. Scene scripts on the loading thread may
// make one, so the set is guarded.
std::mutex& LevelHandlersMutex() {
    static std::mutex s_mutex;
    return s_mutex;
}

std::vector<UiLevelLoadHandler*>& LevelHandlers() {
    static std::vector<UiLevelLoadHandler*> s_handlers;
    return s_handlers;
}

}  // namespace

// ---- resource load

UiResourceLoadHandler::~UiResourceLoadHandler() = default;

void UiResourceLoadHandler::Start() {
    if (m_started) return;
    m_started = true;
    // Counted before the thread exists, so that a wait that follows on the
    // main thread cannot miss it.
    s_runningResourceLoads.fetch_add(1);
    std::lock_guard lock(WorkersMutex());
    try {
        Workers().emplace_back([] {
            if (ResourceManager* resources = ResourceManager::Instance()) resources->BackgroundLoad();
            s_runningResourceLoads.fetch_sub(1, std::memory_order_release);
        });
    } catch (const std::system_error& error) {
        s_runningResourceLoads.fetch_sub(1);
        LogErrorf("UiResourceLoadHandler: cannot start the loading thread (%s)", error.what());
    }
}

void UiResourceLoadHandler::WaitWhileLoadsRun() {
    while (s_runningResourceLoads.load(std::memory_order_acquire) > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void UiResourceLoadHandler::WaitForResourceLoads() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(WorkersMutex());
        threads.swap(Workers());
    }
    for (std::thread& thread : threads) thread.join();
}

void UiResourceLoadHandler::StopAllLoads() {
    ResourceManager* resources = ResourceManager::Instance();
    if (resources) resources->RequestStop(true);
    WaitForResourceLoads();
    if (resources) resources->RequestStop(false);
    UiLevelLoadHandler::JoinAllWorkers();
}

std::unique_ptr<UiEventHandler> UiResourceLoadHandler::Clone() const {
    return std::make_unique<UiResourceLoadHandler>();
}

// ---- level load

UiLevelLoadHandler::UiLevelLoadHandler() {
    std::lock_guard lock(LevelHandlersMutex());
    LevelHandlers().push_back(this);
}

UiLevelLoadHandler::~UiLevelLoadHandler() {
    {
        std::lock_guard lock(LevelHandlersMutex());
        std::erase(LevelHandlers(), this);
    }
    Join();
    StopListening();
}

void UiLevelLoadHandler::JoinAllWorkers() {
    std::lock_guard lock(LevelHandlersMutex());
    for (UiLevelLoadHandler* handler : LevelHandlers()) handler->Join();
}

void UiLevelLoadHandler::Start() {
    CoreSystem* core = Core();
    if (core == nullptr) return;
    if (!m_listening) {
        core->Listen(m_startMessage, MakeDelegate(this, &UiLevelLoadHandler::OnLevelLoaded));
        core->Listen("UiTimeUpdate", MakeDelegate(this, &UiLevelLoadHandler::OnUiTimeUpdate));
        m_listening = true;
    }
    Join();
    m_targets.clear();
    core->SendMessageValues(m_requestMessage, &m_targets);
    m_started.store(false);
    m_done.store(false);
    m_working = false;
}

void UiLevelLoadHandler::OnLevelLoaded() {
    if (m_working) return;  // one worker at a time over the same jobs
    Join();
    m_started.store(false);
    m_done.store(false);
    try {
        m_worker = std::thread(&UiLevelLoadHandler::RunTargets, this);
        m_working = true;
    } catch (const std::system_error& error) {
        LogErrorf("UiLevelLoadHandler: cannot start the loading thread (%s)", error.what());
    }
}

void UiLevelLoadHandler::RunTargets() {
    m_started.store(true, std::memory_order_relaxed);
    // The jobs are read only: the vector is not changed while a worker runs.
    for (const FunctionRef& target : m_targets) {
        if (target) target->Call();
    }
    m_done.store(true, std::memory_order_release);
}

void UiLevelLoadHandler::OnUiTimeUpdate(float) {
    // On a fixed step the first time update after the start message ends
    // the load: the worker is waited for.
    if (m_working && FixedStepRun()) Join();
    if (!m_done.load(std::memory_order_acquire) || !m_started.load(std::memory_order_relaxed)) return;
    m_started.store(false);
    m_done.store(false);
    Join();
    m_working = false;
    if (m_owner) m_owner->RaiseEvent(m_completionEvent);
}

void UiLevelLoadHandler::Detach() {
    Join();
    m_working = false;
    StopListening();
}

void UiLevelLoadHandler::Join() {
    if (m_worker.joinable()) m_worker.join();
}

void UiLevelLoadHandler::StopListening() {
    if (!m_listening) return;
    m_listening = false;
    if (CoreSystem* core = Core()) {
        core->Unlisten(m_startMessage, MakeDelegate(this, &UiLevelLoadHandler::OnLevelLoaded));
        core->Unlisten("UiTimeUpdate", MakeDelegate(this, &UiLevelLoadHandler::OnUiTimeUpdate));
    }
}

std::unique_ptr<UiEventHandler> UiLevelLoadHandler::Clone() const {
    auto copy = std::make_unique<UiLevelLoadHandler>();
    copy->m_startMessage = m_startMessage;
    copy->m_requestMessage = m_requestMessage;
    copy->m_completionEvent = m_completionEvent;
    return copy;
}

}  // namespace Ostrel
