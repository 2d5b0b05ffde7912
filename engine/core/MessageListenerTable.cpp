#include "engine/core/MessageListenerTable.h"

#include "engine/base/Assert.h"

namespace Ostrel {

MessageListenerTable::~MessageListenerTable() { Clear(); }

void MessageListenerTable::Listen(const std::string& name, const FunctionRef& function) {
    if (!function) return;  // nothing to call
    if (m_depth == 0) return AddNow(m_active, name, function);
    m_dirty = true;
    AddNow(m_pendingAdd, name, function);
}

void MessageListenerTable::Unlisten(const std::string& name, const FunctionRef& function) {
    if (!function) return;
    if (m_depth == 0) return RemoveNow(m_active, name, function);
    m_dirty = true;
    AddNow(m_pendingRemove, name, function);
}

void MessageListenerTable::Observe(std::string_view name, const VariantList& arguments) {
    if (m_observer->Wants(name)) m_observer->OnSend(name, arguments);
}

void MessageListenerTable::Send(std::string_view name) {
    if (m_observer != nullptr) [[unlikely]] Observe(name, VariantList());
    auto entry = m_active.find(name);
    if (entry != m_active.end()) Dispatch(entry, [](VariantFunction& f) { f.Call(); });
}

void MessageListenerTable::SendArgs(std::string_view name, const VariantList& arguments) {
    if (m_observer != nullptr) [[unlikely]] Observe(name, arguments);
    auto entry = m_active.find(name);
    if (entry != m_active.end())
        Dispatch(entry, [&arguments](VariantFunction& f) { f.Call(arguments); });
}

VariantList& MessageListenerTable::AddArgumentList(int depth) {
    while (m_argumentLists.size() <= std::size_t(depth))
        m_argumentLists.push_back(std::make_unique<VariantList>());
    return *m_argumentLists[std::size_t(depth)];
}

void MessageListenerTable::SetHandler(const std::string& name, const FunctionRef& function) {
    m_active[name].handler = function;
}

void MessageListenerTable::ClearHandler(const std::string& name) {
    auto it = m_active.find(name);
    if (it != m_active.end()) it->second.handler = FunctionRef();
}

void MessageListenerTable::Remove(const std::string& name) { m_active.erase(name); }

void MessageListenerTable::Clear() {
    m_active.clear();
    m_pendingRemove.clear();
    m_pendingAdd.clear();
}

std::vector<FunctionRef> MessageListenerTable::GetListeners(const std::string& name) const {
    auto it = m_active.find(name);
    return it == m_active.end() ? std::vector<FunctionRef>() : *it->second.listeners;
}

bool MessageListenerTable::HasHandler(const std::string& name) const {
    auto it = m_active.find(name);
    return it != m_active.end() && static_cast<bool>(it->second.handler);
}

void MessageListenerTable::AddNow(EntryMap& map, const std::string& name,
                                  const FunctionRef& function) {
    auto it = map.find(name);
    if (it != map.end()) {
        const ListenerList* list = it->second.listeners.get();
        const VariantFunction* f = function.Get();
        OSTREL_ASSERT(list->size() == 0 || list->front()->IsCompatible(f),
                      "message '%s': the new listener takes other arguments than the first one\n",
                      name.c_str());
    } else {
        it = map.emplace(name, Entry()).first;
    }
    it->second.listeners->push_back(function);
}

void MessageListenerTable::RemoveNow(EntryMap& map, const std::string& name,
                                     const FunctionRef& function) {
    auto it = map.find(name);
    if (it == map.end()) return;
    ListenerList& list = *it->second.listeners;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!list[i]->IsSame(function.Get())) continue;
        list[i] = list.back();
        list.pop_back();
        return;
    }
}

void MessageListenerTable::ApplyPending() {
    m_dirty = false;
    // Moved out first: a listener list is never walked here, and AddNow may
    // end the program (incompatible listener) with the maps half applied.
    EntryMap removals;
    removals.swap(m_pendingRemove);
    for (const auto& [name, entry] : removals)
        for (const FunctionRef& function : *entry.listeners) RemoveNow(m_active, name, function);
    EntryMap additions;
    additions.swap(m_pendingAdd);
    for (const auto& [name, entry] : additions)
        for (const FunctionRef& function : *entry.listeners) AddNow(m_active, name, function);
}

}  // namespace Ostrel
