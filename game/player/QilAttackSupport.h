#pragma once
// What the companion's special attacks share: the collider refit trick, the
// effect objects that ride on the companion, and components that an attack
// needs but a badly made companion may lack (skipped, logged once per
// action).
//
// The refit trick: the collider refits to the transform's scale only on the
// local "TransformUpdated", so an attack scales the companion up, sends that
// message, then puts the drawn scale back without a further message. The
// companion then collides at the large size while it is drawn small, until
// the next "TransformUpdated".

#include "game/common/LogOnce.h"

#include "engine/actions/ActionSupport.h"
#include "engine/base/Log.h"
#include "engine/core/Vec3.h"

namespace Ostrel {
class CollisionComponent;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class QilComponent;

// The companion's attacking flag as an attack action holds it: by the
// component's handle, so a companion that is gone first is simply not found.
class QilAttackFlag {
public:
    void Bind(const QilComponent& qil);
    // Clears the flag when the component still exists, once.
    void Clear();

private:
    u32 m_handle = 0;
};

// The companion's drawn scale between attacks.
inline constexpr f32 kQilRestScale = 0.75f;

// Sets the owner's scale to fitScale, refits its collider through
// "TransformUpdated", then sets the drawn scale to kQilRestScale on every
// axis without a message. Nothing happens without a transform.
void RefitCollider(Ostrel::Composition& owner, const Ostrel::Vec3& fitScale);

// Makes an object of the archetype at the owner's transform and, when it has
// a brain, keeps it on the owner with an AttachAction. Answers the effect's
// id, 0 when the archetype is missing (then nothing was made).
u32 CreateAttachedEffect(const char* archetype, Ostrel::Composition& owner);

// Puts the companion `distance` from the player along direction, on the
// ground plane (x and z; its height is left alone). Nothing happens without
// the player's or the companion's transform.
void PlaceBesidePlayer(Ostrel::Composition& owner, u32 playerId, const Ostrel::Vec3& direction, f32 distance);

// Sets or clears the owner's "ResolveWithStatics" (nothing without a collider).
void SetResolveWithStatics(Ostrel::Composition& owner, bool on);

// The component behind ref, or null; the first miss of an action is logged
// with the action's and the component's names.
template <class T>
T* RequiredPart(const Ostrel::ComponentRef<T>& ref, ReportOnce& reported, const char* action,
                const char* part, u32 ownerId) {
    T* component = ref.Get();
    if (!component && reported.First()) {
        Ostrel::LogErrorf("%s: object %u has no %s; the attack skips what it would change there\n", action,
                          unsigned(ownerId), part);
    }
    return component;
}

}  // namespace Vandle
