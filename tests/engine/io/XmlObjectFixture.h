#pragma once
// A small object world for the serializer tests: a CompositionFactory with
// a marker, a probe component holding one field of each kind, and a
// stand-in registered as "ParticleEmitterComponent"; archetypes come from an
// XML text through SerializerXML::LoadObjects.

#include "engine/base/Types.h"
#include "engine/core/Component.h"
#include "engine/core/CompositionFactory.h"

#include <string>

namespace Ostrel::XmlTest {

class ProbeComponent : public Component {
public:
    static constexpr u32 kTypeId = FourCC("prbC");
    float speed = 1.0f;
    int count = 2;
    bool on = true;
    std::string label = "lamp";
    float speedAtInitialize = -1.0f;  // what Initialize saw

    void Initialize() override { speedAtInitialize = speed; }
    void Uninitialize() override {}
    Component* Clone() const override;
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;
};

// A second plain component, with a type id below the probe's.
class MarkerComponent : public Component {
public:
    static constexpr u32 kTypeId = FourCC("mrkC");
    float height = 0.0f;

    void Initialize() override {}
    void Uninitialize() override {}
    Component* Clone() const override;
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;
};

class ParticleProbe : public Component {
public:
    static constexpr u32 kTypeId = FourCC("ptcE");
    float rate = 2.0f;
    int burst = 3;

    void Initialize() override {}
    void Uninitialize() override {}
    Component* Clone() const override;
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;
};

struct ObjectWorld {
    // archetypes: the text of an "xobj" file, loaded at once.
    explicit ObjectWorld(const std::string& archetypes = kArchetypes);

    CompositionFactory factory;

    static const char kArchetypes[];
};

}  // namespace Ostrel::XmlTest
