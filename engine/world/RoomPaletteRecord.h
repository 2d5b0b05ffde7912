#pragma once
// One parsed room palette (".rmp"): the recipe of one level, a title and a
// sequence of room groups, each either played in file order or drawn at
// random (see RoomPaletteManager for the file format).

#include "engine/base/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

enum RoomPlayOrder : u32 {
    kRoomsOrdered = 0,
    kRoomsRandom = 1,
};

struct RoomGroup {
    u32 playOrder = kRoomsOrdered;
    // Random groups only (0 otherwise): how many rooms the layout picks.
    s32 minRooms = 0;
    s32 maxRooms = 0;
    std::vector<std::string> roomNames;
};

struct RoomPaletteRecord {
    static constexpr const char* kDefaultTitle = "Unknown Temple";

    std::vector<std::unique_ptr<RoomGroup>> groups;
    std::string title = kDefaultTitle;
    // Faults found while parsing (a "random" without its two counts), one
    // line each; a palette with any is refused when it is selected.
    std::vector<std::string> faults;
};

// Parses palette text into record (which should be fresh). name is the
// palette's name, used in the fault lines. Never fails: whatever cannot be
// read is recorded in record.faults.
void ParseRoomPalette(const std::string& name, std::string text, RoomPaletteRecord& record);

}  // namespace Ostrel
