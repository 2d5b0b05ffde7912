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
    m_window.SetItemLocator([this](const std::string& place, int& x, int& y) { return Locate(place, x, y); });
}

bool PanelOverlay::Locate(const std::string& place, int& x, int& y) const {
    const size_t first = place.find('|');
    const size_t second = first == std::string::npos ? first : place.find('|', first + 1);
    if (second == std::string::npos) return false;
    const auto rect = m_renderer.ItemTarget(place.substr(0, first), place.substr(first + 1, second - first - 1),
                                          place.substr(second + 1));
    if (!rect) return false;
    x = int(rect->CentreX());
    y = int(rect->CentreY());
    return true;
}

PanelOverlay::~PanelOverlay() {
    m_subscriptions.Clear();
    m_window.SetItemLocator(nullptr);
    m_graphics.SetOverlayHook(nullptr);
    m_window.SetPumpedHook(nullptr);
    m_window.SetRawEventHook(nullptr);
    m_renderer.ReleaseDeviceObjects(m_device.GetDevice());
}

void PanelOverlay::OnWindowMessage(unsigned message, unsigned wParam, long, bool* handled) {
    if (m_renderer.TakesWindowMessage(message, wParam) && handled) *handled = true;
}

}  // namespace Ostrel
