#include "engine/platform/Input.h"

#include "engine/platform/PadDeadZones.h"
#include "tests/engine/platform/PlatformFakes.h"

#include <gtest/gtest.h>

using namespace Ostrel;
using OstrelTest::FakePadSource;
using OstrelTest::RecordedMessage;
using OstrelTest::RecordingMessages;

namespace {

class InputFixture : public ::testing::Test {
protected:
    void SetUp() override {
        input.SetMessages(messages);
        input.SetPadSource(pads);
        input.Initialize();
    }
    void TearDown() override { input.Shutdown(); }

    void Key(int vk, bool down) { input.OnRawKeyboard({vk, !down}); }
    void Mouse(u16 flags, int dx = 0, int dy = 0, s16 data = 0) {
        RawMousePacket packet;
        packet.lastX = dx;
        packet.lastY = dy;
        packet.buttonFlags = flags;
        packet.buttonData = data;
        input.OnRawMouse(packet);
    }

    RecordingMessages messages;
    FakePadSource pads;
    Input input;
};

RecordedMessage Triggered(int code, bool pressed) {
    return {"KeyTriggered", code, pressed};
}

}  // namespace

TEST_F(InputFixture, HeldKeySendsOnePressAndOneReleaseWithWindowMessagesFirst) {
    Key('A', true);
    input.Update(0.016f);
    Key('A', true);  // auto-repeat
    Key('A', true);
    input.Update(0.016f);
    EXPECT_TRUE(input.GetKey('A').IsHeld());
    Key('A', false);
    const std::vector<RecordedMessage> expected = {
        {"WindowMessage", 0x0100, 'A', 0x4000}, Triggered('A', true),
        {"WindowMessage", 0x0101, 'A', 0xC000}, Triggered('A', false)};
    EXPECT_EQ(messages.sent, expected);
}

TEST_F(InputFixture, HandledWindowMessageSuppressesKeyTriggeredButKeyStillChanges) {
    messages.handleWindowMessage = [](unsigned, unsigned, long) { return true; };
    Key(Vk::kSpace, true);
    EXPECT_TRUE(messages.Named("KeyTriggered").empty());
    EXPECT_TRUE(input.GetKey(Vk::kSpace).down);
    EXPECT_EQ(messages.Named("WindowMessage").size(), 1u);
}

TEST_F(InputFixture, PressAndReleaseInOneFrameGiveTwoMessagesAndEndUp) {
    Key('Q', true);
    Key('Q', false);
    EXPECT_EQ(messages.Named("KeyTriggered"), (std::vector<RecordedMessage>{Triggered('Q', true), Triggered('Q', false)}));
    input.Update(0.016f);
    EXPECT_FALSE(input.GetKey('Q').down);
    EXPECT_TRUE(input.GetKey('Q').wasDown);  // the value Set wrote stays for this frame
    input.Update(0.016f);
    EXPECT_FALSE(input.GetKey('Q').wasDown);
}

TEST_F(InputFixture, KeyboardCodesOutsideTheKeyboardRangeAreDropped) {
    Key(255, true);
    Key(0, true);
    EXPECT_TRUE(messages.sent.empty());
    EXPECT_FALSE(input.GetKey(255).down);
}

TEST_F(InputFixture, MouseButtonsUseCursorForLeftAndKeyMessageForRight) {
    input.OnMouseMove(300, 200);
    messages.Clear();
    Mouse(RawMousePacket::kLeftDown | RawMousePacket::kRightDown);
    const long cursor = 300 | (200 << 16);
    const std::vector<RecordedMessage> expected = {
        {"WindowMessage", 0x0200, 0, cursor}, {"MouseMoved", 1, 0, 0},
        {"WindowMessage", 0x0201, 1, cursor}, Triggered(1, true),
        {"WindowMessage", 0x0100, 2, 0x4000}, Triggered(2, true)};
    EXPECT_EQ(messages.sent, expected);
}

TEST_F(InputFixture, WheelIsOfferedAsWindowMessageFirstAndStopsThereWhenHandled) {
    input.OnMouseMove(30, 20);
    messages.Clear();
    Mouse(RawMousePacket::kWheel, 0, 0, 120);
    std::vector<RecordedMessage> wheel = messages.Named("WindowMessage");
    std::erase_if(wheel, [](const RecordedMessage& m) { return m.a != 0x020A; });
    ASSERT_EQ(wheel.size(), 1u);
    EXPECT_EQ(wheel[0], (RecordedMessage{"WindowMessage", 0x020A, long(120u << 16), 30 | (20 << 16)}));
    EXPECT_EQ(messages.Named("MouseWheel").size(), 1u);
    messages.Clear();
    messages.handleWindowMessage = [](unsigned message, unsigned, long) { return message == 0x020A; };
    Mouse(RawMousePacket::kWheel, 0, 0, -120);
    EXPECT_TRUE(messages.Named("MouseWheel").empty()) << "the panel under the cursor took it";
}

TEST_F(InputFixture, RelativePacketsSendMotionEvenWithZeroDeltaAndWheelInNotches) {
    Mouse(0, 5, -3);
    Mouse(0, 0, 0);
    Mouse(RawMousePacket::kWheel, 0, 0, -120);
    auto moved = messages.Named("MouseMoved");
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0], (RecordedMessage{"MouseMoved", 1, 5, -3}));
    EXPECT_EQ(moved[1], (RecordedMessage{"MouseMoved", 1, 0, 0}));
    EXPECT_EQ(messages.Named("MouseWheel"), (std::vector<RecordedMessage>{{"MouseWheel", -120}}));
    EXPECT_EQ(input.GetMouseDeltaX(), 0);

    RawMousePacket absolute;
    absolute.relative = false;
    absolute.lastX = 40;
    messages.Clear();
    input.OnRawMouse(absolute);
    EXPECT_TRUE(messages.sent.empty());
}

TEST_F(InputFixture, MouseMoveWhileLeftHeldReportsTheButtonInWParam) {
    Mouse(RawMousePacket::kLeftDown);
    input.Update(0.016f);
    messages.Clear();
    Mouse(0, 1, 1);
    EXPECT_EQ(messages.sent.front().b, 0);  // pressed this frame: not yet held
    input.Update(0.016f);
    messages.Clear();
    Mouse(0, 1, 1);
    EXPECT_EQ(messages.sent.front().b, 1);
}

TEST_F(InputFixture, NoPadAtStartSendsNothingAndPluggingOneInIsAnnounced) {
    input.Update(0.016f);
    input.Update(0.016f);
    EXPECT_TRUE(messages.sent.empty());
    EXPECT_TRUE(pads.writes.empty());
    pads.connected[2] = true;
    input.OnDeviceChange();
    EXPECT_EQ(messages.sent, (std::vector<RecordedMessage>{{"ControllerChanged", 1}}));
    EXPECT_EQ(input.GetPadIndex(), 2);
    pads.connected[2] = false;
    input.OnDeviceChange();
    EXPECT_EQ(messages.sent.back(), (RecordedMessage{"ControllerChanged", 0}));
}

TEST_F(InputFixture, PadKeysComeBeforeControllerUpdateAndTriggersNeedMoreThan30) {
    pads.connected[0] = true;
    input.Update(0.016f);
    messages.Clear();
    PadState state;
    state.buttons = PadButton::kA | PadButton::kDpadUp;
    state.leftTrigger = 30;
    state.rightTrigger = 31;
    pads.Press(state);
    input.Update(0.016f);
    std::vector<std::string> order;
    for (const auto& m : messages.Named("KeyTriggered")) order.push_back(std::to_string(m.a));
    EXPECT_EQ(order, (std::vector<std::string>{"255", "270", "271"}));
    EXPECT_EQ(messages.sent.back().name, "ControllerUpdate");
    // An unchanged packet sends nothing.
    messages.Clear();
    input.Update(0.016f);
    EXPECT_TRUE(messages.sent.empty());
}

TEST(PadDeadZones, ConstantsAreTheFloatSquares) {
    EXPECT_EQ(kLeftDeadZoneSq, 22500.0f * 22500.0f);
    EXPECT_EQ(kRightDeadZoneSq, 8689.0f * 8689.0f);
    EXPECT_EQ(kRightFullSq, 32767.0f * 32767.0f);
}

TEST(PadDeadZones, LeftStickGrowsWithSquaredLength) {
    struct Case {
        s16 x;
        f32 expected;
    };
    const Case cases[] = {{22499, 0.0f}, {25000, 25000.0f * (6.25e8f / 9.0e8f)}, {30000, 30000.0f}, {-32000, -32000.0f}};
    for (const Case& c : cases) {
        ControllerData data;
        data.state.thumbLX = c.x;
        ApplyDeadZones(data);
        EXPECT_FLOAT_EQ(data.leftStick.x, c.expected) << c.x;
        EXPECT_EQ(data.leftStick.y, 0.0f);
    }
}

TEST(PadDeadZones, RightStickIsZeroOneOrBeyondInTheCorners) {
    ControllerData data;
    data.state.thumbRX = 8688;
    ApplyDeadZones(data);
    EXPECT_EQ(data.rightStick.x, 0.0f);
    data.state.thumbRX = 8689;
    ApplyDeadZones(data);
    EXPECT_EQ(data.rightStick.x, 8689.0f);
    data.state.thumbRX = 32767;
    data.state.thumbRY = 32767;
    ApplyDeadZones(data);
    EXPECT_FLOAT_EQ(data.rightStick.x, 65534.0f);
    EXPECT_FLOAT_EQ(data.rightStick.y, 65534.0f);
}

TEST_F(InputFixture, RumbleSumsCapsAndStopsWhenRequestsRunOut) {
    pads.connected[0] = true;
    for (int i = 0; i < 6; ++i) input.OnAddVibrate(0.5f, 12000, 12000);
    input.Update(0.1f);
    EXPECT_EQ(pads.writes.back(), (FakePadSource::Write{0, 65535, 65535}));
    input.Update(0.5f);
    EXPECT_EQ(pads.writes.back(), (FakePadSource::Write{0, 0, 0}));
    EXPECT_TRUE(input.GetRumble().empty());
}

TEST_F(InputFixture, PausedRumbleStopsMotorsAndKeepsRemainingTime) {
    pads.connected[0] = true;
    input.OnAddVibrate(0.5f, 1000, 2000);
    input.Update(0.2f);
    input.Update(0.0f);
    EXPECT_EQ(pads.writes.back(), (FakePadSource::Write{0, 0, 0}));
    ASSERT_EQ(input.GetRumble().size(), 1u);
    EXPECT_FLOAT_EQ(input.GetRumble()[0].secondsLeft, 0.3f);
    input.Update(0.2f);
    EXPECT_EQ(pads.writes.back(), (FakePadSource::Write{0, 1000, 2000}));
}

TEST_F(InputFixture, ExpiredRumbleIsSwapRemovedAndTheMovedEntryCountsThisPass) {
    pads.connected[0] = true;
    input.OnAddVibrate(0.1f, 100, 0);   // expires first pass
    input.OnAddVibrate(1.0f, 200, 0);
    input.OnAddVibrate(1.0f, 400, 7);   // moved into slot 0 and still counted
    input.Update(0.2f);
    EXPECT_EQ(pads.writes.back(), (FakePadSource::Write{0, 600, 7}));
    ASSERT_EQ(input.GetRumble().size(), 2u);
    EXPECT_FLOAT_EQ(input.GetRumble()[0].secondsLeft, 0.8f);  // processed once, not twice
}

TEST_F(InputFixture, NegativeVibrationIsClampedAndGameInactiveClears) {
    pads.connected[0] = true;
    input.OnAddVibrate(1.0f, -5, -32768);
    input.Update(0.1f);
    EXPECT_EQ(pads.writes.back(), (FakePadSource::Write{0, 0, 0}));
    input.OnAddVibrate(1.0f, 3000, 3000);
    input.OnGameInactive();
    EXPECT_TRUE(input.GetRumble().empty());
}
