#pragma once
// A pickup that gives the player a companion attack for a number of uses
// ('patC'): the first contact with the player sends the local "TriggerFired"
// on the power-up's own object, plays "powerup-attack-sfx", sends the player
// "ChangePlayerAttack"("NewAttack", "NumAttacks") and removes the power-up.
// Until the removal takes effect (the object manager's next update) further
// contacts give nothing. Contacts with anything but the player are ignored.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::s32;
using Ostrel::u32;

class PowerUpAttackComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("patC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollisionData(Ostrel::CollisionData* contact);

    const std::string& GetNewAttack() const { return m_newAttack; }
    s32 GetNumAttacks() const { return m_numAttacks; }
    void SetNumAttacks(s32 uses) { m_numAttacks = uses; }

private:
    std::string m_newAttack;
    s32 m_numAttacks = 0;
    bool m_taken = false;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PowerUpAttackComponent);
