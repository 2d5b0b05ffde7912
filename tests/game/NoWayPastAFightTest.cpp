// No fight of the shipped rooms can be walked past. Each room is read from
// its file in rsc/level with the shipped archetypes, models and physics:
//
// - Every gate holds along its whole length: the player walks (and dashes
//   once a second) along the walls into each end of the gate, round each
//   end, and along the gate's face toward each end, at 30, 60 and 144
//   frames a second, and never reaches the goal's side while the gate
//   stands; the same routes with the gate gone do reach it, so the routes
//   go where they claim to.
// - Every player trigger that sets off a wave, a spawner or a boss spans
//   the room across the way through it: at the trigger the floor between
//   the walls lies wholly inside the trigger's box, and the trigger lies
//   between the entrance and the way out.
// - The nest level's gate stands until every fight of the level is won, in
//   any order of play: its rooms after the start room, live and placed as
//   the level builder places them, walked through trigger by trigger,
//   killing the yaks as they come (and a nest once the player stands near
//   it), or running past them all and killing them at the end, nests first
//   or last.

#include "tests/game/ShippedWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/LevelGeometryComponent.h"
#include "engine/components/PortalComponent.h"
#include "engine/world/TriggerIdHolder.h"
#include "game/bosses/FoxManagerComponent.h"
#include "game/enemies/EnemyComponent.h"
#include "game/enemies/SpawnerComponent.h"
#include "game/enemies/WaveSpawnerComponent.h"
#include "game/objects/GateComponent.h"
#include "game/objects/GoalComponent.h"
#include "game/objects/PlayerTriggerComponent.h"
#include "game/objects/TriggerListenerComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace Vandle::GameTest {
namespace {
// Names of their own: the unity build compiles this file with the other
// whole-game tests of the folder.
namespace fights {

struct Box {
    Vec3 min, max;
    bool Holds(int axis, float at) const { return at >= min[axis] && at <= max[axis]; }
};

Box BoxOf(const Composition* object) {
    const auto* collider = object->GetComponentAs<CollisionComponent>();
    return {collider->GetMin(), collider->GetMax()};
}

// One shipped room, live: the objects the chooser picks are cloned into a
// world with the shipped physics, the meshes give them their real
// colliders. `pieces` are its level geometry but gates; the room's other
// objects stay as read (`templates`).
class LiveRoom : public ShippedWorld {
public:
    LiveRoom(const std::string& room, const std::function<bool(const Composition&)>& pick) : templates(factory) {
        EXPECT_TRUE(ReadShippedRoom(room, templates));
        for (Composition* object : templates.objects) {
            if (!pick(*object)) continue;
            Composition* live = objects.GetObject(objects.CloneComposition(object));
            if (!live) continue;
            // The room's fixed pieces; a gate rises and sinks.
            if (live->GetComponent(LevelGeometryComponent::kTypeId) && !live->GetComponent(GateComponent::kTypeId))
                pieces.push_back(BoxOf(live));
            m_live.push_back(live->GetId());
        }
        floorTop = FLT_MAX;
        for (const Box& piece : pieces) floorTop = std::min(floorTop, piece.max.y);
        std::vector<FunctionRef> jobs;
        core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
        for (const FunctionRef& job : jobs) job->Call();
    }
    // The live objects that carry a component of the type.
    std::vector<Composition*> With(u32 type) {
        std::vector<Composition*> found;
        for (u32 id : m_live)
            if (Composition* object = objects.GetObject(id); object && object->GetComponent(type))
                found.push_back(object);
        return found;
    }
    bool IsFloor(const Box& piece) const { return piece.max.y <= floorTop + 0.01f; }
    bool IsWall(const Box& piece) const { return !IsFloor(piece) && piece.max.y > floorTop + 1.0f; }

    // The nearest wall faces on the line through `at` along `along`, below
    // and above it (the floor's edge where there is no wall).
    std::pair<float, float> Between(const Vec3& at, int along) const {
        const int across = 2 - along;
        float low = -FLT_MAX, high = FLT_MAX, floorLow = FLT_MAX, floorHigh = -FLT_MAX;
        for (const Box& piece : pieces) {
            if (!piece.Holds(across, at[across])) continue;
            if (IsFloor(piece)) {
                floorLow = std::min(floorLow, piece.min[along]);
                floorHigh = std::max(floorHigh, piece.max[along]);
            } else if (IsWall(piece)) {
                if (piece.max[along] <= at[along]) low = std::max(low, piece.max[along]);
                if (piece.min[along] >= at[along]) high = std::min(high, piece.min[along]);
            }
        }
        return {std::max(low, floorLow), std::min(high, floorHigh)};
    }

    RoomObjects templates;
    std::vector<Box> pieces;
    float floorTop = 0.0f;

private:
    std::vector<u32> m_live;
};

bool Has(const Composition& object, u32 type) { return object.GetComponent(type) != nullptr; }

// ---------------------------------------------------------------------------
// Gates

// One walk at a gate: where the player starts, the way it holds, whether it
// dashes once a second.
struct Route {
    Vec3 at;
    Vec3 direction;
    bool dash;
    std::string name;
};

// The shape of one gate as the routes see it: the axis it is thin along
// (the way through it), its long axis, which way the goal lies, and the
// stretch of the goal's side it closes (between the walls there).
struct GateShape {
    Box box;
    int through = 0, along = 2;
    float goalSide = 1.0f;
    float farLow = 0.0f, farHigh = 0.0f;
    float NearFace() const { return goalSide > 0 ? box.min[through] : box.max[through]; }
    float FarFace() const { return goalSide > 0 ? box.max[through] : box.min[through]; }
};

const std::vector<std::string>& GateRooms() {
    static const std::vector<std::string> rooms = [] {
        std::vector<std::string> found;
        for (const std::string& room : ShippedRoomNames())
            if (ShippedText("level/" + room + ".xrm").find("menhir-gate-obj") != std::string::npos) found.push_back(room);
        return found;
    }();
    return rooms;
}

class GatesHold : public ::testing::TestWithParam<std::string> {
protected:
    LiveRoom room{GetParam(), [](const Composition& o) {
                      return Has(o, LevelGeometryComponent::kTypeId) || Has(o, GateComponent::kTypeId) ||
                             Has(o, GoalComponent::kTypeId);
                  }};

    BoundingVolume PlayerBody() {
        Composition* probe = room.Spawn("spawner-Luvo", Vec3(0.0f, 50.0f, 0.0f));
        const BoundingVolume body = probe->GetComponentAs<CollisionComponent>()->GetVolume();
        room.objects.DestroyObject(probe->GetId());
        room.Step(1.0f / 60.0f);
        return body;
    }

    GateShape ShapeOf(Composition* gate, Composition* goal) {
        GateShape shape;
        shape.box = BoxOf(gate);
        const Vec3 size = shape.box.max - shape.box.min;
        shape.through = size.x < size.z ? 0 : 2;
        shape.along = 2 - shape.through;
        const Vec3 centre = (shape.box.min + shape.box.max) / 2.0f;
        const Vec3 target = CentreOf(goal);
        shape.goalSide = target[shape.through] > centre[shape.through] ? 1.0f : -1.0f;
        Vec3 beyond = target;
        beyond[shape.through] = shape.FarFace() + shape.goalSide * 1.0f;
        std::tie(shape.farLow, shape.farHigh) = room.Between(beyond, shape.along);
        return shape;
    }
    static Vec3 CentreOf(Composition* object) {
        const Box box = BoxOf(object);
        return (box.min + box.max) / 2.0f;
    }

    // Whether the body fits at the spot: on the floor, in no piece or gate.
    bool Fits(const BoundingVolume& body, const Vec3& at, const std::vector<Box>& solid) const {
        const Vec3 min = at + body.centre - body.size / 2.0f, max = at + body.centre + body.size / 2.0f;
        for (const Box& piece : solid) {
            if (room.IsFloor(piece)) continue;
            bool apart = false;
            for (int i = 0; i < 3; ++i) apart = apart || min[i] >= piece.max[i] - 1e-4f || piece.min[i] >= max[i] - 1e-4f;
            if (!apart) return false;
        }
        const Vec3 c = at + body.centre;
        return std::any_of(room.pieces.begin(), room.pieces.end(), [&](const Box& p) {
            return room.IsFloor(p) && c.x >= p.min.x && c.x <= p.max.x && c.z >= p.min.z && c.z <= p.max.z;
        });
    }

    // The routes at one gate, each one that leads to the goal's side once
    // the gate is gone: from 3 units before its near face, at each end;
    // where a wall stands before the end, along that wall straight on,
    // slanting into the wall and slanting away from it; where the end is
    // open, just inside the end straight on and slanting in, and from just
    // outside it slanting in round the end. And from the near face itself,
    // sliding along it toward each end while pressing into it.
    std::vector<Route> Routes(const BoundingVolume& body, const GateShape& g) {
        std::vector<Box> solid = room.pieces;
        solid.push_back(g.box);
        const int t = g.through, l = g.along;
        const Vec3 half = body.size / 2.0f;
        Vec3 base;
        base.y = room.floorTop - (body.centre.y - half.y) + 0.001f;
        std::vector<Route> routes;
        const auto add = [&](Vec3 at, float tSpeed, float lSpeed, const std::string& name) {
            at[t] -= body.centre[t];
            at[l] -= body.centre[l];
            if (!Fits(body, at, solid)) return;
            Vec3 d;
            d[t] = g.goalSide * tSpeed;
            d[l] = lSpeed;
            d = d.Normalized();
            for (bool dash : {false, true}) routes.push_back({at, d, dash, name + (dash ? ", dashing" : ", walking")});
        };
        const float start = g.NearFace() - g.goalSide * (half[t] + 3.0f);
        for (float end : {-1.0f, 1.0f}) {
            const float tip = end < 0 ? g.box.min[l] : g.box.max[l];
            const std::string side = end < 0 ? "low end" : "high end";
            // The wall before this end on the near side, if the gate reaches it.
            Vec3 probe = base;
            probe[t] = start;
            probe[l] = (g.box.min[l] + g.box.max[l]) / 2.0f;
            const auto [low, high] = room.Between(probe, l);
            const float wall = end < 0 ? low : high;
            Vec3 at = base;
            at[t] = start;
            if (end * (wall - tip) < half[l] + 0.5f) {
                at[l] = wall - end * (half[l] + 0.01f);
                add(at, 1.0f, 0.0f, "along the wall at the " + side + " straight on");
                add(at, 1.0f, end, "along the wall at the " + side + " slanting into it");
                add(at, 1.0f, -end, "along the wall at the " + side + " slanting away");
            } else {
                // Just inside the end and inside the way the gate closes.
                at[l] = end < 0 ? std::max(tip, g.farLow) + half[l] + 0.01f : std::min(tip, g.farHigh) - half[l] - 0.01f;
                add(at, 1.0f, 0.0f, "inside the open " + side + " straight on");
                add(at, 1.0f, -end, "inside the open " + side + " slanting in");
                at[l] = tip + end * (half[l] + 0.3f);
                add(at, 1.0f, -end, "round the open " + side);
            }
            for (float from : {0.35f, 0.65f}) {
                const float low = std::max(g.box.min[l], g.farLow), high = std::min(g.box.max[l], g.farHigh);
                at[t] = g.NearFace() - g.goalSide * (half[t] + 0.02f);
                at[l] = low + (high - low) * from;
                add(at, 1.0f, 0.5f * end, "along the face to the " + side + " from " + std::to_string(from));
            }
        }
        return routes;
    }

    // Walks the route for seconds at the frame time; whether the player got
    // to the goal's side of the gate (wholly past its far face, between the
    // walls the gate closes) or touched the goal.
    bool ReachesFarSide(const Route& route, const GateShape& g, const BoundingVolume& body, float frame,
                        float seconds) {
        room.sent.clear();
        Composition* player = room.Spawn("spawner-Luvo", route.at);
        const u32 id = player->GetId();
        SendObjectMessageVec3(player, "UpdatePlayerDirection", route.direction);
        bool reached = false;
        float sinceDash = 1.0f;
        for (float time = 0.0f; time < seconds && !reached && room.Alive(id); time += frame) {
            if (route.dash && sinceDash >= 1.0f && time > 0.2f) {
                player->Send("DodgeRoll");
                sinceDash = 0.0f;
            }
            sinceDash += frame;
            room.Step(frame);
            if (!room.Alive(id)) break;
            const Vec3 at = player->GetTransform()->GetPosition();
            const float past = g.goalSide > 0 ? at[g.through] + body.centre[g.through] - body.size[g.through] / 2.0f
                                              : -(at[g.through] + body.centre[g.through] + body.size[g.through] / 2.0f);
            const float across = at[g.along] + body.centre[g.along];
            const float far = g.goalSide > 0 ? g.FarFace() : -g.FarFace();
            reached = (past > far && across > g.farLow && across < g.farHigh) || room.Count("GoalReached()") > 0;
        }
        if (room.Alive(id)) room.objects.DestroyObject(id);
        room.Step(frame);
        return reached;
    }
};

const float kRates[] = {30.0f, 60.0f, 144.0f};

TEST_P(GatesHold, NoWalkOrDashAlongTheWallsOrTheGateGetsPastIt) {
    room.RecordGlobal({"GoalReached"});
    std::vector<Composition*> gates = room.With(GateComponent::kTypeId);
    std::vector<Composition*> goals = room.With(GoalComponent::kTypeId);
    ASSERT_EQ(gates.size(), 1u);
    ASSERT_EQ(goals.size(), 1u);
    const BoundingVolume body = PlayerBody();
    // The gate has risen to its placed height.
    room.Run(3.5f);
    const GateShape shape = ShapeOf(gates[0], goals[0]);
    ASSERT_GT(shape.box.max.y, room.floorTop + body.size.y) << "the gate stands lower than the player";
    const std::vector<Route> routes = Routes(body, shape);
    ASSERT_GE(routes.size(), 14u) << "too few routes fit before the gate";
    for (float rate : kRates)
        for (const Route& route : routes)
            EXPECT_FALSE(ReachesFarSide(route, shape, body, 1.0f / rate, 2.5f))
                << route.name << " at " << rate << " frames a second got past the gate";
    // The gate sunk and gone (the last enemy it counted has died), the same
    // routes reach the goal's side.
    const u32 gate = gates[0]->GetId();
    Composition* enemy = room.Spawn("yak-obj", Vec3(0.0f, 50.0f, 0.0f));
    room.objects.DestroyObject(enemy->GetId());
    room.Run(3.5f);
    ASSERT_FALSE(room.Alive(gate)) << "the gate did not sink";
    for (float rate : kRates)
        for (const Route& route : routes)
            EXPECT_TRUE(ReachesFarSide(route, shape, body, 1.0f / rate, 2.5f))
                << route.name << " at " << rate << " frames a second, without the gate, never got through";
}

INSTANTIATE_TEST_SUITE_P(ShippedRooms, GatesHold, ::testing::ValuesIn(GateRooms()), [](const auto& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

// ---------------------------------------------------------------------------
// Triggers

// The stretches of the line x = at that the floor offers and no wall takes,
// as (low z, high z) pairs.
std::vector<std::pair<float, float>> OpenAcross(const LiveRoom& room, float at) {
    float low = FLT_MAX, high = -FLT_MAX;
    std::vector<std::pair<float, float>> walls;
    for (const Box& piece : room.pieces) {
        if (!piece.Holds(0, at)) continue;
        if (room.IsFloor(piece)) {
            low = std::min(low, piece.min.z);
            high = std::max(high, piece.max.z);
        } else if (room.IsWall(piece)) {
            walls.push_back({piece.min.z, piece.max.z});
        }
    }
    std::sort(walls.begin(), walls.end());
    std::vector<std::pair<float, float>> open;
    float from = low;
    for (const auto& [wallLow, wallHigh] : walls) {
        if (wallLow > from + 0.01f) open.push_back({from, std::min(wallLow, high)});
        from = std::max(from, wallHigh);
    }
    if (high > from + 0.01f) open.push_back({from, high});
    return open;
}

TEST(FightTriggers, EveryTriggerThatStartsAFightSpansTheWayThroughItsRoom) {
    int checked = 0;
    for (const std::string& name : ShippedRoomNames()) {
        SCOPED_TRACE(name);
        LiveRoom room(name, [](const Composition& o) {
            return Has(o, LevelGeometryComponent::kTypeId) || Has(o, PlayerTriggerComponent::kTypeId);
        });
        // The ids heard by a wave, a spawner or the fox manager, and where
        // the way into and out of the room lies along +x.
        std::vector<s32> fights;
        float entrance = -FLT_MAX, wayOut = FLT_MAX;
        for (const Composition* o : room.templates.objects) {
            const auto* listener = o->GetComponentAs<TriggerListenerComponent>();
            if (listener && (Has(*o, WaveSpawnerComponent::kTypeId) || Has(*o, SpawnerComponent::kTypeId) ||
                             Has(*o, FoxManagerComponent::kTypeId)))
                fights.push_back(listener->GetTriggerId());
            const auto* transform = o->GetComponentAs<TransformComponent>();
            const float x = transform ? transform->GetPosition().x : 0.0f;
            if (const auto* portal = o->GetComponentAs<PortalComponent>()) {
                if (portal->GetTypeName() == "Entrance") entrance = x;
                if (portal->GetTypeName() == "Exit") wayOut = x;
            }
            if (Has(*o, GoalComponent::kTypeId)) wayOut = x;
        }
        for (Composition* trigger : room.With(PlayerTriggerComponent::kTypeId)) {
            const s32 id = trigger->GetComponentAs<PlayerTriggerComponent>()->GetTriggerId();
            if (std::find(fights.begin(), fights.end(), id) == fights.end()) continue;
            ++checked;
            const Box box = BoxOf(trigger);
            EXPECT_LT(entrance, box.min.x) << "trigger " << id << " is not past the entrance";
            EXPECT_GT(wayOut, box.max.x) << "trigger " << id << " is not before the way out";
            EXPECT_LE(box.min.y, room.floorTop + 0.1f) << "trigger " << id << " floats over the floor";
            EXPECT_GE(box.max.y, room.floorTop + 1.5f) << "trigger " << id << " is too low to meet the player";
            const float middle = (box.min.x + box.max.x) / 2.0f;
            const auto open = OpenAcross(room, middle);
            EXPECT_FALSE(open.empty()) << "trigger " << id << " stands over no floor";
            for (const auto& [low, high] : open)
                EXPECT_TRUE(box.min.z <= low + 0.01f && box.max.z >= high - 0.01f)
                    << "trigger " << id << " at x " << middle << " covers z " << box.min.z << " to " << box.max.z
                    << " of the way from " << low << " to " << high;
        }
    }
    EXPECT_GE(checked, 7) << "the shipped rooms' fight triggers were not found";
}

// ---------------------------------------------------------------------------
// The nest level's gate

// Rooms of a level after its start room, live: each room's entrance on the
// previous room's exit and its trigger ids made its own, as the level
// builder does, cloned in order, so the gate counts what it would count in
// the game.
class LiveLevel : public ShippedWorld {
public:
    explicit LiveLevel(const std::vector<std::string>& rooms) {
        Vec3 exit;
        for (std::size_t r = 0; r < rooms.size(); ++r) {
            m_rooms.push_back(std::make_unique<RoomObjects>(factory));
            RoomObjects& templates = *m_rooms.back();
            EXPECT_TRUE(ReadShippedRoom(rooms[r], templates)) << rooms[r];
            Vec3 entrance, next = exit;
            for (Composition* object : templates.objects)
                if (const auto* portal = object->GetComponentAs<PortalComponent>())
                    (portal->GetTypeName() == "Entrance" ? entrance : next) = object->GetTransform()->GetPosition();
            const Vec3 offset = r == 0 ? Vec3() : exit - entrance;
            exit = next + offset;
            for (Composition* object : templates.objects) {
                if (TransformComponent* transform = object->GetTransform())
                    transform->SetPosition(transform->GetPosition() + offset);
                for (u32 type : {PlayerTriggerComponent::kTypeId, TriggerListenerComponent::kTypeId})
                    if (auto* holder = dynamic_cast<TriggerIdHolder*>(object->GetComponent(type)))
                        holder->SetTriggerId(holder->GetTriggerId() + 100 * s32(r + 1));
                objects.CloneComposition(object);
            }
        }
        std::vector<FunctionRef> jobs;
        core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
        for (const FunctionRef& job : jobs) job->Call();
    }
    std::vector<Composition*> With(u32 type) {
        std::vector<u32> ids;
        objects.FindObjectsWithComponent(type, ids);
        std::vector<Composition*> found;
        for (u32 id : ids)
            if (Composition* object = objects.GetObject(id); object && !objects.IsDestroyQueued(id)) found.push_back(object);
        return found;
    }

private:
    std::vector<std::unique_ptr<RoomObjects>> m_rooms;
};

Vec3 MiddleOf(const Composition* object) {
    const Box box = BoxOf(object);
    return (box.min + box.max) / 2.0f;
}

enum class Play { KillAsTheyCome, RunPastThenNestsFirst, RunPastThenNestsLast };

TEST(NestLevelGate, StandsUntilTheNestsAndEveryYakOfTheLevelAreBeaten) {
    const std::pair<Play, const char*> plays[] = {{Play::KillAsTheyCome, "the yaks killed as they come"},
                                                  {Play::RunPastThenNestsFirst, "run past all, the nests first"},
                                                  {Play::RunPastThenNestsLast, "run past all, the nests last"}};
    for (const auto& [play, name] : plays) {
        SCOPED_TRACE(name);
        LiveLevel level({"room-yak-nests", "room-yak-gate"});
        const std::vector<Composition*> gates = level.With(GateComponent::kTypeId);
        ASSERT_EQ(gates.size(), 1u);
        const u32 gate = gates[0]->GetId();
        const float gateX = MiddleOf(gates[0]).x;
        std::vector<float> stops;
        for (Composition* trigger : level.With(PlayerTriggerComponent::kTypeId)) stops.push_back(MiddleOf(trigger).x);
        std::sort(stops.begin(), stops.end());
        ASSERT_GE(stops.size(), 2u);
        Composition* player = level.Spawn("spawner-Luvo", Vec3(0.0f, 1.0f, 0.0f));
        ASSERT_NE(player, nullptr);
        const u32 playerId = player->GetId();
        const auto kill = [&](bool yaks, bool nests, float near) {
            for (Composition* enemy : level.With(EnemyComponent::kTypeId))
                if (yaks) level.objects.DestroyObject(enemy->GetId());
            for (Composition* nest : level.With(SpawnerComponent::kTypeId))
                if (nests && std::abs(MiddleOf(nest).x - LiveLevel::PositionOf(player).x) < near)
                    level.objects.DestroyObject(nest->GetId());
            level.Step(1.0f / 60.0f);
        };
        // Every fight trigger, walked over in turn: a yak made on the way is
        // killed as it comes, and a nest once the player stands by it.
        for (float x : stops) {
            ASSERT_TRUE(level.Alive(playerId));
            player->GetTransform()->SetPosition(Vec3(x, 1.0f, 0.0f));
            level.Run(0.5f);
            if (play == Play::KillAsTheyCome) kill(true, true, 8.0f);
            level.Run(3.5f);
            EXPECT_TRUE(level.Alive(gate)) << "the gate sank after the trigger at x " << x;
        }
        // At the gate: what is left, in the order of play.
        player->GetTransform()->SetPosition(Vec3(gateX - 3.0f, 1.0f, 0.0f));
        ASSERT_FALSE(level.With(SpawnerComponent::kTypeId).empty()) << "no nest rose";
        if (play == Play::RunPastThenNestsLast) {
            kill(true, false, 0.0f);
            level.Run(3.5f);
            EXPECT_TRUE(level.Alive(gate)) << "the gate sank with the nests alive";
        }
        kill(false, true, 1000.0f);
        level.Run(3.5f);
        if (play == Play::RunPastThenNestsFirst) {
            EXPECT_TRUE(level.Alive(gate)) << "the gate sank with yaks alive";
        }
        kill(true, false, 0.0f);
        level.Run(3.5f);
        EXPECT_FALSE(level.Alive(gate)) << "every fight won, and the gate still stands";
    }
}

}  // namespace fights
}  // namespace
}  // namespace Vandle::GameTest
