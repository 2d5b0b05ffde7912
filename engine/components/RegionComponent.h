#pragma once
// Marks an object whose transform describes a box-shaped region of the level
// ('regi'): the position is the centre, the scale the full size. It holds
// nothing itself; code finds region objects through
// ObjectManager::FindObjectsWithComponent.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class RegionComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("regi");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::RegionComponent);
