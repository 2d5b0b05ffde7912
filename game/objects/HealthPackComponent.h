#pragma once
// A pickup that heals the player ('hpkC'). The first contact with the player
// sends the local "TriggerFired" on the pack's own object (the pickup
// animation answers it), plays "powerup-health-sfx" and sends the player
// "Heal"("HealAmount", "HealIsPercent"); the pack never heals again. With
// "DieOnUse" (the default) the pack object goes; without it the pack stays
// and only its "healthpack-fx" (made when the pack went live, never saved
// with a room) is removed. Contacts with anything but the player are
// ignored.
//
// "HealIsPercent" absent from an archetype means "HealAmount" 1 or less is a
// fraction of the maximum health, more is hit points. A room's values are
// read over a copy of the archetype: there an absent "HealIsPercent" keeps
// the archetype's, and a saved room carries both keys together (the pack is
// always written whole), so a changed amount never flips the meaning.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class HealthPackComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("hpkC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollisionData(Ostrel::CollisionData* contact);

    f32 GetHealAmount() const { return m_healAmount; }
    bool IsHealPercent() const { return m_healIsPercent; }
    bool IsAvailable() const { return m_available; }
    bool GetDieOnUse() const { return m_dieOnUse; }
    u32 GetEffectId() const { return m_effectId; }

private:
    f32 m_healAmount = 1.0f;
    bool m_healIsPercent = true;
    bool m_available = true;
    bool m_dieOnUse = true;
    u32 m_effectId = 0;
    // Set by the first read (the archetype's): later reads keep the flag.
    bool m_percentSettled = false;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::HealthPackComponent);
