#include "engine/world/RoomPaletteManager.h"

#include "engine/base/Log.h"
#include "engine/io/FilePath.h"
#include "engine/world/RoomInstanceManager.h"

#include <fstream>
#include <sstream>

namespace Ostrel {

void LoadRoomPaletteResource(const std::string& path) {
    if (RoomPaletteManager* palettes = RoomPaletteManager::Instance()) palettes->LoadPaletteFile(path);
}

void RoomPaletteManager::LoadPaletteFile(const std::string& path) {
    const std::string name = FilePath(path).GetBaseName();
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    if (file) text << file.rdbuf();
    if (!file) {
        LogMessage("Failed to open room palette '" + path + "'; it is filed empty\n");
        auto record = std::make_unique<RoomPaletteRecord>();
        record->path = path;
        File(name, std::move(record));
        return;
    }
    AddPaletteText(name, text.str(), path);
}

void RoomPaletteManager::AddPaletteText(const std::string& name, std::string text, const std::string& path) {
    LogSourceScope source(path);
    auto record = std::make_unique<RoomPaletteRecord>();
    record->path = path;
    ParseRoomPalette(name, std::move(text), *record);
    for (const std::string& fault : record->faults) LogMessage(fault + "\n");
    if (record->faults.empty() && record->groups.empty())
        LogMessage("Room palette " + name + " lists no room group; no level can be built from it\n");
    File(name, std::move(record));
}

void RoomPaletteManager::File(const std::string& name, std::unique_ptr<RoomPaletteRecord> record) {
    std::lock_guard lock(m_mutex);
    auto it = m_assets.find(name);
    if (it != m_assets.end() && it->second.get() == m_current) m_current = record.get();
    m_assets[name] = std::move(record);
}

bool RoomPaletteManager::Has(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    return Find(name) != nullptr;
}

std::string RoomPaletteManager::GetPath(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    const RoomPaletteRecord* record = Find(name);
    return record != nullptr ? record->path : std::string();
}

bool RoomPaletteManager::Select(const std::string& name) {
    // Held throughout: a palette file loading now must not replace the
    // record while its groups are read.
    std::lock_guard lock(m_mutex);
    const RoomPaletteRecord* record = Find(name);
    if (record == nullptr) {
        LogMessage("Room palette " + name + " is not loaded; the previous palette stays selected\n");
        return true;
    }
    RoomInstanceManager* rooms = RoomInstanceManager::Instance();
    if (rooms == nullptr) return false;
    // What goes wrong now (a room it names is missing or bad) is told
    // against this file; a room that is found names its own file.
    LogSourceScope source(record->path);
    m_current = record;
    if (!record->faults.empty()) {
        rooms->Clear();
        LogMessage("Room palette " + name + " is refused: " + record->faults.front() + "\n");
        return false;
    }
    if (!rooms->LoadPalette(record->groups, name)) return false;
    rooms->SetTitle(record->title);
    return true;
}

}  // namespace Ostrel
