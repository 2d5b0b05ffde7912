#include "engine/platform/Input.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/platform/PadDeadZones.h"
#include "engine/platform/PadSource.h"
#include "engine/platform/PlatformMessages.h"
#include "engine/platform/SdlPadSource.h"

#include <algorithm>

namespace Ostrel {

namespace {

Input* s_current = nullptr;

constexpr u16 kMotorMax = 65535;

long CursorLParam(int x, int y) {
    return long((u32(x) & 0xFFFFu) | ((u32(y) & 0xFFFFu) << 16));
}

// The pad keys in the order a poll sets them; 0 marks the two triggers.
struct PadKey {
    int code;
    u16 bit;
};
constexpr PadKey kPadKeys[] = {
    {255, PadButton::kDpadUp},       {256, PadButton::kDpadDown},
    {257, PadButton::kDpadLeft},     {258, PadButton::kDpadRight},
    {263, PadButton::kStart},        {264, PadButton::kBack},
    {265, PadButton::kLeftThumb},    {266, PadButton::kRightThumb},
    {267, PadButton::kLeftShoulder}, {268, PadButton::kRightShoulder},
    {269, 0},                        {270, 0},
    {271, PadButton::kA},            {272, PadButton::kB},
    {273, PadButton::kX},            {274, PadButton::kY},
};

// "AddVibrate" carries shorts; a negative value must not turn into a
// full-power u16, so it is clamped to 0.
u16 ClampMotor(int value) {
    return static_cast<u16>(std::clamp(value, 0, int(kMotorMax)));
}

}  // namespace

PlatformMessages& DefaultPlatformMessages();

Input::Input() : m_messages(&DefaultPlatformMessages()) {
    for (size_t i = 0; i < m_keys.size(); ++i) m_keys[i].code = int(i);
}

Input::~Input() {
    if (s_current == this) s_current = nullptr;
}

Input* Input::Current() {
    return s_current;
}

void Input::LoadConfig(Serializer* config) {
    if (config) config->SerializeBool("Debug", &m_debug);
}

void Input::Initialize() {
    s_current = this;
    m_subscriptions.Listen("DeviceChange", MakeDelegate(this, &Input::OnDeviceChange));
    m_subscriptions.Listen("AddVibrate", MakeDelegate(this, &Input::OnAddVibrate));
    m_subscriptions.Listen("GameInactive", MakeDelegate(this, &Input::OnGameInactive));
    if (m_debug) m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &Input::OnDebugKeyTriggered));
}

void Input::OnDebugKeyTriggered(int code, bool pressed) {
    LogMessagef("Input: KeyTriggered(%d, %d)\n", code, pressed ? 1 : 0);
}

void Input::Shutdown() {
    m_subscriptions.Clear();
    if (m_padIndex != -1) Pads().SetVibration(m_padIndex, 0, 0);
    m_rumble.clear();
    if (s_current == this) s_current = nullptr;
}

PadSource& Input::Pads() {
    if (!m_pads) {
        m_ownedPads = std::make_unique<SdlPadSource>();
        m_pads = m_ownedPads.get();
    }
    return *m_pads;
}

void Input::SetKey(int code, bool down) {
    if (code < 0 || code >= Vk::kKeyCount) return;
    KeyState& key = m_keys[static_cast<size_t>(code)];
    if (down != key.down) {
        const bool handled = SendWindowMessage(code, down);
        if (!handled) m_messages->KeyTriggered(code, down);
    }
    key.Set(down);
}

bool Input::SendWindowMessage(int code, bool down) {
    if (code == Vk::kLeftButton) {
        int x = 0;
        int y = 0;
        GetCursorPosition(x, y);
        const unsigned message = down ? WindowMessageId::kLButtonDown : WindowMessageId::kLButtonUp;
        return m_messages->WindowMessage(message, 1, CursorLParam(x, y));
    }
    const unsigned message = down ? WindowMessageId::kKeyDown : WindowMessageId::kKeyUp;
    return m_messages->WindowMessage(message, unsigned(code), down ? 0x4000 : 0xC000);
}

void Input::OnRawKeyboard(const RawKeyboardPacket& packet) {
    if (packet.virtualKey <= 0 || packet.virtualKey > Vk::kLastKeyboard) return;
    SetKey(packet.virtualKey, !packet.released);
}

void Input::OnRawMouse(const RawMousePacket& packet) {
    if (packet.relative) {
        m_mouseDeltaX = packet.lastX;
        m_mouseDeltaY = packet.lastY;
        const unsigned wParam = GetKey(Vk::kLeftButton).IsHeld() ? 1u : 0u;
        const bool handled = m_messages->WindowMessage(WindowMessageId::kMouseMove, wParam,
                                                       CursorLParam(m_cursorX, m_cursorY));
        if (!handled) m_messages->MouseMoved(1, packet.lastX, packet.lastY);
    }
    if (packet.buttonFlags & RawMousePacket::kWheel) {
        // Offered first to whoever draws over the game (the tools' panels
        // scroll with it), as the mouse's moves and clicks are.
        const unsigned wParam = unsigned(packet.buttonData) << 16;
        const bool handled =
            m_messages->WindowMessage(WindowMessageId::kMouseWheel, wParam, CursorLParam(m_cursorX, m_cursorY));
        if (!handled) m_messages->MouseWheel(packet.buttonData);
    }
    if (packet.buttonFlags & RawMousePacket::kLeftDown) {
        SetKey(Vk::kLeftButton, true);
    } else if (packet.buttonFlags & RawMousePacket::kLeftUp) {
        SetKey(Vk::kLeftButton, false);
    }
    if (packet.buttonFlags & RawMousePacket::kRightDown) {
        SetKey(Vk::kRightButton, true);
    } else if (packet.buttonFlags & RawMousePacket::kRightUp) {
        SetKey(Vk::kRightButton, false);
    }
}

void Input::OnMouseMove(int x, int y) {
    m_cursorX = x;
    m_cursorY = y;
    m_messages->MouseMoved(0, x, y);
}

void Input::Update(f32 dt) {
    if (!m_padScanned) {
        m_padScanned = true;
        OnDeviceChange();
    }
    if (m_padIndex != -1) {
        Pads().Refresh();
        if (Pads().GetState(m_padIndex, m_controller.state)) {
            PollPad();
            UpdateRumble(dt);
        }
    }
    AdvanceKeys();
}

void Input::OnDeviceChange() {
    const int old = m_padIndex;
    m_padIndex = -1;
    Pads().Refresh();
    for (int index = 0; index < PadSource::kMaxPads; ++index) {
        if (Pads().GetState(index, m_controller.state)) {
            m_padIndex = index;
            break;
        }
    }
    if (m_padIndex != old) m_messages->ControllerChanged(m_padIndex != -1);
}

void Input::PollPad() {
    const PadState& state = m_controller.state;
    if (state.packetNumber == m_controller.lastPacket) return;
    for (const PadKey& key : kPadKeys) {
        bool down = false;
        if (key.code == 269) {
            down = state.leftTrigger > kTriggerThreshold;
        } else if (key.code == 270) {
            down = state.rightTrigger > kTriggerThreshold;
        } else {
            down = (state.buttons & key.bit) != 0;
        }
        SetKey(key.code, down);
    }
    ApplyDeadZones(m_controller);
    m_controller.lastPacket = state.packetNumber;
    m_messages->ControllerUpdate(&m_controller);
}

void Input::UpdateRumble(f32 dt) {
    if (dt == 0.0f) {
        // Paused: motors off, the requests keep their remaining time.
        Pads().SetVibration(m_padIndex, 0, 0);
        return;
    }
    int left = 0;
    int right = 0;
    size_t i = 0;
    while (i < m_rumble.size()) {
        RumbleEntry& entry = m_rumble[i];
        entry.secondsLeft -= dt;
        if (entry.secondsLeft > 0.0f) {
            left = std::min(left + int(entry.leftMotor), int(kMotorMax));
            right = std::min(right + int(entry.rightMotor), int(kMotorMax));
            ++i;
        } else {
            // Swap-remove; the moved entry is processed at the same index.
            entry = m_rumble.back();
            m_rumble.pop_back();
        }
    }
    Pads().SetVibration(m_padIndex, u16(left), u16(right));
}

void Input::AdvanceKeys() {
    for (KeyState& key : m_keys) {
        if (key.changed) {
            key.changed = false;
        } else {
            key.Update(key.down);
        }
    }
}

void Input::OnAddVibrate(f32 seconds, short left, short right) {
    m_rumble.push_back({ClampMotor(left), ClampMotor(right), seconds});
}

void Input::OnGameInactive() {
    m_rumble.clear();
}

}  // namespace Ostrel
