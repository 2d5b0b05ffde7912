#pragma once
// Marks level geometry ('lgeo'): the static objects whose collision volumes
// the swept movement test treats as walls, and that game collision handlers
// tell from other objects. It holds nothing itself.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class LevelGeometryComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("lgeo");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::LevelGeometryComponent);
