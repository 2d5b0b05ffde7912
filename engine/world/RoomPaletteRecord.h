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
    // The file it was read from (empty for text given directly); the lines
    // logged when it is selected name it.
    std::string path;
    // Faults found while parsing (a "random" without its two counts), one
    // line each; a palette with any is refused when it is selected.
    std::vector<std::string> faults;
};

// The most rooms one random group may pick: a larger maximum is a typing
// slip that would otherwise build a level of millions of rooms.
inline constexpr s32 kMaxRandomPicks = 1000;

// Empty when a group of that play order, counts and number of rooms can be
// drawn from, else the fault (without the palette's name): "random group has
// min > max (3 > 1)", a negative minimum, more than kMaxRandomPicks picks, or
// picks without rooms. Ordered groups always pass.
std::string CheckRandomGroup(u32 playOrder, s32 minRooms, s32 maxRooms, std::size_t roomCount);

// Parses palette text into record (which should be fresh). name is the
// palette's name, used in the fault lines. Never fails: whatever cannot be
// read is recorded in record.faults.
void ParseRoomPalette(const std::string& name, std::string text, RoomPaletteRecord& record);

}  // namespace Ostrel
