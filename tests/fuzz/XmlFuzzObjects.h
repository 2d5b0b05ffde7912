#pragma once
// A tiny object world for the archetype and room fuzz targets: a factory with
// a probe component holding one field of each kind, registered under two
// class names (one of them "ParticleEmitterComponent", which the level save
// writes in full).

#include "engine/base/Serializer.h"
#include "engine/core/Component.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/Variant.h"

#include <string>

namespace Ostrel::Fuzz {

template <u32 TypeId>
class ProbeComponent final : public Component {
public:
    static constexpr u32 kTypeId = TypeId;
    float speed = 1.0f;
    int count = 2;
    bool on = true;
    std::string label = "lamp";

    void Initialize() override {}
    void Uninitialize() override {}
    Component* Clone() const override {
        auto copy = static_cast<ProbeComponent*>(CompositionFactory::Instance()->CreateComponent(kTypeId));
        copy->speed = speed;
        copy->count = count;
        copy->on = on;
        copy->label = label;
        return copy;
    }
    void Serialize(Serializer* s) override {
        s->SerializeFloat("Speed", &speed);
        s->SerializeInt("Count", &count);
        s->SerializeBool("On", &on);
        s->SerializeString("Label", &label);
    }
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override { return Variant(); }
};

using Probe = ProbeComponent<FourCC("prbC")>;
using Particles = ProbeComponent<FourCC("ptcE")>;

inline void RegisterProbes(CompositionFactory& factory) {
    factory.AddComponentType(new ComponentFactory<Probe>(Probe::kTypeId), Probe::kTypeId, "ProbeComponent");
    factory.AddComponentType(new ComponentFactory<Particles>(Particles::kTypeId), Particles::kTypeId,
                             "ParticleEmitterComponent");
}

}  // namespace Ostrel::Fuzz
