#include "engine/graphics/RenderDevice.h"

#include "engine/graphics/Graphics.h"
#include "engine/graphics/device/RecordingDevice.h"
#include "engine/base/ILogProvider.h"
#include "engine/base/Logger.h"
#include "engine/platform/ExitCode.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stb_image.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace Ostrel {
namespace {

class LogText : public ILogProvider {
public:
    explicit LogText(std::string* text) : m_text(text) {}
    void Write(const char* text) override { *m_text += text; }

private:
    std::string* m_text;
};

// Collects what is logged while it lives.
class LogCapture {
public:
    LogCapture() : m_previous(Logger::Current()) {
        m_logger.AddProvider(std::make_unique<LogText>(&text));
        Logger::SetCurrent(&m_logger);
    }
    ~LogCapture() {
        Logger::SetCurrent(m_previous);
        m_logger.DeleteProviders();
    }
    size_t Count(const std::string& what) const {
        size_t count = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
        return count;
    }
    std::string text;

private:
    Logger m_logger;
    Logger* m_previous;
};

int s_windowToken;

struct Fixture {
    explicit Fixture(int failures) {
        device.SetFactory(rd::RecordingDevice::MakeFactory(failures, [this](rd::RecordingDevice& made) {
            recording = &made;
        }));
        device.SetWindowParameters({800, 600, &s_windowToken, true});
        // Answers as the window system does: full screen at the screen size.
        device.SetResolutionErrorSender([this] {
            ++resolutionErrors;
            device.SetWindowParameters({1920, 1080, &s_windowToken, false});
        });
    }
    RenderDevice device;
    rd::RecordingDevice* recording = nullptr;
    int resolutionErrors = 0;
};

TEST(RenderDevice, CreatesOnceAndListsEachDisplayModeOnce) {
    Fixture f(0);
    EXPECT_EQ(GetRenderDevice(), &f.device);
    rd::Device* device = f.device.Create();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(f.device.Create(), device);
    EXPECT_EQ(f.resolutionErrors, 0);
    // 640x480, 1024x768 twice, 1280x720 twice, 1920x1080.
    ASSERT_EQ(f.device.GetDisplayModes().size(), 4u);
    EXPECT_EQ(f.device.GetDisplayModes()[1].x, 1024.0f);
    EXPECT_EQ(f.device.GetDisplayModes()[2].y, 720.0f);
    EXPECT_STREQ(f.device.GetVertexShaderProfile(), "glsl330");
}

TEST(RenderDevice, AFirstFailureSendsOneResolutionErrorAndRetriesWithTheNewParameters) {
    Fixture f(1);
    ASSERT_NE(f.device.Create(), nullptr);
    EXPECT_EQ(f.resolutionErrors, 1);
    const rd::PresentParams& used = f.recording->GetPresentParams();
    EXPECT_EQ(used.width, 1920u);
    EXPECT_EQ(used.height, 1080u);
    EXPECT_FALSE(used.windowed);
    EXPECT_EQ(used.window, &s_windowToken);
}

TEST(RenderDevice, ASecondFailureIsLoggedAndEndsTheRunWithANonZeroExit) {
    LogCapture log;
    Fixture f(2);
    EXPECT_FALSE(StartRenderDevice(f.device));
    EXPECT_EQ(f.device.GetDevice(), nullptr);
    EXPECT_EQ(f.resolutionErrors, 1);
    EXPECT_EQ(log.Count("could not create the render device: simulated failure 2\n"), 1u);
    EXPECT_NE(ProcessExitCode(), 0);
    SetProcessExitCode(0);
    // A later call starts again (the third attempt succeeds).
    EXPECT_NE(f.device.Create(), nullptr);
}

TEST(RenderDevice, ResetKeepsEveryOtherParameterAndIgnoresSizesOfZero) {
    Fixture f(0);
    f.device.Create();
    f.device.SetWidth(1280);
    f.device.SetHeight(720);
    f.device.SetWindowed(true);
    f.device.SetWidth(0);
    f.device.SetWindowParameters({0, 0, &s_windowToken, true});
    f.device.Reset();
    const rd::PresentParams& used = f.recording->GetPresentParams();
    EXPECT_EQ(used.width, 1280u);
    EXPECT_EQ(used.height, 720u);
    EXPECT_TRUE(used.windowed);
    EXPECT_EQ(used.window, &s_windowToken);
    EXPECT_EQ(f.recording->BackBuffer()->Width(), 1280u);
}

TEST(RenderDevice, AMissingRenderTargetSkipsFramesUntilAResetSucceeds) {
    LogCapture log;
    Fixture f(0);
    f.device.Create();
    Graphics graphics;
    graphics.Update(0.016f);
    EXPECT_EQ(f.recording->PresentCount(), 1u);
    EXPECT_EQ(f.recording->BackBufferColour(), 0xFF000000u);  // cleared black

    f.recording->FailRenderTargets(1);
    EXPECT_EQ(f.device.CreateRenderTarget(800, 600, rd::Format::R32F, "impDepthTarget"), nullptr);
    EXPECT_EQ(log.Count("render target 'impDepthTarget' (800 x 600) could not be created"), 1u);
    graphics.Update(0.016f);
    EXPECT_EQ(f.recording->PresentCount(), 1u);
    f.recording->FailResets(1);
    f.device.Reset();
    graphics.Update(0.016f);
    EXPECT_EQ(f.recording->PresentCount(), 1u);
    f.device.Reset();
    EXPECT_NE(f.device.CreateRenderTarget(800, 600, rd::Format::R32F, "impDepthTarget"), nullptr);
    graphics.Update(0.016f);
    EXPECT_EQ(f.recording->PresentCount(), 2u);

    // A window size of 0 (minimised) keeps the back buffer's size.
    graphics.OnWindowScreenStateChange(true, 0, 0);
    EXPECT_EQ(f.recording->BackBuffer()->Width(), 800u);
    graphics.OnWindowScreenStateChange(false, 1024, 768);
    EXPECT_EQ(f.recording->BackBuffer()->Width(), 1024u);
    EXPECT_FALSE(f.recording->GetPresentParams().windowed);

    // A device still lost after the wait draws nothing that frame.
    graphics.SetLostDeviceWait(std::chrono::milliseconds(0));
    f.recording->ScriptCooperativeLevels({rd::CoopLevel::DeviceLost, rd::CoopLevel::DeviceLost});
    graphics.Update(0.016f);
    EXPECT_EQ(f.recording->PresentCount(), 2u);
}

TEST(RenderDevice, TheLockIsRecursiveAndExcludesOtherThreads) {
    RenderDevice device;
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    auto work = [&] {
        for (int i = 0; i < 200; ++i) {
            std::lock_guard outer(device);
            std::lock_guard inner(device);  // the same thread again
            if (inside.fetch_add(1) != 0) ++overlaps;
            inside.fetch_sub(1);
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(overlaps.load(), 0);
}

TEST(RenderDevice, WritesTheScreenshotOfTheRequestedFrame) {
    LogCapture log;
    const std::string path = std::string(LV_TEST_TMP) + "/render-device-shot.png";
    std::filesystem::remove(path);
    long frame = 1;
    {
        Fixture f(0);
        f.device.SetFrameSource([&] { return frame; });
        f.device.RequestScreenshot(path, 3);
        rd::Device* device = f.device.Create();
        for (; frame <= 4; ++frame) {
            device->Clear(rd::kClearTarget, frame == 3 ? 0x00336699u : 0x00FFFFFFu, 1.0f);
            device->Present();
        }
        EXPECT_TRUE(f.device.ScreenshotTaken());
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(pixels[0], 0x33);
    EXPECT_EQ(pixels[1], 0x66);
    EXPECT_EQ(pixels[2], 0x99);
    EXPECT_EQ(pixels[3], 255);
    stbi_image_free(pixels);
    EXPECT_EQ(log.Count("Screenshot of frame 3 written to"), 1u);

    // A frame the run never reaches is reported when the device goes.
    {
        Fixture f(0);
        f.device.RequestScreenshot(path, 1000);
    }
    EXPECT_EQ(log.Count("frame 1000 was never drawn"), 1u);
}

}  // namespace
}  // namespace Ostrel
