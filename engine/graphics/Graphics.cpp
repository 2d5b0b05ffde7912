#include "engine/graphics/Graphics.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/DebugText.h"
#include "engine/graphics/DeviceTextRenderer.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/TextFont.h"

#include <mutex>

namespace Ostrel {

namespace {

void SendToAll(const char* message) {
    if (Engine* engine = Engine::Instance(); engine && engine->GetCoreSystem()) engine->GetCoreSystem()->Send(message);
}

}  // namespace

Graphics::Graphics() = default;
Graphics::~Graphics() = default;

void Graphics::Create() {
    m_subscriptions.Listen("WindowScreenStateChange", MakeDelegate(this, &Graphics::OnWindowScreenStateChange));
}

void Graphics::Shutdown() {
    m_subscriptions.Clear();
    m_debugFont.reset();
    m_textRenderer.reset();
}

void Graphics::DrawDebugTexts(rd::Device& device) {
    if (!m_textRenderer || &m_textRenderer->GetDevice() != &device) {
        m_debugFont.reset();
        m_textRenderer = std::make_unique<DeviceTextRenderer>(device);
        m_debugFont = TextFont::Create(DebugFontDesc(), m_textRenderer.get());
    }
    if (!m_debugFont) return;
    for (const DebugTextCall& text : DebugDrawQueue::Instance().Texts()) DrawDebugTextEntry(*m_debugFont, text);
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
    DrawDebugTexts(device);
    device.EndScene();
    device.Present();
    DebugDrawQueue::Instance().Clear();
}

void Graphics::OnWindowScreenStateChange(bool windowed, u32 width, u32 height) {
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice || !renderDevice->GetDevice()) return;
    std::lock_guard lock(*renderDevice);
    SendToAll("LostDevice");
    renderDevice->SetWidth(width);
    renderDevice->SetHeight(height);
    renderDevice->SetWindowed(windowed);
    renderDevice->Reset();
    SendToAll("ResetDevice");
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
