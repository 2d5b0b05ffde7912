#include "engine/io/StateResourceTable.h"

#include "engine/base/Log.h"

#include <atomic>

namespace Ostrel {

namespace {

std::atomic<StateResourceTable*> s_instance{nullptr};

}  // namespace

StateResourceTable::StateResourceTable() {
    s_instance = this;
}

StateResourceTable::~StateResourceTable() {
    StateResourceTable* self = this;
    s_instance.compare_exchange_strong(self, nullptr);
}

StateResourceTable* StateResourceTable::Instance() {
    return s_instance;
}

bool StateResourceTable::AddState(const std::string& stateName, StateRecord record) {
    return m_states.emplace(stateName, std::move(record)).second;
}

void StateResourceTable::SelectCurrent(const std::string& stateName) {
    m_current = Find(stateName);
    m_currentName = m_current != nullptr ? stateName : std::string();
    if (m_current == nullptr) {
        LogMessage("States: unknown state '" + stateName + "', no state record is current\n");
    }
}

const StateRecord* StateResourceTable::Find(const std::string& stateName) const {
    auto found = m_states.find(stateName);
    return found != m_states.end() ? &found->second : nullptr;
}

}  // namespace Ostrel
