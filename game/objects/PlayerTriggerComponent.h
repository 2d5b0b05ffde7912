#pragma once
// A trigger volume ('pctC'): when the player (an object with a 'plrC'
// component) touches it, it sends the global "TriggerActivated"("TriggerId")
// while it has uses left ("NumUses", 1 by default). Every "CollisionData"
// report with the player spends one use, so a trigger with several uses may
// spend them on consecutive physics steps of one touch. Other objects
// (enemies, the companion, projectiles) neither fire it nor spend a use.
//
// The global "DeactivateLeftOf"(point), sent when a player is placed, spends
// for good every trigger whose x is at most the point's x (within 0.001), so
// triggers behind a respawned player do not fire again. Nothing re-arms a
// spent trigger; a fresh copy of the archetype or room starts armed. The
// level builder renumbers ids per room copy through Get/SetTriggerId.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/world/TriggerIdHolder.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::s32;
using Ostrel::u32;

class PlayerTriggerComponent final : public Ostrel::Component, public Ostrel::TriggerIdHolder {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("pctC");
    // The component that marks the player object.
    static constexpr u32 kPlayerTypeId = Ostrel::FourCC("plrC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollisionData(Ostrel::CollisionData* contact);
    void OnDeactivateLeftOf(Ostrel::Vec3 point);

    s32 GetTriggerId() const override { return m_triggerId; }
    void SetTriggerId(s32 id) override { m_triggerId = id; }
    s32 GetNumUses() const { return m_numUses; }
    void SetNumUses(s32 uses) { m_numUses = uses; }

private:
    s32 m_triggerId = 0;
    s32 m_numUses = 1;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PlayerTriggerComponent);
