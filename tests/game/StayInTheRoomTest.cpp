// Every shipped room keeps the game's bodies inside its walls: the room's
// level geometry read from its file in rsc/level as the game reads it, the
// shipped archetypes, models and physics settings, and the player put along
// every wall and into every corner, touching it and a few steps off, then
// dashing and knocked back at it at 30, 60 and 144 frames a second; the
// same for a yak's charge and the yak boss's; and the player pinned against
// every wall by the real bosses and enemies charging into her. After the
// push the body still stands on the room's floor on the near side of the
// wall, inside no piece.

#include "tests/game/ShippedWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/LevelGeometryComponent.h"
#include "game/enemies/ChargerAIAction.h"
#include "game/objects/GateComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace Vandle::GameTest {
namespace {

struct Box {
    Vec3 min, max;
};

// A face of a wall that a body can stand against: the wall, the axis (0 x,
// 2 z) and the side (+1 or -1) its outward normal points to.
struct Face {
    Box wall;
    int axis;
    float side;
    float Plane() const { return side > 0 ? wall.max[axis] : wall.min[axis]; }
    Vec3 Normal() const {
        Vec3 n;
        n[axis] = side;
        return n;
    }
};

// One trial: a body placed at a spot, pushed along a direction; the faces it
// must stay in front of.
struct Trial {
    Vec3 at;
    Vec3 direction;
    std::vector<Face> faces;
    float gap = 0.0f;  // from the face it is pushed at
};

// One shipped room's level geometry, live, with the grid built as at a level
// load; the shipped models give the bodies their real collision boxes.
class ShippedRoom : public ShippedWorld {
public:
    explicit ShippedRoom(const std::string& room) {
        RoomObjects templates(factory);
        EXPECT_TRUE(ReadShippedRoom(room, templates));
        for (Composition* object : templates.objects) {
            // Not a gate: it counts the bodies driven here and sinks when
            // they go (the gates have a test of their own).
            if (!object->GetComponent(LevelGeometryComponent::kTypeId) || object->GetComponent(GateComponent::kTypeId))
                continue;
            Composition* piece = objects.GetObject(objects.CloneComposition(object));
            const auto* collider = piece ? piece->GetComponentAs<CollisionComponent>() : nullptr;
            if (collider) pieces.push_back({collider->GetMin(), collider->GetMax()});
        }
        EXPECT_FALSE(pieces.empty()) << room;
        floorTop = FLT_MAX;
        for (const Box& piece : pieces) floorTop = std::min(floorTop, piece.max.y);
        std::vector<FunctionRef> jobs;
        core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
        for (const FunctionRef& job : jobs) job->Call();
    }
    bool IsFloor(const Box& piece) const { return piece.max.y <= floorTop + 0.01f; }

    // The trials for a body of this box (its volume around its position):
    // along every face that has floor in front of it, touching and
    // `distance` away, pushed straight at it; in every corner of two faces,
    // pushed at each and between them. Spots where the body would overlap a
    // piece or stand over no floor are left out.
    std::vector<Trial> Trials(const BoundingVolume& body, float distance) const {
        std::vector<Face> faces;
        for (const Box& piece : pieces)
            if (!IsFloor(piece))
                for (int axis : {0, 2})
                    for (float side : {-1.0f, 1.0f}) faces.push_back({piece, axis, side});
        const Vec3 half = body.size / 2.0f;
        std::vector<Trial> trials;
        for (const Face& face : faces) {
            const int along = 2 - face.axis;
            const float from = face.wall.min[along] + half[along];
            const float to = face.wall.max[along] - half[along];
            for (int k = 0; k <= 4; ++k) {
                for (float gap : {0.0f, distance}) {
                    Vec3 at = Spot(body, face, gap);
                    const float spot = to < from ? (from + to) / 2 : from + (to - from) * float(k) / 4.0f;
                    at[along] = spot - body.centre[along];
                    if (Fits(body, at) && PathClear(body, at, face))
                        trials.push_back({at, face.Normal() * -1.0f, {face}, gap});
                }
            }
        }
        for (const Face& first : faces) {
            for (const Face& second : faces) {
                if (first.axis != 0 || second.axis != 2) continue;
                Vec3 at = Spot(body, first, 0.0f);
                at.z = Spot(body, second, 0.0f).z;
                if (!Fits(body, at) || !Beside(body, at, first) || !Beside(body, at, second)) continue;
                const Vec3 both = (first.Normal() + second.Normal()).Normalized() * -1.0f;
                for (const Vec3& direction : {first.Normal() * -1.0f, second.Normal() * -1.0f, both})
                    trials.push_back({at, direction, {first, second}});
            }
        }
        return trials;
    }

    // Whether the body stands where the room holds it: over a floor at its
    // top (not fallen), inside no piece, and on the near side of the faces.
    ::testing::AssertionResult Inside(const BoundingVolume& body, const Vec3& at, const Trial& trial) const {
        const Box box = BoxAt(body, at);
        if (box.min.y < floorTop - 0.05f) return ::testing::AssertionFailure() << "fell to y " << at.y;
        if (!OverFloor(body, at)) return ::testing::AssertionFailure() << "over no floor";
        for (const Box& piece : pieces)
            if (Overlap(box, piece) > 0.01f) return ::testing::AssertionFailure() << "inside a piece";
        for (const Face& face : trial.faces) {
            const float front = face.side > 0 ? box.min[face.axis] - face.Plane() : face.Plane() - box.max[face.axis];
            if (front < -0.01f) return ::testing::AssertionFailure() << "past a wall's face by " << -front;
        }
        return ::testing::AssertionSuccess();
    }

    // Whether a body shoved about by another stays in the room: inside no
    // piece, not sunk into the floor it stands over, and not past the face of
    // a wall it is still beside. Being flung along a wall, round the end of
    // a fence, or out of the room's open end (where the next room's floor
    // lies in a level) is not leaving through a wall.
    ::testing::AssertionResult NotThroughAWall(const BoundingVolume& body, const Vec3& at, const Trial& trial) const {
        const Box box = BoxAt(body, at);
        if (OverFloor(body, at) && box.min.y < floorTop - 0.05f)
            return ::testing::AssertionFailure() << "sank to y " << at.y;
        for (const Box& piece : pieces)
            if (Overlap(box, piece) > 0.01f) return ::testing::AssertionFailure() << "inside a piece";
        for (const Face& face : trial.faces) {
            if (!Beside(body, at, face)) continue;
            const float front = face.side > 0 ? box.min[face.axis] - face.Plane() : face.Plane() - box.max[face.axis];
            if (front < -0.01f) return ::testing::AssertionFailure() << "past a wall's face by " << -front;
        }
        return ::testing::AssertionSuccess();
    }
    // Resting on the floor at x, z.
    Vec3 Standing(const BoundingVolume& body, float x, float z) const {
        return Vec3(x, floorTop - (body.centre.y - body.size.y / 2.0f) + 0.001f, z);
    }
    bool Fits(const BoundingVolume& body, const Vec3& at) const {
        const Box box = BoxAt(body, at);
        if (!OverFloor(body, at)) return false;
        return std::none_of(pieces.begin(), pieces.end(), [&](const Box& p) { return Overlap(box, p) > 1e-4f; });
    }

    std::vector<Box> pieces;
    float floorTop = 0.0f;

private:
    static Box BoxAt(const BoundingVolume& body, const Vec3& at) {
        return {at + body.centre - body.size / 2.0f, at + body.centre + body.size / 2.0f};
    }
    // The smallest overlap of two boxes over the axes (negative: apart).
    static float Overlap(const Box& a, const Box& b) {
        float least = FLT_MAX;
        for (int i = 0; i < 3; ++i) least = std::min(least, std::min(a.max[i] - b.min[i], b.max[i] - a.min[i]));
        return least;
    }
    // Resting on the floor, gap away from the face.
    Vec3 Spot(const BoundingVolume& body, const Face& face, float gap) const {
        Vec3 at;
        at.y = floorTop - (body.centre.y - body.size.y / 2.0f) + 0.001f;
        at[face.axis] = face.Plane() + face.side * (body.size[face.axis] / 2.0f + gap) - body.centre[face.axis];
        return at;
    }
    bool Beside(const BoundingVolume& body, const Vec3& at, const Face& face) const {
        const int along = 2 - face.axis;
        const Box box = BoxAt(body, at);
        return box.max[along] > face.wall.min[along] && box.min[along] < face.wall.max[along];
    }
    bool OverFloor(const BoundingVolume& body, const Vec3& at) const {
        const Vec3 c = at + body.centre;
        return std::any_of(pieces.begin(), pieces.end(), [&](const Box& p) {
            return IsFloor(p) && c.x >= p.min.x && c.x <= p.max.x && c.z >= p.min.z && c.z <= p.max.z;
        });
    }
    // No other piece (a pen's fence before the wall) stands between the spot
    // and the face: the box swept from the spot up to the face meets only
    // the face's own wall.
    bool PathClear(const BoundingVolume& body, const Vec3& at, const Face& face) const {
        Vec3 touch = at;
        touch[face.axis] = Spot(body, face, 0.0f)[face.axis];
        const Box from = BoxAt(body, at), to = BoxAt(body, touch);
        Box swept;
        for (int i = 0; i < 3; ++i) {
            swept.min[i] = std::min(from.min[i], to.min[i]);
            swept.max[i] = std::max(from.max[i], to.max[i]);
        }
        return std::none_of(pieces.begin(), pieces.end(), [&](const Box& p) {
            const bool own = p.min == face.wall.min && p.max == face.wall.max;
            return !own && !IsFloor(p) && Overlap(swept, p) > 1e-4f;
        });
    }
};

const float kFrameTimes[] = {1.0f / 30.0f, 1.0f / 60.0f, 1.0f / 144.0f};

float HeadingOf(const Vec3& direction) { return std::atan2(-direction.x, -direction.z) * 180.0f / 3.14159265f; }

// A charge along direction at speed for seconds (the shipped tuning: a yak
// charges at its speed 7 times 2 for 1 s, the bosses at their "ChargeSpeed"
// 700, each second's gain in speed).
void Charge(Composition* body, const Vec3& direction, float speed, float seconds) {
    auto* run = new EnemyChargeAction(direction);
    run->SetSpeed(speed);
    run->SetDuration(seconds);
    run->SetOwner(body->GetId());
    body->GetComponentAs<BrainComponent>()->AddAction(run);
}

class StayInTheRoom : public ::testing::TestWithParam<std::string> {
protected:
    BoundingVolume BodyOf(const std::string& archetype) {
        Composition* probe = room.Spawn(archetype, Vec3());
        const BoundingVolume body = probe->GetComponentAs<CollisionComponent>()->GetVolume();
        room.objects.DestroyObject(probe->GetId());
        return body;
    }

    // The player touching each wall (and in each corner), and the body of
    // the archetype just behind her charging at her toward the wall, with
    // its contact's knockback and damage: she is shoved and pinned. Spots
    // where the charger does not fit are left out; the frame times take
    // turns over the trials. Returns the trials run.
    int RunPinnedTrials(const std::string& archetype, float speed, float seconds) {
        const BoundingVolume player = BodyOf("spawner-Luvo");
        const BoundingVolume pusher = BodyOf(archetype);
        int runs = 0;
        for (const Trial& trial : room.Trials(player, 0.0f)) {
            if (trial.gap > 0.0f) continue;
            // Behind her, a little apart, along the line of the push.
            const Vec3 back = trial.direction * -1.0f;
            const float reach = std::fabs(back.x) * (player.size.x + pusher.size.x) / 2.0f +
                                std::fabs(back.z) * (player.size.z + pusher.size.z) / 2.0f + 0.3f;
            const Vec3 centre = trial.at + player.centre + back * reach;
            const Vec3 at = room.Standing(pusher, centre.x - pusher.centre.x, centre.z - pusher.centre.z);
            if (!room.Fits(pusher, at)) continue;
            const float frame = kFrameTimes[runs++ % 3];
            {
                Composition* pinned = room.Spawn("spawner-Luvo", trial.at);
                Composition* charger = room.Spawn(archetype, at);
                charger->GetTransform()->Rotation().y = HeadingOf(trial.direction);
                room.Step(frame);
                Charge(charger, trial.direction, speed, seconds);
                for (float time = 0.0f; time < seconds; time += frame) room.Step(frame);
                const Vec3 end = ShippedRoom::PositionOf(pinned);
                EXPECT_TRUE(room.NotThroughAWall(player, end, trial))
                    << archetype << " pinning the player at (" << trial.at.x << ", " << trial.at.z << ") toward ("
                    << trial.direction.x << ", " << trial.direction.z << ") at " << 1.0f / frame
                    << " fps, she ended at (" << end.x << ", " << end.y << ", " << end.z << ")";
                room.objects.DestroyObject(charger->GetId());
                room.objects.DestroyObject(pinned->GetId());
            }
        }
        return runs;
    }

    // Runs every trial of the archetype's box with push (given the body and
    // the direction) for seconds at each frame time; each failure names the
    // trial.
    template <class Push>
    int RunTrials(const std::string& archetype, float distance, float seconds, Push push) {
        Composition* probe = room.Spawn(archetype, Vec3());
        const BoundingVolume body = probe->GetComponentAs<CollisionComponent>()->GetVolume();
        room.objects.DestroyObject(probe->GetId());
        const std::vector<Trial> trials = room.Trials(body, distance);
        for (const Trial& trial : trials) {
            for (float frame : kFrameTimes) {
                Composition* mover = room.Spawn(archetype, trial.at);
                mover->GetTransform()->Rotation().y = HeadingOf(trial.direction);
                room.Step(frame);
                push(mover, trial.direction);
                for (float time = 0.0f; time < seconds; time += frame) room.Step(frame);
                const Vec3 end = ShippedRoom::PositionOf(mover);
                // The push did carry a body that started off the wall toward it.
                if (trial.gap > 0.0f) {
                    EXPECT_GT((end - trial.at).Dot(trial.direction), 0.25f)
                        << archetype << " from (" << trial.at.x << ", " << trial.at.z << ") toward ("
                        << trial.direction.x << ", " << trial.direction.z << ") at " << 1.0f / frame << " fps";
                }
                EXPECT_TRUE(room.Inside(body, end, trial))
                    << archetype << " from (" << trial.at.x << ", " << trial.at.z << ") toward (" << trial.direction.x
                    << ", " << trial.direction.z << ") at " << 1.0f / frame << " fps, ended at (" << end.x << ", "
                    << end.y << ", " << end.z << ")";
                room.objects.DestroyObject(mover->GetId());
            }
        }
        return int(trials.size());
    }

    ShippedRoom room{GetParam()};
};

TEST_P(StayInTheRoom, ThePlayerDashedOrKnockedBackAtAWallStaysInside) {
    const int dashes = RunTrials("spawner-Luvo", 3.0f, 0.8f, [](Composition* player, const Vec3&) {
        player->Send("DodgeRoll");
    });
    EXPECT_GT(dashes, 0) << "every room has walls to dash at";
    // A yak's knockback, and the yak boss's.
    for (float strength : {60.0f, 150.0f}) {
        RunTrials("spawner-Luvo", 3.0f, 0.8f, [strength](Composition* player, const Vec3& direction) {
            player->Send("BypassKnockbackTimer");
            SendObjectMessageVec3(player, "KnockbackPlayer", direction * strength);
        });
    }
}

TEST_P(StayInTheRoom, AYakAndTheYakBossChargingAtAWallStayInside) {
    const auto charge = [](float speed, float seconds) {
        return [speed, seconds](Composition* body, const Vec3& direction) { Charge(body, direction, speed, seconds); };
    };
    RunTrials("yak-obj", 1.0f, 1.2f, charge(14.0f, 1.0f));
    RunTrials("yak-boss-obj", 6.0f, 1.5f, charge(700.0f, 1.5f));
}

TEST_P(StayInTheRoom, ThePlayerPinnedByABossOrAnEnemyChargingAtHerStaysInside) {
    // The bosses' bodies, the yak boss's and its mini-boss's, then a yak's.
    int runs = RunPinnedTrials("yak-boss-obj", 700.0f, 1.0f);
    runs += RunPinnedTrials("yak-mini-boss-obj", 700.0f, 1.0f);
    runs += RunPinnedTrials("yak-obj", 14.0f, 1.0f);
    EXPECT_GT(runs, 0) << "every room has a wall to be pinned at";
}

INSTANTIATE_TEST_SUITE_P(ShippedRooms, StayInTheRoom, ::testing::ValuesIn(ShippedRoomNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace Vandle::GameTest
