// Room palettes ("rmp") from arbitrary bytes: the parser must end on any text,
// and every palette that passes the group rules must lay out without a
// division by zero or an index past a group, picking only the group's rooms.
#include "engine/base/Logger.h"
#include "engine/core/Random.h"
#include "engine/world/RoomInstance.h"
#include "engine/world/RoomLayout.h"
#include "engine/world/RoomPaletteRecord.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    Ostrel::RoomPaletteRecord record;
    Ostrel::ParseRoomPalette("fuzz", std::string(reinterpret_cast<const char*>(data), size), record);

    // One room per name, its difficulty taken from the name.
    std::map<std::string, std::unique_ptr<Ostrel::RoomInstance>> rooms;
    std::vector<std::unique_ptr<Ostrel::RoomInstanceGroup>> groups;
    std::vector<Ostrel::RoomInstanceGroup*> view;
    for (const auto& group : record.groups) {
        if (!Ostrel::CheckRandomGroup(group->playOrder, group->minRooms, group->maxRooms, group->roomNames.size())
                 .empty()) {
            continue;
        }
        auto resolved = std::make_unique<Ostrel::RoomInstanceGroup>();
        resolved->playOrder = group->playOrder;
        resolved->minRooms = group->minRooms;
        resolved->maxRooms = group->maxRooms;
        for (const std::string& name : group->roomNames) {
            auto& room = rooms[name];
            if (!room) {
                room = std::make_unique<Ostrel::RoomInstance>(name);
                room->SetDifficulty(static_cast<int>(std::hash<std::string>{}(name) % 7) - 3);
            }
            resolved->rooms.push_back(room.get());
        }
        view.push_back(resolved.get());
        groups.push_back(std::move(resolved));
    }
    Ostrel::SRand(static_cast<unsigned>(size));
    std::vector<Ostrel::RoomInstance*> sequence;
    if (!Ostrel::AppendRoomSequence(view, sequence)) std::abort();  // every group passed the rules
    for (const Ostrel::RoomInstance* room : sequence) {
        if (rooms.find(room->GetName()) == rooms.end() || rooms[room->GetName()].get() != room) std::abort();
    }
    // The checks themselves must refuse what the layout could not draw.
    for (const auto& group : record.groups) {
        if (group->playOrder != Ostrel::kRoomsRandom) continue;
        const bool accepted =
            Ostrel::CheckRandomGroup(group->playOrder, group->minRooms, group->maxRooms, group->roomNames.size())
                .empty();
        if (accepted && (group->minRooms > group->maxRooms || group->minRooms < 0 ||
                         (group->maxRooms > 0 && group->roomNames.empty()))) {
            std::abort();
        }
    }
    return 0;
}
