#pragma once
// The player character ('plrC'); its presence marks an object as the
// player. It turns the controller's direction into a facing and a velocity
// (zero while the companion aims), switches the body between "luvo" and
// "luvo-walk-anim" only on a change, forwards an attack as a local message
// named after the current attack, counts the attack's charges (0 or -1:
// unlimited) and reports health, energy, attack changes and death through
// global messages. A live player creates its movement, impulse, jump, dash,
// colour flash, damage ('dama') and knockback ('knoc') actions.
//
// Keys: "MoveSpeed" (units per second of push; the velocity action adds it
// per second and the physics drag damps it), "DefaultAttack" (read also as
// the current attack). The "player-aimer" page gives per attack the aimer's
// "<texture> <ScaleX> <ScaleZ> <AdjustRadius>".

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "game/common/LogOnce.h"

#include <string>

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

class PlayerComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("plrC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnAimPlayer() { m_aiming = true; }
    void OnReleaseAim() { m_aiming = false; }
    void OnHealthChanged(f32 fraction);
    void OnObjectDead();
    void OnUpdatePlayerDirection(Ostrel::Vec3 direction);
    void OnUpdatePlayerAnimation();
    void OnLockAttacks() { m_attacksLocked = true; }
    void OnUnlockAttacks() { m_attacksLocked = false; }
    void OnPlayerAttack(Ostrel::Vec3 direction);
    void OnChangePlayerAttack(std::string* name, int charges);
    void OnResetPlayerAttack();
    void OnDecrementEnergy();
    void OnCheckEnergy();

    f32 GetMoveSpeed() const { return m_moveSpeed; }
    const std::string& GetCurrentAttack() const { return m_currentAttack; }
    s32 GetEnergy() const { return m_energy; }
    bool AreAttacksLocked() const { return m_attacksLocked; }

private:
    void UpdateMovement();
    void SendEnergy();
    void ChangeAttack(const std::string& name, int charges);
    void ApplyAimerLook(const std::string& attack);
    void CreateActions();

    Ostrel::Vec3 m_velocity{0.0f, 0.0f, -1.0f};
    f32 m_moveSpeed = 7.5f;
    bool m_attacksLocked = false;
    bool m_aiming = false;
    bool m_walking = false;
    std::string m_defaultAttack = "ShootQil";
    s32 m_energy = 0;
    s32 m_maxEnergy = 0;
    std::string m_currentAttack = "ShootQil";
    bool m_moveTutorialLocked = false;
    bool m_attackTutorialLocked = false;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
    ReportOnce m_loggedBadFacing;
};

// The object's player component, or null.
PlayerComponent* GetPlayerComponentOf(const Ostrel::Composition* object);

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PlayerComponent);
