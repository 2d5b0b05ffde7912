#pragma once
// Placeholder for the graphics subsystem's AnimationSystem. As it stands, it
// is a System that the mains add to the engine; every frame operation does
// nothing.

#include "engine/base/Types.h"
#include "engine/core/System.h"

#include <string>

namespace Ostrel {

class AnimationSystem : public System {
public:
    static constexpr u32 kId = FourCC("anim");

    void Update(f32) override {}
    std::string GetName() const override { return "AnimationSystem"; }
    u32 GetId() const override { return kId; }
};

}  // namespace Ostrel
