#include "engine/graphics/Graphics.h"

#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/RenderDevice.h"

#include <mutex>

namespace Ostrel {

void Graphics::Create() {
    m_subscriptions.Listen("WindowScreenStateChange", MakeDelegate(this, &Graphics::OnWindowScreenStateChange));
}

void Graphics::Shutdown() {
    m_subscriptions.Clear();
}

void Graphics::Update(f32) {
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice || !renderDevice->CanDrawFrame()) return;
    std::lock_guard lock(*renderDevice);
    rd::Device& device = *renderDevice->GetDevice();
    device.SetRenderState(rd::RS::CullMode, rd::Cull::CounterClockwise);
    if (device.TestCooperativeLevel() != rd::CoopLevel::Ok) return;
    device.Clear(rd::kClearTarget | rd::kClearZBuffer, 0x00000000, 1.0f);
    device.BeginScene();
    device.EndScene();
    device.Present();
}

void Graphics::OnWindowScreenStateChange(bool windowed, u32 width, u32 height) {
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice || !renderDevice->GetDevice()) return;
    std::lock_guard lock(*renderDevice);
    renderDevice->SetWidth(width);
    renderDevice->SetHeight(height);
    renderDevice->SetWindowed(windowed);
    renderDevice->Reset();
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

}  // namespace Ostrel
