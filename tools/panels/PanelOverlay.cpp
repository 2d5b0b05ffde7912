#include "tools/panels/PanelOverlay.h"

#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/platform/WindowInputEvent.h"
#include "engine/platform/WindowSystem.h"

namespace Ostrel {

PanelOverlay::PanelOverlay(PanelModel& model, WindowSystem& window, Graphics& graphics, RenderDevice& device)
    : m_renderer(model), m_window(window), m_graphics(graphics), m_device(device) {
    m_window.SetRawEventHook([this](const void* event) { m_renderer.Feed(DecodeWindowInputEvent(event)); });
    m_window.SetPumpedHook([this](f32 dt) {
        m_renderer.BuildFrame(dt, int(m_device.GetWidth()), int(m_device.GetHeight()));
    });
    m_graphics.SetOverlayHook([this](rd::Device& live) { m_renderer.Draw(live); });
    m_subscriptions.Listen("WindowMessage", MakeDelegate(this, &PanelOverlay::OnWindowMessage));
}

PanelOverlay::~PanelOverlay() {
    m_subscriptions.Clear();
    m_graphics.SetOverlayHook(nullptr);
    m_window.SetPumpedHook(nullptr);
    m_window.SetRawEventHook(nullptr);
    m_renderer.ReleaseDeviceObjects(m_device.GetDevice());
}

void PanelOverlay::OnWindowMessage(unsigned message, unsigned wParam, long, bool* handled) {
    if (m_renderer.TakesWindowMessage(message, wParam) && handled) *handled = true;
}

}  // namespace Ostrel
