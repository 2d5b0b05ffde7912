#pragma once
// A chance of leaving a power-up behind when an enemy dies ('pudC').
//
// At the local "ObjectDead" a number from 0 to 99 below "DropChance" means a
// drop. The page "powerup-drop-map" names, under the dying object's
// archetype name, its drop page; the drop page maps power-up archetypes to
// whole weights. One archetype is drawn by weight, walking the names in the
// page's own (byte-wise) order, and made where the enemy died plus the
// "PositionModifier" offset, never saved with a room; then the
// "power-up-appears" tutorial is shown once ("ShowTutorial", "LockTutorial").
//
// An archetype missing from the map, a drop page that is missing, empty or
// whose weights add up to 0 drops nothing and is logged; a weight below 0
// counts as 0 (logged). Each death rolls anew.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

#include <string>

namespace Vandle {

using Ostrel::f32;
using Ostrel::s32;
using Ostrel::u32;

class PowerUpDropComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("pudC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnObjectDead();
    // Makes the power-up at this object's place (plus the modifier).
    void SpawnPowerUp(const std::string& archetype);

    s32 GetDropChance() const { return m_dropChance; }
    void SetDropChance(s32 percent) { m_dropChance = percent; }
    const Ostrel::Vec3& GetPositionModifier() const { return m_positionModifier; }

private:
    // The archetype drawn from this object's drop page, or empty (logged).
    std::string DrawPowerUp() const;

    s32 m_dropChance = 10;
    Ostrel::Vec3 m_positionModifier;
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::PowerUpDropComponent);
