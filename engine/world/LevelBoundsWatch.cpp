#include "engine/world/LevelBoundsWatch.h"

#include "engine/base/Log.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/LevelGeometryComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/world/LevelInstanceManager.h"

#include <algorithm>

namespace Ostrel {

namespace {

constexpr u32 kPlayerTypeId = FourCC("plrC");
constexpr u32 kHealthTypeId = FourCC("helC");

}  // namespace

void LevelBoundsWatch::Clear() {
    m_hasLevel = false;
    m_reported.clear();
    m_lowestFloor = 0.0f;
}

void LevelBoundsWatch::Measure(const ObjectManager& objects) {
    Clear();
    for (u32 id : objects.GetLiveObjects()) {
        const Composition* object = objects.GetObject(id);
        if (!object || !object->GetComponent(LevelGeometryComponent::kTypeId)) continue;
        const auto* collider = object->GetComponentAs<CollisionComponent>();
        if (!collider || !collider->HasTransform() || !collider->GetFlags().isStatic) continue;
        const Vec3 min = collider->GetMin() - Vec3(kSideMargin, 0.0f, kSideMargin);
        const Vec3 max = collider->GetMax() + Vec3(kSideMargin, 0.0f, kSideMargin);
        for (int axis = 0; axis < 3; ++axis) {
            m_min[axis] = m_hasLevel ? std::min(m_min[axis], min[axis]) : min[axis];
            m_max[axis] = m_hasLevel ? std::max(m_max[axis], max[axis]) : max[axis];
        }
        m_lowestFloor = m_hasLevel ? std::min(m_lowestFloor, collider->GetMax().y) : collider->GetMax().y;
        m_hasLevel = true;
    }
}

bool LevelBoundsWatch::Contains(const Vec3& position) const {
    if (!m_hasLevel) return true;
    // Written so that a NaN position counts as outside.
    return position.y >= m_lowestFloor - kFallMargin && position.x >= m_min.x && position.x <= m_max.x &&
           position.z >= m_min.z && position.z <= m_max.z;
}

LevelBoundsWatch::Kind LevelBoundsWatch::KindOf(const Composition& object) {
    if (object.GetComponent(kPlayerTypeId)) return Kind::kPlayer;
    if (object.GetName() == LevelInstanceManager::kCompanionSpawner) return Kind::kCompanion;
    const auto* collider = object.GetComponentAs<CollisionComponent>();
    if (object.GetComponent(kHealthTypeId) && object.GetComponentAs<MovementComponent>() && collider &&
        collider->GetFlags().collideWithStatics) {
        return Kind::kEnemy;
    }
    return Kind::kNone;
}

bool LevelBoundsWatch::Reported(u32 id) const {
    return std::find(m_reported.begin(), m_reported.end(), id) != m_reported.end();
}

void LevelBoundsWatch::Check(ObjectManager& objects) {
    if (!m_hasLevel) return;
    // Copied: a death destroys objects (deferred, but the list may change).
    const std::vector<u32> live = objects.GetLiveObjects();
    for (u32 id : live) {
        const Composition* object = objects.GetObject(id);
        const TransformComponent* transform = object ? object->GetTransform() : nullptr;
        if (!transform || Contains(transform->GetPosition()) || Reported(id)) continue;
        const Kind kind = KindOf(*object);
        if (kind == Kind::kNone) continue;
        m_reported.push_back(id);
        LeaveLevel(objects, *object, kind, transform->GetPosition());
    }
}

void LevelBoundsWatch::LeaveLevel(ObjectManager& objects, const Composition& object, Kind kind, const Vec3& where) {
    const char* how = where.y >= m_lowestFloor - kFallMargin ? "outside the level's rooms" : "below its lowest floor";
    const auto report = [&](const char* who, const char* outcome) {
        LogErrorf("LevelBoundsWatch: %s'%s' (object %u) left the level at (%.2f, %.2f, %.2f), %s; %s\n", who,
                  object.GetName().c_str(), unsigned(object.GetId()), double(where.x), double(where.y),
                  double(where.z), how, outcome);
    };
    switch (kind) {
    case Kind::kPlayer:
        report("the player ", "the player dies");
        if (Composition* player = objects.GetObject(object.GetId())) player->Send("ObjectDead");
        return;
    case Kind::kCompanion:
        report("the companion ", "it is put back beside the player");
        ReturnCompanion(objects, object.GetId());
        return;
    case Kind::kEnemy:
        report("", "destroyed");
        objects.DestroyObject(object.GetId());
        return;
    case Kind::kNone:
        return;
    }
}

void LevelBoundsWatch::ReturnCompanion(ObjectManager& objects, u32 id) {
    // It may leave again later (another throw): it is watched anew.
    m_reported.erase(std::remove(m_reported.begin(), m_reported.end(), id), m_reported.end());
    std::vector<u32> players;
    objects.FindPlayerObjects(players);
    const Composition* player = players.empty() ? nullptr : objects.GetObject(players.front());
    Composition* companion = objects.GetObject(id);
    const TransformComponent* at = player ? player->GetTransform() : nullptr;
    TransformComponent* transform = companion ? companion->GetTransform() : nullptr;
    if (!at || !transform) return;
    transform->SetPosition(at->GetPosition() + Vec3(0.0f, kCompanionLift, 0.0f));
    transform->SetPreviousPosition(transform->GetPosition());
    if (auto* movement = companion->GetComponentAs<MovementComponent>()) movement->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));
}

}  // namespace Ostrel
