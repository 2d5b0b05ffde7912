#pragma once
// An OpenGL 3.3 core context on the SDL window, for the render device: the
// one place that asks SDL for GL. The context is made current on the
// creating thread, swaps without waiting for the display (swap interval 0),
// and is destroyed with this object.
//
// With no window (headless use: tests, tools) it makes a hidden 16 x 16
// window of its own for the context; the device then draws only into its
// own back buffer.

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Ostrel {

class GlContext {
public:
    // window: the SDL window of SdlWindow::Handle(), or null. Null with the
    // reason in error (no video driver, a window made without OpenGL, no
    // 3.3 core support).
    static std::unique_ptr<GlContext> Create(void* window, std::string* error);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    void MakeCurrent();
    void SwapBuffers();
    // The drawable size of the window in pixels.
    void GetDrawableSize(int& width, int& height) const;
    bool IsHeadless() const { return m_ownWindow != nullptr; }

    // The primary display's modes (width, height) in SDL's order, one entry
    // per mode; empty when video is not running.
    static std::vector<std::pair<unsigned, unsigned>> DisplayModes();

private:
    GlContext() = default;
    void* m_window = nullptr;     // SDL_Window*
    void* m_ownWindow = nullptr;  // the hidden window of a headless context
    void* m_context = nullptr;    // SDL_GLContext
    bool m_videoStarted = false;
};

}  // namespace Ostrel
