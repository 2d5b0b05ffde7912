#include "engine/ui/UiLoadHandlers.h"

#include "engine/base/Log.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/resources/ResourceManager.h"
#include "engine/ui/UiBase.h"

#include <mutex>
#include <system_error>

namespace Ostrel {

namespace {

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

// Background-load workers whose handlers are gone; joined at shutdown, and
// at exit at the latest (a joinable thread destroyed would end the program).
struct WorkerList {
    ~WorkerList() {
        for (std::thread& thread : threads) {
            if (thread.joinable()) thread.join();
        }
    }
    std::vector<std::thread> threads;
};

std::mutex& HandedOverMutex() {
    static std::mutex s_mutex;
    return s_mutex;
}

std::vector<std::thread>& HandedOver() {
    static WorkerList s_list;
    return s_list.threads;
}

}  // namespace

// ---- resource load

UiResourceLoadHandler::~UiResourceLoadHandler() {
    HandOver();
}

void UiResourceLoadHandler::Start() {
    if (m_worker.joinable()) return;  // started already
    try {
        m_worker = std::thread([] {
            if (ResourceManager* resources = ResourceManager::Instance()) resources->BackgroundLoad();
        });
    } catch (const std::system_error& error) {
        LogErrorf("UiResourceLoadHandler: cannot start the loading thread (%s)", error.what());
    }
}

void UiResourceLoadHandler::Detach() {
    HandOver();
}

void UiResourceLoadHandler::HandOver() {
    if (!m_worker.joinable()) return;
    std::lock_guard lock(HandedOverMutex());
    HandedOver().push_back(std::move(m_worker));
}

void UiResourceLoadHandler::WaitForResourceLoads() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(HandedOverMutex());
        threads.swap(HandedOver());
    }
    for (std::thread& thread : threads) thread.join();
}

std::unique_ptr<UiEventHandler> UiResourceLoadHandler::Clone() const {
    return std::make_unique<UiResourceLoadHandler>();
}

// ---- level load

UiLevelLoadHandler::~UiLevelLoadHandler() {
    Join();
    StopListening();
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
