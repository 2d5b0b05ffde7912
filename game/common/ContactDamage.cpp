#include "game/common/ContactDamage.h"

#include "game/common/GameSupport.h"
#include "game/common/PlayerLookup.h"

#include "engine/components/MovementComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/TransformComponent.h"

#include <cmath>
#include <optional>

namespace Vandle {

using namespace Ostrel;

namespace {

// The push of the rule before scaling, or nothing when the rule has no
// direction here.
std::optional<Vec3> PushDirection(const Composition& source, const Composition& player, PushRule rule) {
    if (rule == PushRule::AlongOwnVelocity) {
        const auto* movement = source.GetComponentAs<MovementComponent>();
        Vec3 velocity = movement ? movement->GetVelocity() : Vec3();
        if (velocity.LengthSquared() == 0.0f) return std::nullopt;
        return velocity.Normalized();
    }
    const TransformComponent* own = source.GetTransform();
    const TransformComponent* theirs = player.GetTransform();
    if (!own || !theirs) return std::nullopt;
    Vec3 d = theirs->GetPosition() - own->GetPosition();
    if (rule == PushRule::AwayOnGround) d.y = 0.0f;
    if (rule == PushRule::AwayOnMainAxis)
        d = std::fabs(d.z) >= std::fabs(d.x) ? Vec3(0.0f, 0.0f, d.z) : Vec3(d.x, 0.0f, 0.0f);
    return d.Normalized();
}

void Push(const Composition& source, u32 playerId, const ContactHit& hit) {
    Composition* player = FindLivePlayer(playerId);
    if (!player || hit.push == PushRule::None) return;
    if (hit.push == PushRule::CarryAlong) {
        const auto* own = source.GetComponentAs<MovementComponent>();
        if (auto* pushed = player->GetComponentAs<MovementComponent>(); pushed && own)
            pushed->SetVelocity(pushed->GetVelocity() + own->GetVelocity());
        return;
    }
    std::optional<Vec3> direction = PushDirection(source, *player, hit.push);
    if (hit.lift != 0.0f) {
        Vec3 push = direction.value_or(Vec3());
        push.y = hit.lift;
        direction = push;
    } else if (!direction || (direction->LengthSquared() == 0.0f && !hit.pushWhenStill)) {
        return;
    }
    const Vec3 push = *direction * hit.strength;
    SendObjectMessageValues(player, "KnockbackPlayer", push);
}

void Damage(u32 playerId, const ContactHit& hit) {
    SendObjectMessageFloat2(FindLivePlayer(playerId), "DamagePlayer", hit.damage, hit.coolDown);
}

void Thud(const ContactHit& hit) {
    if (hit.sound)
        if (CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", hit.sound);
}

}  // namespace

void HitPlayer(const Composition& source, u32 playerId, const ContactHit& hit) {
    if (!FindLivePlayer(playerId)) return;
    const bool soundBeforePush = hit.damageFirst && hit.soundBeforePush;
    if (hit.damageFirst) {
        Damage(playerId, hit);
        if (soundBeforePush) Thud(hit);
        Push(source, playerId, hit);
    } else {
        Push(source, playerId, hit);
        Damage(playerId, hit);
    }
    if (!soundBeforePush) Thud(hit);
}

}  // namespace Vandle
