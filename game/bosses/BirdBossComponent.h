#pragma once
// The bird boss ('bboC'): a great bird that flies straight at "MoveSpeed",
// rebounds off walls ('boun'), floats 6 above the player's height, flashes
// red when hit and drives the "ui-bird" bar and the battle music.
//
// Every health report, the first one (1.0) at start included, plays one of
// three damage sounds (Rand() % 3), sets the forward speed to "MoveSpeed" +
// (1 - fraction) x 500 and sends the boss off on a new random heading.
// Touching the player sends "DamagePlayer"("Damage", 0.5), a thud and a
// push of 100 away from the boss on the ground (none when right above it).
//
// Each "TriggerFired" on its object hatches one bird 8 below it, drawn by
// weight from the page that "bird-split-map" names for the boss's
// archetype; a missing entry or page, or a page without positive weights,
// hatches nothing. Every bird made after the boss started, by anyone, is
// its child: when the boss dies each living child is told it cannot split,
// is given "ForceDeadEffect" as its split effect and dies. The boss then
// rises (up 10, accelerating 15), spinning and circling an "anchor-obj" at
// radius 45, and is destroyed 3 s later; the camera returns to its previous
// state. "battle-bgm" plays when the object goes.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/platform/SubscriptionList.h"

#include <string>
#include <vector>

namespace Ostrel {
struct CollisionData;
class MoveForwardAction;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class BirdBossComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("bboC");
    static constexpr f32 kSpeedBoost = 500.0f;
    static constexpr f32 kPush = 100.0f;
    static constexpr f32 kHatchDrop = 8.0f;
    static constexpr f32 kDeathFlight = 3.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollision(Ostrel::CollisionData* contact);
    void OnObjectDead();
    void OnFinishedSpawning();
    void OnTriggerFired();
    void OnHealthChanged(f32 fraction);
    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);

    const std::vector<u32>& GetChildren() const { return m_children; }
    // The forward speed now, or -1 when the boss has no forward action.
    f32 GetSpeed() const;

private:
    void AddActions(Ostrel::Composition& owner);
    void NewHeading();
    void KillChildren();
    void StartDeathFlight(Ostrel::Composition& self);
    Ostrel::MoveForwardAction* Forward() const;

    f32 m_moveSpeed = 7.0f;
    std::string m_spawnEffect = "yak-fx-obj";
    f32 m_maxTurnAngle = 1.5f;
    f32 m_damage = 1.0f;
    std::string m_forceDeadEffect = "yak-fx-obj";

    Ostrel::MoveForwardAction* m_forward = nullptr;
    f32 m_speed = -1.0f;
    std::vector<u32> m_children;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::BirdBossComponent);
