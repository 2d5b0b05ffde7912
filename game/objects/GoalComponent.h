#pragma once
// The end of a level ('golC'): the first contact with the player sends the
// global "GoalReached" once, on which the game system moves on to the next
// level; later contacts, and contacts with anything else, do nothing. A
// clone starts unreached. No keys, no editor fields.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {
struct CollisionData;
}

namespace Vandle {

using Ostrel::u32;

class GoalComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("golC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer*) override {}
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnCollisionData(Ostrel::CollisionData* contact);
    bool IsReached() const { return m_reached; }

private:
    bool m_reached = false;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::GoalComponent);
