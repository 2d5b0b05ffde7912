#pragma once
// The flying enemy ('birC'). Its "BirdColor" chooses how it moves when its
// object starts (an exact, case-sensitive name): "red" seeks the player at
// "MoveSpeed", "green" seeks turning at most "MaxTurnAngle" degrees a
// second, "blue" flies on along a random heading and rebounds off walls,
// gates and enemies (BirdBounceAction), facing where it flies; another
// colour does not move (logged once per colour). Every bird also gets the
// damage receiver ('dama'), a bob around the player's height (frequency
// 1.75, amplitude 4, offset 1), a red flash ('flas'), the knockback receiver
// ('knoc') and an animation step that leaves the bind pose.
//
// Touching the player throws the bird 10 units back over 0.2 s (a blocking
// move that holds its other lane-0 actions; red birds keep their facing,
// the others turn away), pushes the player away by 50 and sends
// "DamagePlayer"("Damage", 0.5) with "light-thud-sfx". A player exactly on
// the bird gets the damage and the thud but no push. "Damage" has no
// default: a bird without it deals 0, logged once per archetype.
//
// On death the bird plays "bird-death-sfx" and leaves its "SplitEffect"
// (none when empty). A bird that may split ("CanSplit", or the local
// "BirdSetCanSplit"(bool)) plays "bird-split-sfx" and makes two birds
// picked by weight from the page that "bird-split-map" names for its
// archetype (none when it has no entry or the page gives an empty table).
// "BirdSetSplitFx"(string) replaces the split effect.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/platform/SubscriptionList.h"

#include <string>

namespace Ostrel {
class BrainComponent;
struct CollisionData;
}  // namespace Ostrel

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class BirdComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("birC");
    static constexpr f32 kPush = 50.0f;
    static constexpr f32 kThrowBack = 10.0f;
    static constexpr f32 kThrowBackTime = 0.2f;
    static constexpr f32 kContactCoolDown = 0.5f;
    static constexpr f32 kBobFrequency = 1.75f;
    static constexpr f32 kBobAmplitude = 4.0f;
    static constexpr f32 kBobOffset = 1.0f;

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
    void OnBirdSetCanSplit(bool canSplit) { m_canSplit = canSplit; }
    void OnBirdSetSplitFx(std::string* archetype);
    // A blue bird made while the world was paused picks its heading now.
    void OnGameResumed();

    const std::string& GetBirdColor() const { return m_birdColor; }
    bool CanSplit() const { return m_canSplit; }
    const std::string& GetSplitEffect() const { return m_splitEffect; }
    f32 GetDamage() const { return m_damage; }

private:
    void AddActions(Ostrel::BrainComponent& brain);
    void AddMovement(Ostrel::BrainComponent& brain);
    // A blue bird's random heading: its turn about y and its velocity.
    void PickHeading();
    void Split();

    std::string m_spawnEffect = "yak-fx-obj";
    std::string m_splitEffect;
    std::string m_birdColor = "red";
    f32 m_moveSpeed = 7.0f;
    bool m_canSplit = false;
    f32 m_splitScale = 0.5f;
    f32 m_maxTurnAngle = 1.5f;
    f32 m_damage = 0.0f;
    bool m_hasDamage = false;  // whether an archetype or room gave "Damage"
    Ostrel::OwnerListeners m_listeners;
    // Holds "GameResumed" while a bird made in a paused world waits to pick its heading.
    Ostrel::SubscriptionList m_resumed;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::BirdComponent);
