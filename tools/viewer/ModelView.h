#pragma once
// Placeholder for the model viewer subsystem's ModelView. As it stands, it is
// a System that the mains add to the engine; every frame operation does
// nothing.

#include "engine/base/Types.h"
#include "engine/core/System.h"

#include <string>

namespace Ostrel {

class ModelView : public System {
public:
    static constexpr u32 kId = FourCC("MVSy");

    void Update(f32) override {}
    std::string GetName() const override { return "ModelView"; }
    u32 GetId() const override { return kId; }
};

}  // namespace Ostrel
