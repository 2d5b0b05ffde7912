#include "engine/world/RoomInstance.h"

#include "LevelWorld.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Ostrel {
namespace {

using namespace LevelTest;

TEST(RoomInstance, BrokenRoomsAreRefusedWithTheirReason) {
    const std::pair<std::string, const char*> cases[] = {
        {Room(0, Portal("Entrance", 0) + Portal("Entrance", 1)), "Room [r0] has multiple entrances"},
        {Room(0, Portal("Exit", 0) + Portal("Entrance", 1) + Portal("Exit", 1)), "Room [r1] has multiple exits"},
        {Room(0, Portal("Side", 0)), "Room [r2] has a portal with unknown type"},
        {Room(0, Object("wall-obj", 0, 0, 0)), "Room [r3] has no entrance or exit"},
        {Room(0, ""), "Room [r4] has no entrance or exit"},
        {Room(0, Portal("Exit", 0) + "<loose-portal-obj/>"), "Room [r5]: encountered a portal with no transform"},
        {Room(0, Portal("Exit", 0) + "<loose-wall-obj/>"),
         "Room [r6]: encountered an object with collision, but no transform"},
        {"<Level><Objects>", "Room [r7] could not be read"},
    };
    std::map<std::string, std::string> files;
    for (std::size_t i = 0; i < std::size(cases); ++i) files["r" + std::to_string(i) + ".xrm"] = cases[i].first;
    LevelWorld world(files);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        RoomInstance room;
        EXPECT_FALSE(room.Load("r" + std::to_string(i))) << cases[i].second;
        EXPECT_TRUE(world.Logged(std::string(cases[i].second) + "; the room is refused")) << world.log;
    }
    RoomInstance missing;
    EXPECT_FALSE(missing.Load("not-there"));
    EXPECT_TRUE(world.Logged("unable to read designated room file: not-there")) << world.log;
}

TEST(RoomInstance, PortalsAndCollisionBoundsComeFromTheObjects) {
    LevelWorld world({
        {"start.xrm", Room(4, Object("spawner-Luvo", 1, 2, 3) + Portal("Exit", 20, 1, 2) +
                                  Object("wall-obj", 0, 0, 0) + Object("wall-obj", 10, 5, -1))},
        {"end.xrm", Room(0, Portal("Entrance", -3))},
        {"untyped.xrm", Room(0, "<portal-obj/>")},  // the archetype's type: an entrance at the origin
    });
    RoomInstance start;
    ASSERT_TRUE(start.Load("start"));
    EXPECT_EQ(start.GetName(), "start");
    EXPECT_EQ(start.GetDifficulty(), 4);
    EXPECT_FALSE(start.HasEntrance());
    ASSERT_TRUE(start.HasExit());
    EXPECT_EQ(start.GetExit(), Vec3(20, 1, 2));
    // Walls are 4 x 1 x 2: x -2..12, y -0.5..5.5, z -2..1.
    EXPECT_EQ(start.GetSize(), Vec3(14, 6, 3));
    EXPECT_EQ(start.GetCentre(), Vec3(5, 2.5f, -0.5f));
    EXPECT_EQ(start.GetObjects().size(), 4u);

    RoomInstance end;
    ASSERT_TRUE(end.Load("end"));
    EXPECT_TRUE(end.HasEntrance());
    EXPECT_EQ(end.GetEntrance(), Vec3(-3, 0, 0));
    EXPECT_TRUE(std::isinf(end.GetSize().x) && end.GetSize().y < 0) << "no collision objects";
    EXPECT_EQ(end.GetCentre(), Vec3(0, 0, 0));
    ASSERT_TRUE(end.Validate()) << "validating again finds the same single entrance";

    RoomInstance untyped;
    ASSERT_TRUE(untyped.Load("untyped"));
    EXPECT_TRUE(untyped.HasEntrance());

    // The editor's path: the templates become live objects.
    start.InstantiateObjects();
    EXPECT_EQ(world.objects.GetLiveObjects().size(), 4u);
}

}  // namespace
}  // namespace Ostrel
