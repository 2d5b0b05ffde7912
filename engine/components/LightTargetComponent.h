#pragma once
// Marks the point around which the light manager chooses the static lights
// ('trgt'): the last created object with one is the light target. It holds
// nothing itself.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class LightTargetComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("trgt");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::LightTargetComponent);
