#pragma once
// The component of a short-lived rumble object ('refC', "rumble-obj"): when
// its object goes live it makes an invisible anchor ("anchor-obj") at the
// rumble's place, lifted to a height of 2, and a "rumble-fx" particle effect
// that whirls around the anchor (an OrbitAction of radius and speed 60).
// The effect and the anchor are removed once the effect's particles are done
// ("EffectLifeTime" + "ParticleLifeTime" + 0.1 s), the rumble object itself
// after 0.2 s. No keys and no editor fields: the values are fixed.
//
// When the anchor or the effect cannot be made, nothing is left behind (an
// anchor made for a missing effect is removed again) and the gap is logged;
// the rumble object still goes after 0.2 s.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class RumbleEffectComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("refC");
    static constexpr f32 kAnchorHeight = 2.0f;
    static constexpr f32 kOwnLifeTime = 0.2f;
    static constexpr f32 kEffectLifeExtra = 0.1f;

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Ostrel::Serializer*) override {}
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

private:
    // Makes the anchor and the effect; answers false (and leaves nothing)
    // when either cannot be made.
    bool MakeEffect();

    f32 m_orbitRadius = 60.0f;
    f32 m_orbitSpeed = 60.0f;
    std::string m_effectName = "rumble-fx";
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::RumbleEffectComponent);
