#include "engine/graphics/Graphics.h"

#include "engine/graphics/DebugDrawQueue.h"

namespace Ostrel {

void Graphics::DrawDebugText(const char* text, float x, float y, u8 red, u8 green, u8 blue,
                             u8 alpha) {
    DebugDrawQueue::Instance().AddText({text ? text : "", x, y, red, green, blue, alpha});
}

void Graphics::DrawDebugShape(int kind, float x, float y, float z, float sizeX, float sizeY,
                              float sizeZ, u8 red, u8 green, u8 blue, u8 alpha) {
    if (sizeY <= 0.0f) sizeY = sizeX;
    if (sizeZ <= 0.0f) sizeZ = sizeX;
    DebugDrawQueue::Instance().AddShape(
        {kind, x, y, z, sizeX, sizeY, sizeZ, red, green, blue, alpha});
}

}  // namespace Ostrel
