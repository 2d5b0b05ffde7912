#include "engine/core/CoreSystem.h"

#include "engine/base/Serializer.h"
#include "engine/core/Engine.h"
#include "engine/core/MessageTrace.h"

namespace Ostrel {

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
        m_table->SetObserver(m_trace.get());
    }
}

}  // namespace Ostrel
