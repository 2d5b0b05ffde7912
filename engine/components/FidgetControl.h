#pragma once
// The operations of an object's fidget ('fdgC', the component that plays its
// skeletal animation) that code below the graphics layer may call: the
// engine's actions pick the clip, its rate and looping through this
// interface. FidgetComponent, in the graphics layer, implements it; an
// object whose 'fdgC' slot holds anything else has no fidget to control.
//
// Main thread only.

#include "engine/base/Types.h"

#include <string>

namespace Ostrel {

class Composition;

class FidgetControl {
public:
    static constexpr u32 kTypeId = FourCC("fdgC");

    // Plays the animation asset of that name from its start; an unknown name
    // keeps the clip that plays.
    virtual void SetAnimation(const std::string& name) = 0;
    virtual void SetAnimationRate(f32 rate) = 0;
    virtual void SetLooping(bool looping) = 0;

protected:
    ~FidgetControl() = default;
};

// The object's fidget, or null (no object, no fidget).
FidgetControl* GetFidgetControlOf(const Composition* object);

}  // namespace Ostrel
