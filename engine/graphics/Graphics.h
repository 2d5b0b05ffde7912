#pragma once
// The graphics system. For now it holds the debug-drawing services (anything
// may queue debug text or shapes for the current frame, and the renderer
// draws them over the picture at the end of the frame; see DebugDrawQueue)
// and draws the frame of a scene without a camera: under the render
// device's lock it clears the back buffer to black, begins the scene, draws
// the queued debug text with the debug font (DebugText.h), ends the scene
// and presents; after a presented frame the debug queues are emptied. A
// "WindowScreenStateChange" sends "LostDevice", resizes the device's back
// buffer and sends "ResetDevice". The passes of a real scene come with the
// renderer.

#include "engine/core/System.h"
#include "engine/base/Types.h"
#include "engine/platform/SubscriptionList.h"

#include <memory>
#include <string>

namespace Ostrel {

class DeviceTextRenderer;
class TextFont;

namespace rd {
class Device;
}

class Graphics : public System {
public:
    Graphics();
    ~Graphics() override;

    static constexpr u32 kId = 4;

    // Subscribes "WindowScreenStateChange".
    void Create() override;
    // Draws the frame (nothing without a device, or while the device cannot
    // draw: lost, or missing a render target).
    void Update(f32 dt) override;
    void Shutdown() override;
    // Sets the device's size and mode (a size of 0 is ignored) and resets it.
    void OnWindowScreenStateChange(bool windowed, u32 width, u32 height);
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

private:
    void DrawDebugTexts(rd::Device& device);

    SubscriptionList m_subscriptions;
    std::unique_ptr<DeviceTextRenderer> m_textRenderer;
    std::unique_ptr<TextFont> m_debugFont;
};

}  // namespace Ostrel
