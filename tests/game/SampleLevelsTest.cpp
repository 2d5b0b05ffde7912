// The shipped level order and its rooms keep the placement rules the fights
// depend on: read straight from rsc/ (level order, palettes, rooms and the
// archetypes they name), without running anything.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kRsc = std::string(LV_SOURCE_DIR) + "/rsc";

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One placed object: its archetype name, the room's own component elements
// and its position.
struct Placed {
    std::string name;
    const TiXmlElement* element = nullptr;
    float x = 0, y = 0, z = 0, height = 1;
};

struct Room {
    std::string name;
    std::string text;
    TiXmlDocument doc;
    std::vector<Placed> objects;
};

float ChildFloat(const TiXmlElement* parent, const char* child, float fallback) {
    const TiXmlElement* e = parent ? parent->FirstChildElement(child) : nullptr;
    return e && e->GetText() ? std::stof(e->GetText()) : fallback;
}

class SampleLevels : public ::testing::Test {
protected:
    void SetUp() override {
        // Every archetype of rsc/objects, by name.
        for (const auto& entry : std::filesystem::directory_iterator(kRsc + "/objects")) {
            if (entry.path().extension() != ".xobj") continue;
            auto doc = std::make_unique<TiXmlDocument>();
            const std::string text = "<all>" + ReadText(entry.path().string()) + "</all>";
            doc->Parse(text.c_str());
            ASSERT_FALSE(doc->Error()) << entry.path();
            for (const TiXmlElement* e = doc->RootElement()->FirstChildElement(); e; e = e->NextSiblingElement())
                archetypes[e->Value()] = e;
            docs.push_back(std::move(doc));
        }
        TiXmlDocument order;
        const std::string text = "<all>" + ReadText(kRsc + "/levels/levels.xlod") + "</all>";
        order.Parse(text.c_str());
        ASSERT_FALSE(order.Error());
        for (const TiXmlElement* e = order.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement())
            levels.push_back(e->Value());
    }

    // The rooms of a palette in file order: an ordered group's in play
    // order, a random group's every room it draws from. `random` counts the
    // random groups.
    std::vector<std::unique_ptr<Room>> Rooms(const std::string& palette, int* random = nullptr) {
        std::vector<std::unique_ptr<Room>> rooms;
        std::istringstream lines(ReadText(kRsc + "/levels/" + palette + ".rmp"));
        std::string line;
        if (random) *random = 0;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string kind, name;
            words >> kind;
            if (kind == "random") {
                int least = 0, most = 0;
                words >> least >> most;
                if (random) ++*random;
            } else if (kind != "ordered") {
                continue;
            }
            while (words >> name) rooms.push_back(LoadRoom(name));
        }
        return rooms;
    }

    std::unique_ptr<Room> LoadRoom(const std::string& name) {
        auto room = std::make_unique<Room>();
        room->name = name;
        room->text = ReadText(kRsc + "/level/" + name + ".xrm");
        room->doc.Parse(room->text.c_str());
        EXPECT_FALSE(room->doc.Error()) << name;
        const TiXmlElement* objects = room->doc.RootElement() ? room->doc.RootElement()->FirstChildElement("Objects")
                                                              : nullptr;
        for (const TiXmlElement* e = objects ? objects->FirstChildElement() : nullptr; e; e = e->NextSiblingElement()) {
            const TiXmlElement* t = e->FirstChildElement("TransformComponent");
            room->objects.push_back({e->Value(), e, ChildFloat(t, "PosX", 0), ChildFloat(t, "PosY", 0),
                                     ChildFloat(t, "PosZ", 0), ChildFloat(t, "ScaY", 1)});
        }
        return room;
    }

    // A component element of a placed object: the room's own, else its archetype's.
    const TiXmlElement* Component(const Placed& object, const char* type) const {
        if (const TiXmlElement* own = object.element->FirstChildElement(type)) return own;
        auto it = archetypes.find(object.name);
        return it == archetypes.end() ? nullptr : it->second->FirstChildElement(type);
    }
    std::string Text(const Placed& object, const char* type, const char* key) const {
        const TiXmlElement* c = Component(object, type);
        const TiXmlElement* k = c ? c->FirstChildElement(key) : nullptr;
        return k && k->GetText() ? k->GetText() : "";
    }
    // The archetype a wave spawner makes, "" for other objects.
    std::string WaveMakes(const Placed& object) const { return Text(object, "WaveSpawnerComponent", "SpawnType"); }
    bool IsBoss(const std::string& name) const {
        return name == "brood-mother-obj" || name == "yak-boss-obj" || name == "bird-boss-obj" ||
               name == "fox-boss-obj";
    }

    // Checks one boss room: the boss comes from a wave spawner whose listener
    // id a player trigger of the same room sends; level geometry walls and a
    // region stand around it.
    void ExpectBossRoom(const Room& room, const std::string& boss) {
        SCOPED_TRACE(room.name);
        const Placed* spawner = nullptr;
        for (const Placed& o : room.objects) {
            EXPECT_NE(o.name, boss) << "a boss placed directly starts before the player exists";
            if (WaveMakes(o) == boss) spawner = &o;
        }
        ASSERT_NE(spawner, nullptr) << "no wave spawner makes " << boss;
        const std::string id = Text(*spawner, "TriggerListenerComponent", "TriggerId");
        ASSERT_FALSE(id.empty());
        bool triggered = false, region = false;
        int walls = 0;
        for (const Placed& o : room.objects) {
            if (Text(o, "PlayerTriggerComponent", "TriggerId") == id) triggered = true;
            if (Component(o, "RegionComponent")) region = true;
            // A wall: level geometry whose top stands above the boss, not a floor under it.
            if (Component(o, "LevelGeometryComponent") && o.y + o.height / 2 > spawner->y) ++walls;
        }
        EXPECT_TRUE(triggered) << "no player trigger sends " << id;
        EXPECT_TRUE(region) << "no region marks the arena";
        EXPECT_GE(walls, 4) << "too few level geometry walls at or above the boss";
    }

    std::vector<std::unique_ptr<TiXmlDocument>> docs;
    std::map<std::string, const TiXmlElement*> archetypes;
    std::vector<std::string> levels;
};

TEST_F(SampleLevels, SevenLevelsInOrderEachStartingWithThePlayer) {
    ASSERT_EQ(levels, (std::vector<std::string>{"yak-nests", "temple-1", "brood-hall", "yak-boss", "temple-2",
                                                "bird-boss", "fox-boss"}));
    // The start room's spawners are the fighters themselves: the player and
    // its companion, without which the player has no attack at all.
    ASSERT_TRUE(archetypes.count("spawner-Luvo") && archetypes.count("spawner-qil-obj"));
    EXPECT_NE(archetypes.at("spawner-Luvo")->FirstChildElement("PlayerComponent"), nullptr);
    EXPECT_NE(archetypes.at("spawner-qil-obj")->FirstChildElement("QilComponent"), nullptr);
    for (const std::string& level : levels) {
        auto rooms = Rooms(level);
        ASSERT_GE(rooms.size(), 2u) << level;
        EXPECT_EQ(rooms.front()->name, "room-start") << level;
        for (const auto& room : rooms) {
            // The brood mother's own pulse and wave ids ('BRD1', 'BRD2') never stand in a room.
            EXPECT_EQ(room->text.find("1112687665"), std::string::npos) << room->name;
            EXPECT_EQ(room->text.find("1112687666"), std::string::npos) << room->name;
            for (const Placed& o : room->objects) {
                EXPECT_TRUE(archetypes.count(o.name)) << room->name << " names an unknown archetype " << o.name;
                // What its spawners make at run time must be defined too.
                for (const char* spawner : {"SpawnerComponent", "WaveSpawnerComponent"}) {
                    const std::string made = Text(o, spawner, "SpawnType");
                    EXPECT_TRUE(made.empty() || archetypes.count(made)) << room->name << ": " << o.name
                                                                        << " makes an unknown archetype " << made;
                }
            }
        }
    }
}

TEST_F(SampleLevels, TheGateRoomClosesTheNestLevelAndNoBossStandsInIt) {
    auto rooms = Rooms("yak-nests");
    const Room& last = *rooms.back();
    std::size_t gate = last.objects.size();
    for (std::size_t i = 0; i < last.objects.size(); ++i)
        if (Component(last.objects[i], "GateComponent") && gate == last.objects.size()) gate = i;
    ASSERT_LT(gate, last.objects.size()) << "the last room of the nest level has no gate";
    // The level's objects in the order they are made: the earlier rooms'
    // before the last room's.
    int counted = 0;
    for (const auto& room : rooms)
        for (std::size_t i = 0; i < room->objects.size(); ++i) {
            const Placed& o = room->objects[i];
            const bool enemyLike = Component(o, "SpawnerComponent") || Component(o, "WaveSpawnerComponent") ||
                                   Component(o, "EnemyComponent");
            if (!enemyLike) continue;
            // A wave set off by a trigger may stand before the gate: what it
            // makes comes after the gate has risen, and the gate counts that.
            const bool triggeredWave = Component(o, "WaveSpawnerComponent") &&
                                       Component(o, "TriggerListenerComponent") && !Component(o, "TimedTriggerComponent");
            if (!triggeredWave) {
                EXPECT_TRUE(room.get() == &last && i > gate) << o.name << " stands before the gate that should count it";
            }
            ++counted;
        }
    EXPECT_GE(counted, 3);
    // The gate counts every enemy made after it rises, wherever it is made: a
    // spawner that refills on its own (a nest, a wave with a timer) must be
    // one the player can destroy, or the count never reaches zero.
    for (const auto& room : rooms)
        for (const Placed& o : room->objects) {
            const bool nest = Component(o, "SpawnerComponent") != nullptr;
            const bool wave = Component(o, "WaveSpawnerComponent") != nullptr;
            if (!nest && !(wave && Component(o, "TimedTriggerComponent"))) continue;
            const char* type = nest ? "SpawnerComponent" : "WaveSpawnerComponent";
            EXPECT_EQ(Text(o, type, "Destroyable"), "1") << room->name << ": " << o.name << " refills for ever";
        }
    for (std::size_t r = 0; r + 1 < rooms.size(); ++r)
        for (const Placed& o : rooms[r]->objects)
            EXPECT_FALSE(Component(o, "GateComponent")) << "a gate in " << rooms[r]->name << ", not the last room";
    for (const auto& room : rooms)
        for (const Placed& o : room->objects) {
            EXPECT_FALSE(IsBoss(o.name)) << room->name;
            EXPECT_FALSE(IsBoss(WaveMakes(o))) << room->name << ": a boss spawner in the nest level";
        }
}

// The fights are played in a fixed order of rooms; the temples draw their
// middle rooms at random from corridors of different "Difficulty" and one
// length (entrance to exit), so every draw is walked the same way.
TEST_F(SampleLevels, TheTemplesDrawTheirMiddleRoomsAtRandom) {
    int temples = 0;
    for (const std::string& level : levels) {
        int random = 0;
        auto rooms = Rooms(level, &random);
        const bool temple = level.rfind("temple-", 0) == 0;
        EXPECT_EQ(random, temple ? 1 : 0) << level;
        if (!temple) continue;
        ++temples;
        std::set<int> difficulties;
        for (std::size_t r = 1; r + 1 < rooms.size(); ++r) {
            const Room& room = *rooms[r];
            const TiXmlElement* attributes = room.doc.RootElement()->FirstChildElement("Attributes");
            difficulties.insert(int(ChildFloat(attributes, "Difficulty", 0)));
            float entrance = -1, exit = -1;
            for (const Placed& o : room.objects) {
                if (o.name == "entrance-obj") entrance = o.x;
                if (o.name == "exit-obj") exit = o.x;
                // Nothing stands on the middle line but triggers and marks
                // without a body that stops the player.
                const TiXmlElement* collider = Component(o, "CollisionComponent");
                const bool stops = Component(o, "LevelGeometryComponent") || Component(o, "GateComponent");
                if (collider && stops && o.y > 0) {
                    EXPECT_GT(std::abs(o.z), 1.5f) << room.name << ": " << o.name;
                }
            }
            EXPECT_EQ(exit - entrance, 24.0f) << room.name;
        }
        EXPECT_EQ(difficulties.size(), rooms.size() - 2) << level << ": rooms of one difficulty";
        const auto& last = rooms.back()->objects;
        EXPECT_TRUE(std::any_of(last.begin(), last.end(), [](const auto& o) { return o.name == "goal-obj"; }))
            << level << ": the goal stands in the last room";
    }
    EXPECT_EQ(temples, 2);
}

// Every game class the factory registers (and the light target) is met in
// play: it stands in a room of a shipped level, in the archetype of an
// object placed there, in what such an object's spawners make, or in what
// the game's code makes by name from them (the gate's rumble, the
// projectiles of foxes and bosses).
TEST_F(SampleLevels, EveryRegisteredGameClassIsPlacedInPlay) {
    const std::string registry = ReadText(std::string(LV_SOURCE_DIR) + "/game/RegisterComponentTypes.cpp");
    std::vector<std::string> classes{"LightTargetComponent"};
    const std::string mark = "Register<Vandle::";
    for (std::size_t at = registry.find(mark); at != std::string::npos; at = registry.find(mark, at + 1)) {
        const std::size_t from = at + mark.size();
        classes.push_back(registry.substr(from, registry.find('>', from) - from));
    }
    ASSERT_GT(classes.size(), 30u) << "the registrations were not found";
    std::set<std::string> reached{"rumble-obj", "fox-projectile-obj", "rock-projectile-obj",
                                  "yak-boss-projectile-obj", "fox-boss-projectile-obj", "fox-boss-tremor-obj"};
    std::vector<const TiXmlElement*> roomElements;
    std::vector<std::unique_ptr<Room>> kept;
    for (const std::string& level : levels)
        for (auto& room : Rooms(level)) {
            for (const Placed& o : room->objects) {
                reached.insert(o.name);
                roomElements.push_back(o.element);
            }
            kept.push_back(std::move(room));
        }
    for (bool grew = true; grew;) {
        grew = false;
        for (const std::string& name : std::set<std::string>(reached)) {
            auto it = archetypes.find(name);
            if (it == archetypes.end()) continue;
            for (const char* spawner : {"SpawnerComponent", "WaveSpawnerComponent"}) {
                const TiXmlElement* c = it->second->FirstChildElement(spawner);
                const TiXmlElement* type = c ? c->FirstChildElement("SpawnType") : nullptr;
                if (type && type->GetText() && reached.insert(type->GetText()).second) grew = true;
            }
        }
    }
    for (const std::string& type : classes) {
        bool met = false;
        for (const std::string& name : reached) {
            auto it = archetypes.find(name);
            met = met || (it != archetypes.end() && it->second->FirstChildElement(type.c_str()));
        }
        for (const TiXmlElement* e : roomElements) met = met || e->FirstChildElement(type.c_str());
        EXPECT_TRUE(met) << type << " is registered but placed nowhere a player meets it";
    }
}

// The brood mother's roaming nests wander a box given in level coordinates:
// it must lie on her arena's floor where the level builder puts the arena
// (each room's entrance on the previous room's exit).
TEST_F(SampleLevels, TheBroodMothersRoamingBoxLiesOnHerArenaFloor) {
    auto rooms = Rooms("brood-hall");
    float offsetX = 0, offsetZ = 0, exitX = 0, exitZ = 0;
    for (std::size_t r = 0; r < rooms.size(); ++r)
        for (const Placed& o : rooms[r]->objects) {
            if (o.name == "entrance-obj" && r > 0) offsetX = exitX - o.x, offsetZ = exitZ - o.z;
            if (o.name == "exit-obj") exitX = offsetX + o.x, exitZ = offsetZ + o.z;
        }
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (const Placed& o : rooms.back()->objects) {
        if (o.name != "floor-piece-obj") continue;
        const TiXmlElement* t = o.element->FirstChildElement("TransformComponent");
        const float halfX = ChildFloat(t, "ScaX", 20) / 2, halfZ = ChildFloat(t, "ScaZ", 10) / 2;
        minX = std::min(minX, offsetX + o.x - halfX), maxX = std::max(maxX, offsetX + o.x + halfX);
        minZ = std::min(minZ, offsetZ + o.z - halfZ), maxZ = std::max(maxZ, offsetZ + o.z + halfZ);
    }
    ASSERT_TRUE(archetypes.count("brood-mother-obj"));
    const TiXmlElement* mother = archetypes["brood-mother-obj"]->FirstChildElement("BroodMotherComponent");
    ASSERT_NE(mother, nullptr);
    EXPECT_GE(ChildFloat(mother, "RoomMinX", 0), minX);
    EXPECT_LE(ChildFloat(mother, "RoomMaxX", 0), maxX);
    EXPECT_GE(ChildFloat(mother, "RoomMinZ", 0), minZ);
    EXPECT_LE(ChildFloat(mother, "RoomMaxZ", 0), maxZ);
    EXPECT_LT(ChildFloat(mother, "RoomMinX", 0), ChildFloat(mother, "RoomMaxX", 0));
}

TEST_F(SampleLevels, EachBossComesFromATriggeredWaveInItsArena) {
    ExpectBossRoom(*Rooms("brood-hall").back(), "brood-mother-obj");
    ExpectBossRoom(*Rooms("bird-boss").back(), "bird-boss-obj");
    ExpectBossRoom(*Rooms("fox-boss").back(), "fox-boss-obj");
    auto yak = Rooms("yak-boss");
    const Room& arena = *yak.back();
    ExpectBossRoom(arena, "yak-boss-obj");
    int tiles = 0;
    for (const Placed& o : arena.objects) {
        if (Component(o, "YakTileComponent")) ++tiles;
        if (WaveMakes(o) == "yak-boss-obj") {
            EXPECT_EQ(tiles, 2) << "the yak tiles come before the boss's spawner";
        }
    }
}

// A boss room's goal is shut in until the fight is won: a gate stands after
// every spawner of the room (so it counts the boss and all the boss makes,
// never the spawner that stays), and the way from the boss's trigger
// straight to the goal runs into the gate or a wall.
TEST_F(SampleLevels, EveryBossGoalWaitsBehindAGate) {
    for (const char* level : {"brood-hall", "yak-boss", "bird-boss"}) {
        auto rooms = Rooms(level);
        const Room& arena = *rooms.back();
        SCOPED_TRACE(arena.name);
        std::size_t gate = 0, lastSpawner = 0;
        const Placed *goal = nullptr, *trigger = nullptr;
        std::vector<const Placed*> blockers;
        for (std::size_t i = 0; i < arena.objects.size(); ++i) {
            const Placed& o = arena.objects[i];
            if (Component(o, "GateComponent")) gate = i + 1;
            if (Component(o, "WaveSpawnerComponent") || Component(o, "SpawnerComponent")) lastSpawner = i + 1;
            if (Component(o, "GoalComponent")) goal = &o;
            if (Component(o, "PlayerTriggerComponent")) trigger = &o;
            if (Component(o, "GateComponent") || (Component(o, "LevelGeometryComponent") && o.y > 0))
                blockers.push_back(&o);
        }
        ASSERT_TRUE(goal && trigger);
        ASSERT_GT(gate, 0u) << "no gate";
        EXPECT_GT(gate, lastSpawner) << "the gate counts a spawner that never goes, and never opens";
        // Walk the segment in small steps: some step falls inside a blocker's box.
        bool blocked = false;
        for (int step = 0; step <= 400 && !blocked; ++step) {
            const float t = step / 400.0f;
            const float x = trigger->x + (goal->x - trigger->x) * t, z = trigger->z + (goal->z - trigger->z) * t;
            for (const Placed* b : blockers) {
                const TiXmlElement* tr = b->element->FirstChildElement("TransformComponent");
                const bool isGate = Component(*b, "GateComponent") != nullptr;
                const float halfX = ChildFloat(tr, "ScaX", isGate ? 1 : 20) / 2;
                const float halfZ = ChildFloat(tr, "ScaZ", isGate ? 13 : 0.5f) / 2;
                blocked = blocked || (std::abs(x - b->x) <= halfX && std::abs(z - b->z) <= halfZ);
            }
        }
        EXPECT_TRUE(blocked) << "the goal lies open to a player who runs past the boss";
    }
}

TEST_F(SampleLevels, TheFoxArenaHasItsManagerListenerAndTwoTiles) {
    auto rooms = Rooms("fox-boss");
    const Room& arena = *rooms.back();
    const Placed* manager = nullptr;
    int tiles = 0;
    for (const Placed& o : arena.objects) {
        if (o.name == "fox-manager-obj") manager = &o;
        if (o.name == "fox-tile-obj") ++tiles;
    }
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(Text(*manager, "FoxManagerComponent", "TotalFoxNumber"), "2");
    const std::string id = Text(*manager, "TriggerListenerComponent", "TriggerId");
    bool sent = false;
    for (const Placed& o : arena.objects) sent = sent || Text(o, "PlayerTriggerComponent", "TriggerId") == id;
    EXPECT_TRUE(sent) << "nothing sets off the fox manager's listener " << id;
    EXPECT_GE(tiles, 2);
    for (const Placed& o : arena.objects) EXPECT_NE(o.name, "goal-obj") << "the fox victory ends the game, not a goal";
}

// The bird boss hovers 6 above the player (its brain's bob): its collider must
// hang down to where the companion flies (about 1.5 above the player, the
// slingshot's height) or no attack reaches it, and it must not resolve
// against moving bodies, so its contact never presses the player into the
// floor.
TEST_F(SampleLevels, TheCompanionCanReachTheBirdBoss) {
    const TiXmlElement* companion = archetypes.at("spawner-qil-obj");
    const float flight = ChildFloat(companion->FirstChildElement("QilComponent"), "bob-offset", 0);

    const TiXmlElement* boss = archetypes.at("bird-boss-obj");
    const TiXmlElement* collider = boss->FirstChildElement("CollisionComponent");
    ASSERT_NE(collider, nullptr);
    // The sphere mesh is 1 across: the collider's height is the y scale.
    const float half = ChildFloat(boss->FirstChildElement("TransformComponent"), "ScaY", 1) / 2;
    const float centre = 6.0f + ChildFloat(collider, "OffsetY", 0);
    EXPECT_LT(centre - half, flight) << "the bird boss's collider stays above the companion";
    EXPECT_GT(centre + half, flight);
    EXPECT_GT(centre - half, 0.0f) << "the bird boss's collider reaches into the floor";
    EXPECT_EQ(ChildFloat(collider, "ResolveWithDynamics", 1), 0.0f);
}

}  // namespace
