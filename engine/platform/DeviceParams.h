#pragma once
// The window parameters the mains read from the window system after the
// engine's creation step and hand to the render device, Input, the UI system
// and the matrix and font managers. The window is an opaque handle (the SDL
// window); only the platform and graphics-device layers look inside it.

#include "engine/base/Types.h"

namespace Ostrel {

struct DeviceParams {
    u32 width = 0;
    u32 height = 0;
    void* window = nullptr;
    bool windowed = false;
};

}  // namespace Ostrel
