#pragma once
// Removes its object at the first local "TriggerFired" (from a trigger
// listener or a timed trigger on the same object): scenery or enemies that
// vanish when the player reaches a trigger. No sound, no effect and no
// "ObjectDead": the object simply goes at the object manager's next update.
//
// The type ('trdC') is known to reflection but deliberately not registered
// with the component factory, so no archetype, room file or editor panel
// names it: the game gives it to objects in code. Clone therefore makes the
// copy through the meta class, and the factory deletes such components
// directly when their object is destroyed.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

using Ostrel::u32;

class TriggeredDeathComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("trdC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer*) override {}
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnTriggerFired();

private:
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::TriggeredDeathComponent);
