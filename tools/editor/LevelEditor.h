#pragma once
// Placeholder for the level editor subsystem's LevelEditor. As it stands, it
// is a System that the mains add to the engine; every frame operation does
// nothing.

#include "engine/base/Types.h"
#include "engine/core/System.h"

#include <string>

namespace Ostrel {

class LevelEditor : public System {
public:
    static constexpr u32 kId = FourCC("LVED");

    void Update(f32) override {}
    std::string GetName() const override { return "LevelEditor"; }
    u32 GetId() const override { return kId; }
};

}  // namespace Ostrel
