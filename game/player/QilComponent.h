#pragma once
// The companion ('qilC'). It keeps the companion near the first player
// (its QilReturnAction, BobAction, OrbitAction and FaceVelocityAction in
// lane 'face', created in that order so that they run newest first), turns
// the player's attack messages into the companion's attack actions, wears
// the current attack's colours and dies with the player. It has no update
// of its own: handlers and actions do everything.
//
// It listens on the player object (not on its own): "AimQil", "ShootQil",
// "ObjectDead", the four special attacks and "ReleaseAttack". Those
// subscriptions are kept with the player's id and taken back when the
// companion is uninitialised while that player still exists; a player that
// went away took its message table with it, so only the record is dropped.
// A new player is bound on the companion's "LostOrbitTarget" (from the
// orbit) and "LostPlayer" (from the return action), which are then told the
// new id with "NewOrbitTarget" and "FoundPlayer".
//
// An attack: ignored while one runs; otherwise "BeganAttack" on the
// companion and "DecrementEnergy" on the player (also when the attack then
// does not start); farther than sqrt(80) from the player the attack is
// refused and the player gets "CheckEnergy", so a spent special attack
// falls back to the default at once. Otherwise the attacking flag is set and
// the attack action clears it when it ends: ShootQilAction, ArcAttackAction,
// MeteorAttackAction (the companion then sends itself
// "UseIncorrectRotation", so it tumbles in flight), ShieldAttackAction and
// FirestarterAttackAction (at 1.25 x "ShootSpeed"). "InitiateVictory"
// starts a VictoryAction of 6 s with "qil-ascent-sfx", when the companion
// has a brain.
//
// "PlayerAttackChanged"(name): the mesh wears the "qil-colors" texture of
// that attack (the empty name when the page has no entry) and the light
// takes the "qil-light" colour "r g b" (kept, and logged, when the entry is
// missing or malformed). A companion without its LightComponent,
// MeshComponent or MovementComponent skips those writes (logged once each).
//
// Keys: "bob-frequency", "bob-amplitude", "bob-offset", "orbit-frequency",
// "orbit-amplitude" (all 0 by default: set them, or the companion neither
// floats nor orbits) and "ShootSpeed" (15). The editor's bob and orbit
// fields send "UpdateBobAction" and "UpdateOrbitAction" as they change.

#include "game/common/LogOnce.h"
#include "game/player/QilAttackSupport.h"

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"

#include <string>

namespace Ostrel {
class LightComponent;
class MeshComponent;
class MovementComponent;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;


class QilComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("qilC");
    static constexpr f32 kAttackRangeSquared = 80.0f;
    static constexpr f32 kFireSpeedFactor = 1.25f;
    static constexpr f32 kVictoryTime = 6.0f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    // Finds the first player when the bound one is gone and subscribes the
    // player-object messages on it.
    void BindPlayerAttackHandlers();

    void OnInitiateVictory();
    void OnLostOrbitTarget();
    void OnLostPlayer();
    void OnStartedAttack();
    void OnFinishedAttack();
    void OnPlayerAttackChanged(std::string* name);
    void OnAimQil(Ostrel::Vec3 aim);
    void OnShootQil(Ostrel::Vec3 aim);
    void OnPlayerDeath();
    void OnArcAttack(Ostrel::Vec3 aim);
    void OnMeteorAttack(Ostrel::Vec3 aim);
    void OnShieldAttack(Ostrel::Vec3 aim);
    void OnFirestarterAttack(Ostrel::Vec3 aim);
    void OnReleaseAttack();

    u32 GetPlayerId() const { return m_playerId; }
    bool IsAttacking() const { return m_attacking; }
    void SetAttacking(bool attacking) { m_attacking = attacking; }
    f32 GetShootSpeed() const { return m_shootSpeed; }
    void SetBob(f32 amplitude, f32 frequency, f32 offset);
    void SetOrbit(f32 amplitude, f32 frequency);

private:
    void CreateActions();
    // The common start of every attack: true when the attack may start.
    bool BeginAttack();
    bool IsPlayerInRange() const;
    void SendPlayer(const char* message) const;
    void ApplyLight(const std::string& attack);
    // Hands the attack its flag and the companion as owner, and starts it.
    template <class A>
    void StartAttack(A* attack);
    template <class C>
    C* Required(const char* className, ReportOnce& reported) const;

    u32 m_playerId = 0;
    f32 m_bobFrequency = 0.0f;
    f32 m_bobAmplitude = 0.0f;
    f32 m_bobOffset = 0.0f;
    f32 m_orbitFrequency = 0.0f;
    f32 m_orbitAmplitude = 0.0f;
    f32 m_shootSpeed = 15.0f;
    bool m_attacking = false;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
    Ostrel::OwnerListeners m_playerListeners;
    mutable ReportOnce m_reportedLight;
    mutable ReportOnce m_reportedMesh;
    mutable ReportOnce m_reportedMovement;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::QilComponent);
