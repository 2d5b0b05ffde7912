#pragma once
// The graphics system's debug-drawing entry points. Anything may queue debug
// text or shapes for the current frame; the renderer draws them over the
// picture at the end of the frame (see DebugDrawQueue). For now this class
// holds only these two services; the rendering system itself grows here.

#include "engine/core/Types.h"

namespace Ostrel {

class Graphics {
public:
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
