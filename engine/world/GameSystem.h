#pragma once
// Placeholder for the levels and game flow subsystem's GameSystem; what it
// lacks: a System that the mains add to the engine; every frame operation does
// nothing.

#include "engine/base/Types.h"
#include "engine/core/System.h"

#include <string>

namespace Ostrel {

class GameSystem : public System {
public:
    static constexpr u32 kId = FourCC("GAMS");

    void Update(f32) override {}
    std::string GetName() const override { return "GameSystem"; }
    u32 GetId() const override { return kId; }
};

}  // namespace Ostrel
