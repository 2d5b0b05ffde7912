#pragma once
// RenderDevice: the one holder of the render device (see device/Device.h),
// its window parameters, display modes and lock.
//
// Each main constructs it as a local, hands it the window's parameters
// once the window exists and calls Create; everything else reaches it
// through GetRenderDevice(). Create makes at most two attempts: before the
// second it sends "ResolutionError", which the window system answers at once
// by switching to full screen at the screen's size and handing the new
// parameters back (SetWindowParameters, through the screen-size handler
// ConnectWindowToGraphics installs). When both attempts fail it logs "could not
// create the render device: <reason>" and returns null; the main then ends
// the run without starting it (StartRenderDevice).
//
// The lock is recursive. The graphics update holds it around the frame;
// the loaders hold it while they create textures and buffers on the
// background thread, which then store CPU data only (the GL objects are made
// on the render thread at first use).
//
// Sizes of 0 (a minimised window) are ignored by the setters and by Reset:
// the last good size stays. A render target that cannot be made after a
// reset suspends drawing (CanDrawFrame) until a later reset succeeds.
//
// TAVRIN_SCREENSHOT=FILE@FRAME[,FILE@FRAME...]: after Create, the back
// buffer of the first frame presented at or after each FRAME (engine frames
// count from 1) is written to its FILE as PNG.

#include "engine/base/Types.h"
#include "engine/core/Vec2.h"
#include "engine/graphics/device/Device.h"
#include "engine/platform/DeviceParams.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Ostrel {

class MatrixManager;
class WindowSystem;

class RenderDevice {
public:
    using Factory = std::function<std::unique_ptr<rd::Device>(const rd::PresentParams&, std::string* error)>;

    RenderDevice();
    ~RenderDevice();
    RenderDevice(const RenderDevice&) = delete;
    RenderDevice& operator=(const RenderDevice&) = delete;

    // Copies width, height, window and windowed (a 0 size keeps the old one).
    void SetWindowParameters(const DeviceParams& params);
    void SetWidth(u32 width);
    void SetHeight(u32 height);
    void SetWindowed(bool windowed);

    // Makes the device once (see above); later calls return the same one.
    rd::Device* Create();
    // Resizes the back buffer to the current size and mode; every other
    // parameter stays. Returns the device (null before Create); a failure is
    // logged and drawing stays suspended.
    rd::Device* Reset();
    // Gives the device up (every object it made goes with it).
    void Release();

    void Lock() { m_lock.lock(); }
    void Unlock() { m_lock.unlock(); }
    // For std::lock_guard / std::unique_lock.
    void lock() { Lock(); }
    void unlock() { Unlock(); }
    bool try_lock() { return m_lock.try_lock(); }

    rd::Device* GetDevice() const { return m_device.get(); }
    const DeviceParams& GetWindowParameters() const { return m_params; }
    u32 GetWidth() const { return m_params.width; }
    u32 GetHeight() const { return m_params.height; }
    bool IsWindowed() const { return m_params.windowed; }
    const char* GetVertexShaderProfile() const { return m_device ? "glsl330" : ""; }
    const char* GetPixelShaderProfile() const { return m_device ? "glsl330" : ""; }
    // Each (width, height) of the screen's modes once, smallest width first
    // (then smallest height).
    const std::vector<Vec2>& GetDisplayModes() const { return m_displayModes; }
    // Sets the texture of a stage (null clears it); nothing without a device.
    void SetTexture(u32 stage, rd::Texture* texture);

    // Makes a render target; on failure logs it, naming the target, and
    // suspends drawing until the next successful Reset.
    rd::Texture* CreateRenderTarget(u32 width, u32 height, rd::Format format, const std::string& name);
    // True while a frame may be drawn: a device exists and no target is missing.
    bool CanDrawFrame() const { return m_device && !m_suspended; }

    // Seams for tests and tools: the device maker (default: the GL backend),
    // the "ResolutionError" sender (default: the engine's core system), the
    // frame number used by the screenshot (default: the engine's frame).
    void SetFactory(Factory factory) { m_factory = std::move(factory); }
    void SetResolutionErrorSender(std::function<void()> send) { m_sendResolutionError = std::move(send); }
    void SetFrameSource(std::function<long()> frame) { m_frame = std::move(frame); }
    // Writes the back buffer of the first frame presented at or after frame
    // (replaces TAVRIN_SCREENSHOT and every picture still to take).
    void RequestScreenshot(std::string file, long frame);
    // Whether pictures were asked for and all of them are taken.
    bool ScreenshotTaken() const { return m_screenshotAsked && m_screenshots.empty(); }

private:
    rd::PresentParams PresentParams() const;
    void EnumerateDisplayModes();
    void OnPresent(rd::Device& device);
    void WriteScreenshot(rd::Device& device, const std::string& file, long frame);

    std::recursive_mutex m_lock;
    DeviceParams m_params;
    std::unique_ptr<rd::Device> m_device;
    std::vector<Vec2> m_displayModes;
    Factory m_factory;
    std::function<void()> m_sendResolutionError;
    std::function<long()> m_frame;
    bool m_suspended = false;
    struct Screenshot {
        std::string file;
        long frame;
    };
    // Still to take.
    std::vector<Screenshot> m_screenshots;
    bool m_screenshotAsked = false;
};

// The instance of the running program (set by the constructor), or null.
RenderDevice* GetRenderDevice();

// Start-up steps the mains share.
// Hands the window system's "ResolutionError" fall-back parameters to the
// matrix manager and the render device, and releases the device when the
// window closes (its GL context dies with the window). After that release
// GetDevice() is null and every object the device made is gone: owners of
// device objects check GetDevice() before giving theirs back.
void ConnectWindowToGraphics(WindowSystem& window, RenderDevice& device, MatrixManager& matrices);
// Creates the device; when it cannot be made the process exit code becomes
// non-zero and false tells the main to end without running.
bool StartRenderDevice(RenderDevice& device);

}  // namespace Ostrel
