#pragma once
// Marks a place of a yak boss room where a mini-boss rises ('ykti'). It has
// no data and no behaviour: the yak boss collects the ids of every object
// carrying one when it starts, and makes a "yak-mini-boss-obj" at each of
// them (from the tile's transform) when it hides. Keys in its archetype
// block are not read; a tile made after the boss started is not used.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

class YakTileComponent final : public Ostrel::Component {
public:
    static constexpr Ostrel::u32 kTypeId = Ostrel::FourCC("ykti");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Ostrel::Serializer*) override {}
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    Ostrel::u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::YakTileComponent);
