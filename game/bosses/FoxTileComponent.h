#pragma once
// Marks an emerge point of the fox boss arena ('fxti'). The fox manager
// collects every such object when the fight starts and lends them to the
// fox bosses one at a time; an emerging fox stands at the tile's position
// with the tile's yaw and throws its rocks over the arc from "MinAngle" to
// "MaxAngle" (world yaws in degrees, the transform's convention). A max
// below the min throws from the min downwards.
//
// A tile without its angles throws over -90..90, the rock shower's own arc.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

class FoxTileComponent final : public Ostrel::Component {
public:
    static constexpr Ostrel::u32 kTypeId = Ostrel::FourCC("fxti");
    static constexpr Ostrel::f32 kDefaultMinAngle = -90.0f;
    static constexpr Ostrel::f32 kDefaultMaxAngle = 90.0f;

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    Ostrel::u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    Ostrel::f32 GetMinAngle() const { return m_minAngle; }
    Ostrel::f32 GetMaxAngle() const { return m_maxAngle; }

private:
    Ostrel::f32 m_minAngle = kDefaultMinAngle;
    Ostrel::f32 m_maxAngle = kDefaultMaxAngle;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FoxTileComponent);
