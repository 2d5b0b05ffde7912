#include "engine/world/RoomPaletteManager.h"
#include "engine/world/RoomPaletteRecord.h"

#include "LevelWorld.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using namespace LevelTest;

// "O[a b] R1,2[c]" for the record's groups.
std::string Describe(const RoomPaletteRecord& record) {
    std::string text;
    for (const auto& group : record.groups) {
        if (!text.empty()) text += " ";
        text += group->playOrder == kRoomsRandom
                    ? "R" + std::to_string(group->minRooms) + "," + std::to_string(group->maxRooms)
                    : "O";
        text += "[";
        for (std::size_t i = 0; i < group->roomNames.size(); ++i) {
            text += (i ? " " : "") + group->roomNames[i];
        }
        text += "]";
    }
    return text;
}

TEST(RoomPaletteText, AwkwardTextParsesIntoTitleAndGroups) {
    struct Case {
        const char* text;
        const char* title;
        const char* groups;
        bool faulty;
    };
    const Case cases[] = {
        {"name: Temple_of-First_Light\nordered s\nrandom 1 2 a b c\nordered e\n", "Temple of First Light",
         "O[s] R1,2[a b c] O[e]", false},
        {"room-a room-b room-c", "Unknown Temple", "O[room-b room-c]", false},  // first name is the group word
        {"ordered random 1 1 a", "Unknown Temple", "O[] R1,1[a]", false},
        {"name: T_1\r\nordered a\r\nrandom 0 0\r\nordered\r\nb", "T 1", "O[a] R0,0[] O[b]", false},
        {"ordered a b", "Unknown Temple", "O[a b]", false},  // no final line end
        {"name: Only", "Only", "", false},
        {"name:", "Unknown Temple", "", false},
        {"", "Unknown Temple", "", false},
        {" \t\r\n ", "Unknown Temple", "", false},
        {"ordered a name: b", "Unknown Temple", "O[a name: b]", false},
        {"random -3 7 x\tordered y", "Unknown Temple", "R-3,7[x] O[y]", false},
        {"random x 2 a", "Unknown Temple", "R0,0[] O[2 a]", true},
        {"random 2", "Unknown Temple", "R2,0[]", true},
        {"random 1 99999999999 a", "Unknown Temple", "R1,0[] O[]", true},  // "a" opens a group
    };
    for (const Case& c : cases) {
        RoomPaletteRecord record;
        ParseRoomPalette("p", c.text, record);
        EXPECT_EQ(record.title, c.title) << c.text;
        EXPECT_EQ(Describe(record), c.groups) << c.text;
        EXPECT_EQ(!record.faults.empty(), c.faulty) << c.text;
    }
}

// The HUD draws the title every frame: a 10 MB "name:" is cut (between
// characters) and the palette itself still works.
TEST(RoomPaletteText, AHugeTitleIsCutAndThePaletteStaysSound) {
    RoomPaletteRecord record;
    ParseRoomPalette("p", "name: " + std::string(10 << 20, 'x') + "\u00e9 ordered a b", record);
    EXPECT_EQ(record.title.size(), 256u);
    EXPECT_TRUE(record.faults.empty());
    ASSERT_EQ(record.groups.size(), 1u);
    RoomPaletteRecord accented;
    ParseRoomPalette("p", "name: " + std::string(255, 'x') + "\u00e9 ordered a", accented);
    EXPECT_EQ(accented.title, std::string(255, 'x')) << "never half a character";
}

class RoomPaletteSelect : public ::testing::Test {
protected:
    LevelWorld world{{
        {"start.xrm", PortalRoom(0, kNone, 10)},
        {"mid.xrm", PortalRoom(2, 0, 10)},
        {"end.xrm", PortalRoom(0, 0, kNone)},
        {"other-start.xrm", PortalRoom(0, kNone, 4)},
        {"twin-door.xrm", Room(0, Portal("Entrance", 0) + Portal("Entrance", 3))},
        {"temple.rmp", "name: Old_Vault\nordered start\nrandom 1 2 mid mid\nordered end\n"},
        {"two-starts.rmp", "ordered start other-start mid end"},
        {"same-start-twice.rmp", "ordered start mid\nordered start end"},
        {"two-ends.rmp", "ordered start end mid end"},
        {"bad-room.rmp", "ordered start twin-door end"},
        {"missing-room.rmp", "ordered start nowhere end"},
        {"min-above-max.rmp", "ordered start random 3 1 mid ordered end"},
        {"empty-random.rmp", "ordered start random 1 2 ordered end"},
        {"zero-random.rmp", "ordered start random 0 0 ordered end"},
        {"huge-random.rmp", "ordered start random 1 5000 mid ordered end"},
        {"bad-counts.rmp", "ordered start random one two mid ordered end"},
    }};
};

TEST_F(RoomPaletteSelect, LoadsClassifiesAndRereadsRoomsOnEverySelect) {
    ASSERT_TRUE(world.palettes.Select("temple"));
    EXPECT_EQ(world.rooms.GetTitle(), "Old Vault");
    ASSERT_NE(world.rooms.GetStartRoom(), nullptr);
    EXPECT_EQ(world.rooms.GetStartRoom()->GetName(), "start");
    EXPECT_EQ(world.rooms.GetEndRoom()->GetName(), "end");
    // "mid" is listed twice: loaded once, classified (and grouped) twice.
    ASSERT_EQ(world.rooms.GetMiddleRooms().size(), 2u);
    EXPECT_EQ(world.rooms.GetMiddleRooms()[0], world.rooms.GetMiddleRooms()[1]);
    EXPECT_EQ(world.rooms.Assets().size(), 3u);
    const auto groups = world.Groups();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[1]->playOrder * 100 + groups[1]->minRooms * 10 + groups[1]->maxRooms, 112u);
    EXPECT_EQ(LevelWorld::Names(groups[1]->rooms), (std::vector<std::string>{"mid", "mid"}));
    EXPECT_EQ(groups[1]->rooms[0]->GetDifficulty(), 2);

    world.Write("mid.xrm", PortalRoom(7, 0, 10));
    ASSERT_TRUE(world.palettes.Select("temple"));
    EXPECT_EQ(world.Groups()[1]->rooms[0]->GetDifficulty(), 7) << "an edited room shows on the next selection";
    EXPECT_EQ(world.rooms.GetMiddleRooms().size(), 2u) << "classification starts afresh";
}

TEST_F(RoomPaletteSelect, UnknownPaletteKeepsThePreviousRooms) {
    ASSERT_TRUE(world.palettes.Select("temple"));
    const RoomPaletteRecord* current = world.palettes.GetCurrent();
    EXPECT_TRUE(world.palettes.Select("no-such-palette"));
    EXPECT_EQ(world.palettes.GetCurrent(), current);
    EXPECT_EQ(world.Groups().size(), 3u);
    EXPECT_TRUE(world.Logged("Room palette no-such-palette is not loaded; the previous palette stays selected"))
        << world.log;
}

TEST_F(RoomPaletteSelect, ContentFaultsRefuseThePaletteWithALineNamingIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"two-starts", "Room palette has multiple start rooms: start, other-start (palette two-starts)"},
        {"same-start-twice", "Room palette has multiple start rooms: start, start (palette same-start-twice)"},
        {"two-ends", "Room palette has multiple end rooms: end, end (palette two-ends)"},
        {"bad-room", "Room [twin-door] has multiple entrances; the room is refused"},
        {"missing-room", "Room [nowhere] could not be read; the room is refused"},
        {"min-above-max", "Room palette min-above-max: random group has min > max (3 > 1)"},
        {"empty-random", "Room palette empty-random: random group has no rooms"},
        {"huge-random", "Room palette huge-random: random group may pick 5000 rooms (at most 1000)"},
        {"bad-counts", "Room palette bad-counts is refused: Room palette bad-counts: 'random' must be followed by "
                       "two integers"},
    };
    for (const auto& [palette, line] : cases) {
        ASSERT_TRUE(world.palettes.Select("temple"));
        world.log.clear();
        EXPECT_FALSE(world.palettes.Select(palette)) << palette;
        EXPECT_TRUE(world.Logged(line)) << palette << "\n" << world.log;
        EXPECT_TRUE(world.Groups().empty()) << palette;
        EXPECT_TRUE(world.rooms.Assets().empty()) << palette;
        EXPECT_EQ(world.rooms.GetStartRoom(), nullptr) << palette;
    }
    EXPECT_TRUE(world.palettes.Select("zero-random")) << "min = max = 0 without rooms is allowed";
}

}  // namespace
}  // namespace Ostrel
