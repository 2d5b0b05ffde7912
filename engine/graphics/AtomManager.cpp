#include "engine/graphics/AtomManager.h"

#include "engine/core/Lifetime.h"

namespace Ostrel {

AtomManagerInst& AtomManagerInst::Instance() {
    return LongLivedSingleton<AtomManagerInst, kLongevityAtomManager>::Instance();
}

ParamHandle AtomManagerInst::Intern(const std::string& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_names.find(name);
    if (it == m_names.end()) it = m_names.emplace(name, std::make_unique<std::string>(name)).first;
    return it->second.get();
}

void AtomManagerInst::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_names.clear();
}

std::size_t AtomManagerInst::Size() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_names.size();
}

}  // namespace Ostrel
