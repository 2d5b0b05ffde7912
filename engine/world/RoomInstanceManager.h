#pragma once
// The rooms of the selected room palette. Selecting a palette
// (RoomPaletteManager::Select) hands its groups to LoadPalette, which reads
// every named room from its room file again (an edited room shows on the
// next selection), keeps the rooms by name, sorts them into the start room
// (exit only), the end room (entrance only) and the middle rooms, and builds
// the room groups that the room layout draws from.
//
// A palette is refused, with a log line naming it and the fault, when a room
// cannot be read or breaks the room rules (RoomInstance), when it has more
// than one start or end room (the same room listed twice counts twice), or
// when a random group cannot be drawn from (minimum above maximum, a negative
// minimum, more than kMaxRandomPicks picks, or picks without rooms). A
// refused palette leaves no rooms and no groups, so no level is built from
// it.

#include "engine/core/GenericManager.h"
#include "engine/world/RoomInstance.h"
#include "engine/world/RoomPaletteRecord.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

// One group of the selected palette, with its rooms resolved.
struct RoomInstanceGroup {
    u32 playOrder = kRoomsOrdered;
    s32 minRooms = 0;
    s32 maxRooms = 0;
    // Borrowed from the manager's rooms, in palette order; a room listed
    // twice appears twice.
    std::vector<RoomInstance*> rooms;
};

class RoomInstanceManager : public GenericAssetManager<RoomInstanceManager, RoomInstance> {
public:
    // Replaces the rooms and groups by those of the palette (see the header
    // comment); paletteName only names the palette in log lines. False when
    // the palette was refused; the manager is then empty.
    bool LoadPalette(const std::vector<std::unique_ptr<RoomGroup>>& groups, const std::string& paletteName);

    // Empties out and appends the groups, in palette order.
    void GetGroups(std::vector<RoomInstanceGroup*>& out) const;
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }

    RoomInstance* GetStartRoom() const { return m_start; }
    RoomInstance* GetEndRoom() const { return m_end; }
    const std::vector<RoomInstance*>& GetMiddleRooms() const { return m_middle; }

    // Drops every room and group.
    void Clear();
    // Why the last LoadPalette refused the palette (a room's own fault, or
    // the palette's), for the screens that tell a person; empty when none.
    const std::string& GetFault() const { return m_fault; }

private:
    // The room of that name, read from its file on first use; null when it
    // was refused (logged).
    RoomInstance* LoadRoom(const std::string& name);
    bool ClassifyRoom(RoomInstance& room, const std::string& paletteName);
    bool LoadGroup(const RoomGroup& group, const std::string& paletteName);

    RoomInstance* m_start = nullptr;
    RoomInstance* m_end = nullptr;
    std::vector<RoomInstance*> m_middle;
    std::vector<std::unique_ptr<RoomInstanceGroup>> m_groups;
    std::string m_title;
    std::string m_fault;
};

}  // namespace Ostrel
