#pragma once
// A window system and an input system on SDL's offscreen (or dummy) video
// driver, both sending into one message recorder, with the pad source the
// test chooses (the real SDL controller source or a fake). Tests create and
// initialise the systems themselves; TearDown shuts them down.

#include "engine/platform/Input.h"
#include "engine/platform/WindowSystem.h"
#include "tests/engine/platform/PlatformFakes.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace OstrelTest {

template <class PadSourceT>
class WindowInputFixture : public ::testing::Test {
protected:
    explicit WindowInputFixture(const char* title) : window(title) {}

    void SetUp() override {
        if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
        window.SetMessages(messages);
        window.SetQuitHandler([this] { ++quits; });
        input.SetMessages(messages);
        input.SetPadSource(pads);
    }
    void TearDown() override {
        input.Shutdown();
        window.Shutdown();
    }

    RecordingMessages messages;
    Ostrel::WindowSystem window;
    PadSourceT pads;
    Ostrel::Input input;
    int quits = 0;
};

}  // namespace OstrelTest
