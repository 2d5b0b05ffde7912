#pragma once
// Lights for the light-manager tests: a light component that writes its
// colour and attenuation as the real one does, and a set of transforms.

#include "engine/core/TransformComponent.h"
#include "engine/core/Component.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

#include <deque>

namespace Ostrel::Testing {

class FakeLight final : public Component {
public:
    FakeLight(Vec3 color = Vec3(1, 1, 1), Vec3 attenuation = Vec3(1, 0.1f, 0)) : color(color), attenuation(attenuation) {}
    void Initialize() override {}
    Component* Clone() const override { return new FakeLight(color, attenuation); }
    void Uninitialize() override {}
    void Serialize(Serializer* s) override {
        s->SerializeFloat("Color_R", &color.x);
        s->SerializeFloat("Color_G", &color.y);
        s->SerializeFloat("Color_B", &color.z);
        s->SerializeFloat("Attenuation_X", &attenuation.x);
        s->SerializeFloat("Attenuation_Y", &attenuation.y);
        s->SerializeFloat("Attenuation_Z", &attenuation.z);
    }
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return FourCC("liht"); }
    Variant ToVariant() override { return Variant(); }

    Vec3 color;
    Vec3 attenuation;
};

// Transforms that stay put (a deque never moves its elements).
struct Transforms {
    TransformComponent* At(float x, float y = 0, float z = 0) {
        items.emplace_back().SetPosition(Vec3(x, y, z));
        return &items.back();
    }
    std::deque<TransformComponent> items;
};

}  // namespace Ostrel::Testing
