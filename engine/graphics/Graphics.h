#pragma once
// The graphics system. It holds the debug-drawing services: anything may
// queue debug text or shapes for the current frame, and the renderer draws
// them over the picture at the end of the frame (see DebugDrawQueue). As a
// System it is a placeholder: the mains add it to the engine, and its frame
// operations do nothing. Missing: the renderer, so no window content is
// drawn.

#include "engine/base/Types.h"
#include "engine/core/System.h"

#include <string>

namespace Ostrel {

class Graphics : public System {
public:
    static constexpr u32 kId = 4;

    void Update(f32) override {}
    std::string GetName() const override { return "Graphics"; }
    u32 GetId() const override { return kId; }

    // Queues text at pixel (x, y) from the top-left corner in the given
    // colour. The text is copied.
    static void DrawDebugText(const char* text, float x, float y, u8 red, u8 green, u8 blue,
                              u8 alpha);
    // Queues one shape of the given kind at (x, y, z). A sizeY or sizeZ of 0
    // or less is replaced by sizeX.
    static void DrawDebugShape(int kind, float x, float y, float z, float sizeX, float sizeY,
                               float sizeZ, u8 red, u8 green, u8 blue, u8 alpha);
};

}  // namespace Ostrel
