#pragma once
// Watches, while a level runs, for the bodies that must stay in it and have
// left it anyway: the player, the companion and the enemies. The physics
// keeps them inside the level's walls; this is the net under it, so that a
// body that still gets out ends in the game's own flow instead of floating
// in the void.
//
// The level's extent comes from its level geometry (static colliders with a
// LevelGeometryComponent), measured once the level has loaded: the box of
// all pieces on x and z, grown by kSideMargin, and the lowest top of them
// (the lowest floor). A body has left the level when it is outside that box,
// or more than kFallMargin below the lowest floor (a body off a floor's edge
// falls there; a companion flying over a gap does not).
//
// Which bodies: the player (a PlayerComponent 'plrC'), the companion (the
// level's companion spawner, "spawner-qil-obj") and enemies (a
// HealthComponent 'helC', a MovementComponent and a collider that collides
// with statics; an enemy that stops colliding with statics, a boss sinking
// as it dies, is left alone). A player outside dies by its own flow: the
// local "ObjectDead", as from its health reaching 0, and its component
// reports "PlayerDeath". A companion outside is put back kCompanionLift
// above the player, standing still: its meteor throw arcs over a corridor's
// low walls by design and may land beyond them, which must not cost the
// player's life. An enemy outside is destroyed. Each leaving is logged once,
// with where the body was.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"

#include <vector>

namespace Ostrel {

class Composition;
class ObjectManager;

class LevelBoundsWatch {
public:
    static constexpr float kSideMargin = 2.0f;
    static constexpr float kFallMargin = 5.0f;
    static constexpr float kCompanionLift = 2.0f;

    // Takes the level's extent from its live level geometry; a level without
    // any watches nothing.
    void Measure(const ObjectManager& objects);
    // Forgets the level (a new one is loading).
    void Clear();
    // Sends out what has left the level; call once a frame while it runs.
    void Check(ObjectManager& objects);

    bool HasLevel() const { return m_hasLevel; }
    // Whether a body at this position is still in the level.
    bool Contains(const Vec3& position) const;
    float GetLowestFloor() const { return m_lowestFloor; }

private:
    enum class Kind { kNone, kPlayer, kCompanion, kEnemy };

    static Kind KindOf(const Composition& object);
    void LeaveLevel(ObjectManager& objects, const Composition& object, Kind kind, const Vec3& where);
    void ReturnCompanion(ObjectManager& objects, u32 id);
    bool Reported(u32 id) const;

    bool m_hasLevel = false;
    Vec3 m_min{0.0f, 0.0f, 0.0f};  // x and z of the level's box, margin included
    Vec3 m_max{0.0f, 0.0f, 0.0f};
    float m_lowestFloor = 0.0f;
    // Bodies already sent out of this level: each is handled and logged once.
    std::vector<u32> m_reported;
};

}  // namespace Ostrel
