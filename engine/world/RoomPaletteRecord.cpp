#include "engine/world/RoomPaletteRecord.h"

#include "engine/base/Log.h"
#include "engine/base/TextLimit.h"
#include "engine/io/StreamBufferedReader.h"

#include <algorithm>

namespace Ostrel {

namespace {

constexpr const char* kNameWord = "name:";
constexpr const char* kRandomWord = "random";
constexpr const char* kOrderedWord = "ordered";

// The title is drawn by the HUD every frame: a long one is cut.
constexpr std::size_t kMaxTitleBytes = 256;

void ReadTitle(const std::string& name, IBufferedReader& reader, RoomPaletteRecord& record) {
    std::string token;
    if (!reader.ReadToken(token)) return;
    if (token != kNameWord) {
        reader.UnreadToken(token);
        return;
    }
    std::string title;
    if (!reader.ReadToken(title)) return;
    std::replace(title.begin(), title.end(), '_', ' ');
    std::replace(title.begin(), title.end(), '-', ' ');
    const std::size_t length = title.size();
    if (CapUtf8(title, kMaxTitleBytes)) {
        // Not a fault: the palette itself is sound.
        LogMessage("Room palette " + name + ": the title is " + std::to_string(length) + " bytes long, cut to " +
                   std::to_string(title.size()) + "\n");
    }
    record.title = title;
}

// Room names up to the next group word or the end of the text. Running out of
// text clears the reader's failure, so that the last group counts as read.
void ReadRoomNames(IBufferedReader& reader, RoomGroup& group) {
    group.roomNames.clear();
    std::string token;
    while (reader.ReadToken(token)) {
        if (token == kRandomWord || token == kOrderedWord) {
            reader.UnreadToken(token);
            return;
        }
        group.roomNames.push_back(token);
    }
    reader.ClearError();
}

// False when no group word is left. Any word but "random" starts an ordered
// group and is not a room name.
bool ReadGroup(IBufferedReader& reader, const std::string& name, RoomGroup& group,
               RoomPaletteRecord& record) {
    std::string word;
    if (!reader.ReadToken(word)) return false;
    if (word == kRandomWord) {
        group.playOrder = kRoomsRandom;
        int minimum = 0;
        int maximum = 0;
        const bool counts = reader.ReadInt(minimum) && reader.ReadInt(maximum);
        if (!counts) {
            record.faults.push_back("Room palette " + name +
                                    ": 'random' must be followed by two integers (minimum and maximum)");
        }
        group.minRooms = minimum;
        group.maxRooms = maximum;
    } else {
        group.playOrder = kRoomsOrdered;
    }
    ReadRoomNames(reader, group);
    return true;
}

}  // namespace

std::string CheckRandomGroup(u32 playOrder, s32 minRooms, s32 maxRooms, std::size_t roomCount) {
    if (playOrder != kRoomsRandom) return {};
    if (minRooms > maxRooms) {
        return "random group has min > max (" + std::to_string(minRooms) + " > " + std::to_string(maxRooms) + ")";
    }
    if (minRooms < 0) return "random group has a negative minimum (" + std::to_string(minRooms) + ")";
    if (maxRooms > kMaxRandomPicks) {
        return "random group may pick " + std::to_string(maxRooms) + " rooms (at most " +
               std::to_string(kMaxRandomPicks) + ")";
    }
    if (maxRooms > 0 && roomCount == 0) return "random group has no rooms";
    return {};
}

void ParseRoomPalette(const std::string& name, std::string text, RoomPaletteRecord& record) {
    std::unique_ptr<StreamBufferedReader> reader = StreamBufferedReader::FromText(std::move(text));
    ReadTitle(name, *reader, record);
    for (;;) {
        auto group = std::make_unique<RoomGroup>();
        if (!ReadGroup(*reader, name, *group, record)) break;
        if (reader->IsGood()) record.groups.push_back(std::move(group));
    }
}

}  // namespace Ostrel
