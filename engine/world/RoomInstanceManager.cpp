#include "engine/world/RoomInstanceManager.h"

#include "engine/base/Log.h"

namespace Ostrel {

bool RoomInstanceManager::LoadPalette(const std::vector<std::unique_ptr<RoomGroup>>& groups,
                                      const std::string& paletteName) {
    Clear();
    m_fault.clear();
    for (const auto& group : groups) {
        if (!LoadGroup(*group, paletteName)) {
            Clear();
            LogMessage("Room palette " + paletteName + " is refused: no level is built from it\n");
            return false;
        }
    }
    return true;
}

bool RoomInstanceManager::LoadGroup(const RoomGroup& group, const std::string& paletteName) {
    const std::string fault =
        CheckRandomGroup(group.playOrder, group.minRooms, group.maxRooms, group.roomNames.size());
    if (!fault.empty()) {
        m_fault = "room palette " + paletteName + ": " + fault;
        LogMessage("Room palette " + paletteName + ": " + fault + "\n");
        return false;
    }
    if (group.playOrder == kRoomsOrdered && group.roomNames.empty())
        LogMessage("Room palette " + paletteName + ": an ordered group lists no room; it adds nothing to the level\n");
    auto resolved = std::make_unique<RoomInstanceGroup>();
    resolved->playOrder = group.playOrder;
    resolved->minRooms = group.minRooms;
    resolved->maxRooms = group.maxRooms;
    for (const std::string& name : group.roomNames) {
        RoomInstance* room = LoadRoom(name);
        if (room == nullptr || !ClassifyRoom(*room, paletteName)) return false;
        resolved->rooms.push_back(room);
    }
    m_groups.push_back(std::move(resolved));
    return true;
}

RoomInstance* RoomInstanceManager::LoadRoom(const std::string& name) {
    if (RoomInstance* known = Find(name)) return known;
    auto room = std::make_unique<RoomInstance>(name);
    if (!room->Load(name)) {
        m_fault = room->GetFault();
        return nullptr;
    }
    RoomInstance* loaded = room.get();
    Add(name, std::move(room));
    return loaded;
}

bool RoomInstanceManager::ClassifyRoom(RoomInstance& room, const std::string& paletteName) {
    if (room.HasEntrance() && room.HasExit()) {
        m_middle.push_back(&room);
        return true;
    }
    RoomInstance*& slot = room.HasEntrance() ? m_end : m_start;
    if (slot != nullptr) {
        const bool end = room.HasEntrance();
        const std::string fault = std::string("Room palette has multiple ") + (end ? "end" : "start") +
                                  " rooms: " + slot->GetName() + ", " + room.GetName() + " (palette " + paletteName;
        // A palette starts with its start room and ends with its end room, so
        // the odd one out is an earlier end room or a later start room: most
        // likely a room that lost a portal. The line starts with its file.
        const RoomInstance& odd = end ? *slot : room;
        m_fault = "room [" + odd.GetName() + "] has " + (end ? "an entrance but no exit" : "an exit but no entrance") +
                  ", so the palette " + paletteName + " has two " + (end ? "end" : "start") + " rooms";
        const std::string& palettePath = CurrentLogSource();
        if (slot == &room || odd.GetPath().empty() || palettePath.empty()) {
            LogMessage(fault + ")\n");
        } else {
            LogMessage(odd.GetPath() + ": room [" + odd.GetName() + "] has " +
                       (end ? "an entrance but no exit" : "an exit but no entrance") + ": " + fault + ") in " +
                       palettePath + "\n");
        }
        return false;
    }
    slot = &room;
    return true;
}

void RoomInstanceManager::GetGroups(std::vector<RoomInstanceGroup*>& out) const {
    out.clear();
    for (const auto& group : m_groups) out.push_back(group.get());
}

void RoomInstanceManager::Clear() {
    m_groups.clear();
    m_start = nullptr;
    m_end = nullptr;
    m_middle.clear();
    DeleteAll();
}

}  // namespace Ostrel
