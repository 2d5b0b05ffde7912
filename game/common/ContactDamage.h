#pragma once
// What every hazard does when it touches the player: "DamagePlayer"(damage,
// cool-down), a push away from the hazard ("KnockbackPlayer"(push), or the
// hazard's own velocity carried over) and a thud. An enemy class states its
// numbers and its push rule; the order of the messages and the looking up
// of the player again after each send (a message may kill or remove it) are
// kept here once.

#include "engine/base/Types.h"

namespace Ostrel {
class Composition;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

// The direction a touched player is pushed in, scaled by the hit's strength.
enum class PushRule {
    None,             // no push
    AlongOwnVelocity, // along the hazard's velocity (a charging yak); none while it stands still
    AwayInSpace,      // from the hazard's centre to the player's, in three dimensions
    AwayOnGround,     // the same, flattened onto the ground
    AwayOnMainAxis,   // along x or z, whichever the offset is larger in (traps lining a corridor)
    CarryAlong,       // the hazard's velocity is added to the player's own (a boss sweeping through)
};

struct ContactHit {
    f32 damage = 0.0f;
    f32 coolDown = 0.5f;
    PushRule push = PushRule::None;
    f32 strength = 0.0f;
    // Added to the push's y before scaling (a thrown rock lifts the player); a
    // lift also pushes a player standing right on the hazard.
    f32 lift = 0.0f;
    // Damage before the push (traps, birds, projectiles) or after it.
    bool damageFirst = false;
    // A player right on the hazard still gets a (zero) push, which restarts
    // its knockback; otherwise no push is sent then.
    bool pushWhenStill = false;
    // Global "PlaySound" after the hit, or null for none.
    const char* sound = "light-thud-sfx";
    // With damageFirst: the sound goes between the damage and the push (the
    // bird boss) instead of after both.
    bool soundBeforePush = false;
};

// Applies the hit of `source` to the player object of that id. Without a
// live player nothing happens; without the transforms a rule needs there is
// no push, the damage still lands.
void HitPlayer(const Ostrel::Composition& source, u32 playerId, const ContactHit& hit);

}  // namespace Vandle
