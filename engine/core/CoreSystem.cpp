#include "engine/core/CoreSystem.h"

#include "engine/base/Serializer.h"
#include "engine/core/Engine.h"
#include "engine/core/MessageTrace.h"

#include <set>

namespace Ostrel {

// The table has one observer slot: the trace and the send watcher share it.
class CoreSystem::Observer final : public MessageListenerTable::SendObserver {
public:
    MessageTrace* trace = nullptr;
    std::set<std::string, std::less<>> watched;
    SendWatcher watcher;

    bool Wants(std::string_view name) const override {
        return (trace && trace->Wants(name)) || watched.count(name) != 0;
    }
    void OnSend(std::string_view name, const VariantList& arguments) override {
        if (trace && trace->Wants(name)) trace->OnSend(name, arguments);
        if (watcher && watched.count(name) != 0) watcher(name);
    }
};

CoreSystem::CoreSystem() : m_table(std::make_unique<MessageListenerTable>()) {}

CoreSystem::~CoreSystem() { m_table->SetObserver(nullptr); }

void CoreSystem::LoadConfig(Serializer* config) {
    if (!config) return;
    config->SerializeBool("debug", &m_debug);
    config->SerializeFloat("max-fps", &m_maxFps);
}

void CoreSystem::Initialize() {
    if (!m_engine) return;
    m_engine->SetDebug(m_debug);
    if (m_maxFps > 0.0f) m_engine->SetMaxFps(m_maxFps);
    const auto& traced = m_engine->GetRunSwitches().traceMessages;
    if (traced && !m_trace) {
        m_trace = std::make_unique<MessageTrace>(*traced);
        InstallObserver();
    }
}

void CoreSystem::WatchSends(const std::vector<std::string>& names, SendWatcher watcher) {
    InstallObserver();
    m_observer->watched = {names.begin(), names.end()};
    m_observer->watcher = names.empty() ? SendWatcher() : std::move(watcher);
}

void CoreSystem::InstallObserver() {
    if (!m_observer) m_observer = std::make_unique<Observer>();
    m_observer->trace = m_trace.get();
    m_table->SetObserver(m_observer.get());
}

}  // namespace Ostrel
