#pragma once
// Lights for the light-manager tests: a light component with a given colour
// and attenuation (read in as from an archetype), and transforms that stay
// put.

#include "engine/components/LightComponent.h"
#include "engine/core/TransformComponent.h"
#include "tests/engine/components/ComponentWorld.h"

#include <deque>
#include <string>

namespace Ostrel::Testing {

class TestLight {
public:
    explicit TestLight(Vec3 color = Vec3(1, 1, 1), Vec3 attenuation = Vec3(1, 0.1f, 0)) {
        ComponentTest::TextSerializer reader(true);
        reader.values = {{"Color_R", std::to_string(color.x)},       {"Color_G", std::to_string(color.y)},
                         {"Color_B", std::to_string(color.z)},       {"Attenuation_X", std::to_string(attenuation.x)},
                         {"Attenuation_Y", std::to_string(attenuation.y)}, {"Attenuation_Z", std::to_string(attenuation.z)}};
        m_light.Serialize(&reader);
    }
    LightComponent* get() { return &m_light; }

private:
    LightComponent m_light;
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
