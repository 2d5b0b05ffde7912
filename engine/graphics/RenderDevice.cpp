#include "engine/graphics/RenderDevice.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/Screenshot.h"
#include "engine/base/Log.h"
#include "engine/platform/ExitCode.h"
#include "engine/base/RunSwitches.h"
#include "engine/platform/WindowSystem.h"

#include <algorithm>

namespace Ostrel {

namespace {

RenderDevice* s_instance = nullptr;

constexpr int kExitNoRenderDevice = 1;

void SendResolutionError() {
    if (Engine* engine = Engine::Instance(); engine && engine->GetCoreSystem()) {
        engine->GetCoreSystem()->Send("ResolutionError");
    }
}

long EngineFrame() {
    // During frame N the engine has completed N - 1 frames.
    Engine* engine = Engine::Instance();
    return engine ? long(engine->GetFrameCount()) + 1 : 0;
}

}  // namespace

RenderDevice* GetRenderDevice() {
    return s_instance;
}

RenderDevice::RenderDevice()
    : m_factory(rd::CreateGlDevice), m_sendResolutionError(SendResolutionError), m_frame(EngineFrame) {
    s_instance = this;
}

RenderDevice::~RenderDevice() {
    for (const Screenshot& shot : m_screenshots) {
        LogMessagef("screenshot '%s': frame %ld was never drawn\n", shot.file.c_str(), shot.frame);
    }
    Release();
    if (s_instance == this) s_instance = nullptr;
}

void RenderDevice::SetWindowParameters(const DeviceParams& params) {
    SetWidth(params.width);
    SetHeight(params.height);
    m_params.window = params.window;
    m_params.windowed = params.windowed;
}

void RenderDevice::SetWidth(u32 width) {
    if (width > 0) m_params.width = width;
}

void RenderDevice::SetHeight(u32 height) {
    if (height > 0) m_params.height = height;
}

void RenderDevice::SetWindowed(bool windowed) {
    m_params.windowed = windowed;
}

rd::PresentParams RenderDevice::PresentParams() const {
    return {m_params.width, m_params.height, m_params.windowed, m_params.window};
}

rd::Device* RenderDevice::Create() {
    if (m_device) return m_device.get();
    std::string error;
    for (int attempt = 1; attempt <= 2 && !m_device; ++attempt) {
        // The window system answers by switching to full screen at the
        // screen's size before the second attempt.
        if (attempt == 2) m_sendResolutionError();
        error.clear();
        m_device = m_factory(PresentParams(), &error);
    }
    if (!m_device) {
        LogMessagef("could not create the render device: %s\n", error.empty() ? "unknown reason" : error.c_str());
        return nullptr;
    }
    m_suspended = false;
    EnumerateDisplayModes();
    if (!m_screenshotAsked) {
        for (const auto& shot : RunSwitches::FromEnvironment().screenshots) {
            m_screenshots.push_back({shot.file, shot.frame});
        }
        m_screenshotAsked = !m_screenshots.empty();
    }
    m_device->SetPresentHook([this](rd::Device& device) { OnPresent(device); });
    return m_device.get();
}

void RenderDevice::EnumerateDisplayModes() {
    for (const auto& [width, height] : m_device->DisplayModes()) {
        const Vec2 mode{float(width), float(height)};
        bool known = false;
        for (const Vec2& existing : m_displayModes) known = known || (existing.x == mode.x && existing.y == mode.y);
        if (!known) m_displayModes.push_back(mode);
    }
    // Smallest first, as the options screen steps through them (SDL lists
    // the largest first).
    std::sort(m_displayModes.begin(), m_displayModes.end(),
              [](const Vec2& a, const Vec2& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
}

rd::Device* RenderDevice::Reset() {
    if (!m_device) return nullptr;
    if (m_device->Reset(PresentParams())) {
        m_suspended = false;
    } else {
        LogMessagef("render device: reset to %u x %u failed; frames are skipped until a reset succeeds\n",
                    m_params.width, m_params.height);
        m_suspended = true;
    }
    return m_device.get();
}

void RenderDevice::Release() {
    std::lock_guard lock(m_lock);
    m_device.reset();
}

void RenderDevice::SetTexture(u32 stage, rd::Texture* texture) {
    if (m_device) m_device->SetTexture(stage, texture);
}

rd::Texture* RenderDevice::CreateRenderTarget(u32 width, u32 height, rd::Format format, const std::string& name) {
    if (!m_device) return nullptr;
    rd::Texture* target = m_device->CreateRenderTarget(width, height, format);
    if (!target) {
        LogMessagef("render device: render target '%s' (%u x %u) could not be created; frames are skipped until "
                    "the device is reset\n",
                    name.c_str(), width, height);
        m_suspended = true;
        return nullptr;
    }
    target->SetName(name);
    return target;
}

void RenderDevice::RequestScreenshot(std::string file, long frame) {
    m_screenshots = {Screenshot{std::move(file), frame}};
    m_screenshotAsked = true;
}

void RenderDevice::OnPresent(rd::Device& device) {
    const long frame = m_frame();
    // Every picture due in this frame, in the order asked for.
    for (auto shot = m_screenshots.begin(); shot != m_screenshots.end();) {
        if (frame < shot->frame) {
            ++shot;
            continue;
        }
        WriteScreenshot(device, shot->file, frame);
        shot = m_screenshots.erase(shot);
    }
}

void RenderDevice::WriteScreenshot(rd::Device& device, const std::string& file, long frame) {
    rd::Texture* back = device.BackBuffer();
    std::vector<u8> pixels;
    if (!device.ReadPixels(back, pixels)) {
        LogMessagef("screenshot '%s': the back buffer cannot be read\n", file.c_str());
        return;
    }
    if (WritePng(file, back->Width(), back->Height(), pixels)) {
        LogMessagef("Screenshot of frame %ld written to '%s' (%u x %u)\n", frame, file.c_str(), back->Width(),
                    back->Height());
    }
}

void ConnectWindowToGraphics(WindowSystem& window, RenderDevice& device, MatrixManager& matrices) {
    window.SetScreenSizeHandler([&device, &matrices](const DeviceParams& params) {
        matrices.SetScreenSize(params);
        device.SetWindowParameters(params);
    });
    window.SetWindowClosingHandler([&device] { device.Release(); });
}

bool StartRenderDevice(RenderDevice& device) {
    if (device.Create()) return true;
    SetProcessExitCode(kExitNoRenderDevice);
    return false;
}

}  // namespace Ostrel
