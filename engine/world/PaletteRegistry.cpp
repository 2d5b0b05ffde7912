#include "engine/world/PaletteRegistry.h"

#include "engine/world/TilePaletteRecord.h"

namespace Ostrel {

PaletteRegistry::PaletteRegistry() { s_instance = this; }

PaletteRegistry::~PaletteRegistry() {
    Shutdown();
    if (s_instance == this) s_instance = nullptr;
}

TilePaletteRecord* PaletteRegistry::Insert(const std::string& name, std::unique_ptr<TilePaletteRecord> record) {
    std::lock_guard lock(m_mutex);
    auto [it, inserted] = m_palettes.try_emplace(name, std::move(record));
    return it->second.get();
}

TilePaletteRecord* PaletteRegistry::Find(const std::string& name) const {
    if (name.empty()) return nullptr;
    std::lock_guard lock(m_mutex);
    auto it = m_palettes.find(name);
    return it == m_palettes.end() ? nullptr : it->second.get();
}

void PaletteRegistry::ListPalettes(std::vector<TilePaletteRecord*>& out) const {
    out.clear();
    std::lock_guard lock(m_mutex);
    for (const auto& [name, record] : m_palettes) out.push_back(record.get());
}

void PaletteRegistry::Shutdown() {
    std::lock_guard lock(m_mutex);
    m_palettes.clear();
}

}  // namespace Ostrel
