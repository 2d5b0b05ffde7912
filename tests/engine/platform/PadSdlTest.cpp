// The SDL game-controller path of Input, driven by a virtual controller
// attached in-process (SDL_JoystickAttachVirtualEx).

#include "engine/platform/Input.h"
#include "engine/platform/SdlPadSource.h"
#include "tests/engine/platform/PlatformFakes.h"

#include <SDL.h>
#include <gtest/gtest.h>

using namespace Ostrel;
using OstrelTest::RecordedMessage;
using OstrelTest::RecordingMessages;

namespace {

struct RumbleLog {
    std::vector<std::pair<int, int>> calls;
};

int SDLCALL RecordRumble(void* userdata, Uint16 low, Uint16 high) {
    static_cast<RumbleLog*>(userdata)->calls.emplace_back(low, high);
    return 0;
}

class VirtualPad {
public:
    explicit VirtualPad(RumbleLog& log) {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.userdata = &log;
        desc.Rumble = RecordRumble;
        m_device = SDL_JoystickAttachVirtualEx(&desc);
        m_joystick = SDL_JoystickOpen(m_device);
        // A virtual trigger spans the whole axis range; its lowest value is released.
        Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
    ~VirtualPad() { Detach(); }
    void Detach() {
        if (m_joystick) SDL_JoystickClose(m_joystick);
        if (m_device >= 0) SDL_JoystickDetachVirtual(m_device);
        m_joystick = nullptr;
        m_device = -1;
    }
    bool Ok() const { return m_joystick != nullptr; }
    void Button(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(m_joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
    void Axis(SDL_GameControllerAxis axis, Sint16 value) { SDL_JoystickSetVirtualAxis(m_joystick, axis, value); }

private:
    int m_device = -1;
    SDL_Joystick* m_joystick = nullptr;
};

class PadFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        pads = std::make_unique<SdlPadSource>();
        input = std::make_unique<Input>();
        input->SetMessages(messages);
        input->SetPadSource(*pads);
        input->Initialize();
    }
    void TearDown() override {
        input->Shutdown();
        input.reset();
        pads.reset();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    RecordingMessages messages;
    std::unique_ptr<SdlPadSource> pads;
    std::unique_ptr<Input> input;
    RumbleLog rumble;
};

}  // namespace

TEST_F(PadFixture, NoPadIsQuietFrameAfterFrame) {
    for (int i = 0; i < 5; ++i) input->Update(0.016f);
    EXPECT_TRUE(messages.sent.empty());
    EXPECT_EQ(input->GetPadIndex(), -1);
}

TEST_F(PadFixture, VirtualControllerGivesPadKeysBeforeTheUpdateWithYInverted) {
    VirtualPad pad(rumble);
    ASSERT_TRUE(pad.Ok()) << SDL_GetError();
    input->Update(0.016f);
    EXPECT_EQ(messages.sent.front(), (RecordedMessage{"ControllerChanged", 1}));
    EXPECT_EQ(input->GetPadIndex(), 0);
    messages.Clear();

    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);  // fully up
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, 9000);
    input->Update(0.016f);
    std::vector<long> keys;
    for (const auto& m : messages.Named("KeyTriggered")) keys.push_back(m.a);
    EXPECT_EQ(keys, (std::vector<long>{257, 269, 271}));
    ASSERT_EQ(messages.sent.back().name, "ControllerUpdate");
    const ControllerData& data = messages.lastController;
    EXPECT_EQ(data.state.thumbLY, 32767);
    EXPECT_EQ(data.state.leftTrigger, 255);
    EXPECT_EQ(data.state.rightTrigger, 0);
    EXPECT_EQ(data.state.buttons, PadButton::kA | PadButton::kDpadLeft);
    EXPECT_EQ(data.leftStick.y, 32767.0f);
    EXPECT_EQ(data.rightStick.x, 9000.0f);

    messages.Clear();
    input->Update(0.016f);  // nothing changed: no packet
    EXPECT_TRUE(messages.sent.empty());
}

TEST_F(PadFixture, RumbleReachesTheControllerAndStopsWhenDone) {
    VirtualPad pad(rumble);
    ASSERT_TRUE(pad.Ok());
    input->Update(0.016f);
    input->OnAddVibrate(0.5f, 12000, -7);
    input->Update(0.1f);
    ASSERT_FALSE(rumble.calls.empty());
    EXPECT_EQ(rumble.calls.back(), std::make_pair(12000, 0));
    input->Update(0.5f);
    EXPECT_EQ(rumble.calls.back(), std::make_pair(0, 0));
}

TEST_F(PadFixture, UnpluggedPadIsAnnouncedOnDeviceChange) {
    VirtualPad pad(rumble);
    ASSERT_TRUE(pad.Ok());
    input->Update(0.016f);
    pad.Detach();
    input->Update(0.016f);  // keeps its index until a device change
    input->OnDeviceChange();
    EXPECT_EQ(messages.sent.back(), (RecordedMessage{"ControllerChanged", 0}));
    EXPECT_EQ(input->GetPadIndex(), -1);
}
