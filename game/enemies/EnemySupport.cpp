#include "game/enemies/EnemySupport.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/RandomFloat.h"
#include "engine/base/Log.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"

#include <cmath>
#include <numbers>
#include <set>
#include <vector>

namespace Vandle {

using namespace Ostrel;

TransformComponent* FindPlayerTransform(u32& targetId) {
    Composition* player = FindActionObject(targetId);
    if (!player) {
        ObjectManager* objects = ActionObjects();
        std::vector<u32> ids;
        if (!objects || !objects->FindPlayerObjects(ids)) return nullptr;
        targetId = ids.front();
        player = objects->GetObject(targetId);
        if (!player) return nullptr;
    }
    TransformComponent* transform = player->GetTransform();
    if (!transform) targetId = 0;
    return transform;
}

Composition* FindLivePlayer(u32 id) {
    Composition* object = FindActionObject(id);
    return object && object->GetComponent(kPlayerTypeId) ? object : nullptr;
}

f32 HeadingTowards(f32 dx, f32 dz) {
    return f32(std::atan2(-double(dx), -double(dz)) * 180.0 / std::numbers::pi);
}

namespace {
constexpr f32 kRadiansPerDegree = 3.1415927f / 180.0f;
}  // namespace

Vec3 CirclingHeading(Vec3 heading, const Vec3& position, const Vec3* player, f32 maxTurnDegrees,
                     f32 circleDistance, bool ccw, f32 circleWeight) {
    heading.y = 0.0f;
    const f32 a = RandomFloat(-maxTurnDegrees, maxTurnDegrees) * kRadiansPerDegree;
    const Vec3 h = heading;
    heading.x = std::cos(a) * h.x + std::sin(a) * h.z;
    heading.z = -std::sin(a) * h.x + std::cos(a) * h.z;
    if (!player) return heading;
    Vec3 n = position - *player;
    n.y = 0.0f;
    n.NormalizeThis();
    const Vec3 tangent = ccw ? Vec3(-n.z, 0.0f, n.x) : Vec3(n.z, 0.0f, -n.x);
    Vec3 d = *player + n * circleDistance + tangent - position;
    d.y = 0.0f;
    d.NormalizeThis();
    heading = heading * (1.0f - circleWeight) + d * circleWeight;
    heading.NormalizeThis();
    return heading;
}

Vec3 HeadingDirection(f32 degrees) {
    const double radians = double(degrees) * std::numbers::pi / 180.0;
    return Vec3(f32(-std::sin(radians)), 0.0f, f32(-std::cos(radians)));
}

Composition* CreateGameObject(const std::string& archetype, TransformComponent* source, const char* requester) {
    ObjectManager* objects = ActionObjects();
    if (archetype.empty() || !objects) return nullptr;
    Composition* made = objects->GetObject(objects->CreateRunTimeObject(archetype, source));
    if (!made) {
        static std::set<std::string> reported;
        if (reported.insert(archetype).second)
            LogErrorf("%s: archetype '%s' could not be created; skipped\n", requester,
                      archetype.c_str());
    }
    return made;
}

}  // namespace Vandle
