#pragma once
// Puts the panels on the tools' window: the renderer gets every window event
// (the window system's raw-event hook), builds its frame and runs the queued
// panel actions after each pump (the pumped hook: outside any draw and
// outside the render device's lock), and draws over the graphics frame (the
// overlay hook). While the panels own the mouse or the keyboard it marks the
// "WindowMessage" that Input offers as handled, so typing into a field
// presses no editor or game key and a click on a bar picks nothing.
//
// It also tells the input script where a panel entry is: a "mouse item
// Bar|Group|Name" line moves the cursor to the centre of that entry as the
// last frame drew it.
//
// Made by the editor's and the viewer's mains after the render device
// exists and destroyed before the systems and the device; the destructor
// removes the hooks. Needs a running engine for the "WindowMessage"
// subscription.

#include "engine/platform/SubscriptionList.h"
#include "tools/panels/PanelRenderer.h"

namespace Ostrel {

class Graphics;
class RenderDevice;
class WindowSystem;

class PanelOverlay {
public:
    PanelOverlay(PanelModel& model, WindowSystem& window, Graphics& graphics, RenderDevice& device);
    ~PanelOverlay();
    PanelOverlay(const PanelOverlay&) = delete;
    PanelOverlay& operator=(const PanelOverlay&) = delete;

    PanelRenderer& Renderer() { return m_renderer; }

    void OnWindowMessage(unsigned message, unsigned wParam, long lParam, bool* handled);
    // The centre of the entry "Bar|Group|Name" (group empty: the bar's top
    // level) in window pixels; false when the last frame drew no such entry.
    bool Locate(const std::string& place, int& x, int& y) const;

private:
    PanelRenderer m_renderer;
    WindowSystem& m_window;
    Graphics& m_graphics;
    RenderDevice& m_device;
    SubscriptionList m_subscriptions;
};

}  // namespace Ostrel
