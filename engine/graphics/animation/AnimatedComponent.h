#pragma once
// What the animation system asks of the component that animates an object
// (type id 'fdgC'): one step per frame. The component owns its
// AnimationController; Update advances it by dt when it is running and then
// rebuilds its pose.
//
// Update runs on an animation worker thread while the main thread waits. It
// may read its own object and the shared skeleton and clip, and write only
// its own state and controller: no messages, no object creation or
// destruction, no asset look-ups, no other object.

#include "engine/base/Types.h"

namespace Ostrel {

class AnimatedComponent {
public:
    static constexpr u32 kTypeId = FourCC("fdgC");

    virtual ~AnimatedComponent() = default;
    virtual void Update(f32 dt) = 0;
};

}  // namespace Ostrel
