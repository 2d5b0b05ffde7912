#pragma once
// Lets an object without a damage action of its own take damage and be
// removed when it dies ('desC'). On a live object it listens on the object's
// own messages: "DamageEnemy"(damage, cool-down) is answered at once with a
// local "TakeDamage"(damage), whatever the cool-down, so every hit counts;
// "ObjectDead" requests the object's destruction, carried out at the object
// manager's next update. The health component in between lowers the health
// and sends "ObjectDead"; without one the damage is only forwarded.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class DestructibleComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("desC");

    // Subscribes only when the owner is a live object.
    void Initialize() override;
    Component* Clone() const override;
    // Unsubscribes only when the component has a handle.
    void Uninitialize() override;
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    void OnDamageEnemy(float damage, float coolDown);
    void OnObjectDead();
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::DestructibleComponent);
