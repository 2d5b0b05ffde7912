// TAVRIN_INPUT_SCRIPT files played through the window system's event pump.

#include "engine/platform/Input.h"
#include "engine/platform/SdlPadSource.h"
#include "engine/platform/WindowSystem.h"
#include "tests/engine/platform/PlatformFakes.h"
#include "tests/engine/platform/WindowInputFixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace Ostrel;
using OstrelTest::RecordedMessage;
using OstrelTest::RecordingMessages;

namespace {

class ScriptFixture : public OstrelTest::WindowInputFixture<SdlPadSource> {
protected:
    ScriptFixture() : WindowInputFixture("Tavrin") {}

    void Start(const std::string& script, bool toolMode) {
        const std::string path = std::string(LV_TEST_TMP) + "/input-script-" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        std::ofstream(path) << script;
        window.SetToolMode(toolMode);
        window.LoadUserSettings(nullptr);
        window.Create();
        window.UseInputScript(path);
        window.Initialize();
        input.Initialize();
    }
    // One frame as the engine runs it: the window pump, then Input.
    void Frame() {
        window.Update(0.016f);
        input.Update(0.016f);
    }
};

}  // namespace

TEST_F(ScriptFixture, KeysTextAndMouseArriveAtTheirFrames) {
    Start("1 key 65 down\n"
          "2 key A up\n"
          "2 text hi\n"
          "3 mouse move 10 20 1 2\n"
          "3 mouse left down\n"
          "3 mouse wheel 1\n"
          "3 bogus line\n",
          false);
    Frame();
    EXPECT_EQ(messages.Named("KeyTriggered"), (std::vector<RecordedMessage>{{"KeyTriggered", 65, 1}}));
    messages.Clear();
    Frame();
    EXPECT_EQ(messages.Named("KeyTriggered"), (std::vector<RecordedMessage>{{"KeyTriggered", 65, 0}}));
    std::vector<long> chars;
    for (const auto& m : messages.Named("WindowMessage")) {
        if (m.a == 0x0102) chars.push_back(m.b);
    }
    EXPECT_EQ(chars, (std::vector<long>{'h', 'i'}));
    messages.Clear();
    Frame();
    EXPECT_EQ(messages.Named("MouseMoved").front(), (RecordedMessage{"MouseMoved", 1, 1, 2}));
    EXPECT_EQ(messages.Named("KeyTriggered"), (std::vector<RecordedMessage>{{"KeyTriggered", 1, 1}}));
    EXPECT_EQ(messages.Named("MouseWheel"), (std::vector<RecordedMessage>{{"MouseWheel", 120}}));
}

TEST_F(ScriptFixture, PadLinesDriveAVirtualController) {
    Start("2 pad GAMEPAD_A down\n3 pad 271 up\n", false);
    Frame();
    EXPECT_EQ(input.GetPadIndex(), 0);
    messages.Clear();
    Frame();
    EXPECT_EQ(messages.Named("KeyTriggered"), (std::vector<RecordedMessage>{{"KeyTriggered", 271, 1}}));
    EXPECT_EQ(messages.sent.back().name, "ControllerUpdate");
    messages.Clear();
    Frame();
    EXPECT_EQ(messages.Named("KeyTriggered"), (std::vector<RecordedMessage>{{"KeyTriggered", 271, 0}}));
}

TEST_F(ScriptFixture, ScriptedCloseEndsTheToolsRun) {
    Start("3 close\n", true);
    Frame();
    Frame();
    EXPECT_EQ(quits, 0);
    Frame();
    EXPECT_EQ(quits, 1);
}

TEST_F(ScriptFixture, ScriptedCloseIsIgnoredByTheGame) {
    Start("1 close\n", false);
    Frame();
    Frame();
    EXPECT_EQ(quits, 0);
}
