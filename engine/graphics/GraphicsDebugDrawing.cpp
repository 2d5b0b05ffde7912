// Debug shapes and debug text: queued by any main-thread code during the
// frame, drawn by the frame over the scene, emptied after each presented
// frame.

#include "engine/graphics/Graphics.h"

#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/DebugText.h"
#include "engine/graphics/DeviceTextRenderer.h"
#include "engine/graphics/TextFont.h"

namespace Ostrel {

void Graphics::DrawDebugTexts() {
    rd::Device* device = LiveDevice();
    if (!device) return;
    if (!m_textRenderer || &m_textRenderer->GetDevice() != device) CreateDebugFont();
    if (!m_debugFont) return;
    for (const DebugTextCall& text : DebugDrawQueue::Instance().Texts()) DrawDebugTextEntry(*m_debugFont, text);
}

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

void Graphics::DrawDebugShapes(rd::Device& /*device*/, const DebugShapeCall& /*shape*/,
                               const Matrix4& /*inverseView*/) {}

}  // namespace Ostrel
