#pragma once
// Input: keyboard, mouse and game pad turned into engine messages.
//
// Every state change of a key, mouse button or pad button goes through one
// table of 275 key states indexed by code (see VirtualKeys.h). A change first
// offers a synthesised "WindowMessage" to listeners; unless one of them sets
// its handled flag, "KeyTriggered"(code, pressed) follows. Setting a key to
// the state it already has (auto-repeat) sends nothing. Keyboard and mouse
// packets arrive from the window system's event pump (OnRawKeyboard,
// OnRawMouse, OnMouseMove), so their messages go out before Input's own
// Update in the same frame. Update polls the pad (its "KeyTriggered"s come
// before its "ControllerUpdate"), drives the vibration motors from the timed
// "AddVibrate" requests, and at the end advances every key state.
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/platform/ControllerData.h"
#include "engine/platform/DeviceParams.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/platform/VirtualKeys.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class PadSource;
class PlatformMessages;

struct KeyState {
    bool changed = false;  // set by Set, cleared by the next end-of-frame advance
    bool down = false;
    bool wasDown = false;  // state before the last change, or the previous frame's
    int code = 0;

    // Records a change made this frame (no message: Input sends those).
    void Set(bool isDown) {
        wasDown = down;
        down = isDown;
        changed = true;
    }
    // The end-of-frame advance for a key that did not change.
    void Update(bool isDown) {
        wasDown = down;
        down = isDown;
    }
    bool IsHeld() const { return down && wasDown; }
};

// A keyboard packet: the generic virtual key and whether it was released.
struct RawKeyboardPacket {
    int virtualKey = 0;
    bool released = false;
};

// A mouse packet: relative motion plus button transitions and the wheel.
struct RawMousePacket {
    static constexpr u16 kLeftDown = 0x0001;
    static constexpr u16 kLeftUp = 0x0002;
    static constexpr u16 kRightDown = 0x0004;
    static constexpr u16 kRightUp = 0x0008;
    static constexpr u16 kWheel = 0x0400;

    bool relative = true;  // absolute packets give no motion messages
    int lastX = 0;
    int lastY = 0;
    u16 buttonFlags = 0;
    s16 buttonData = 0;  // wheel delta, a multiple of 120
};

struct RumbleEntry {
    u16 leftMotor = 0;
    u16 rightMotor = 0;
    f32 secondsLeft = 0.0f;
};

class Input : public System {
public:
    static constexpr u32 kId = 2;

    Input();
    ~Input() override;

    std::string GetName() const override { return "Input"; }
    u32 GetId() const override { return kId; }

    // Reads "Debug": when set, a listener of "KeyTriggered" logs every key
    // message it receives ("Input: KeyTriggered(65, 1)"), which shows in the
    // log that keys travel all the way to listeners.
    void LoadConfig(Serializer* config) override;
    // Start of the run: becomes the current Input and subscribes "DeviceChange",
    // "AddVibrate" and "GameInactive".
    void Initialize() override;
    // Once per frame: first call looks for pads; pad poll and rumble; key advance.
    void Update(f32 dt) override;
    // End of the run: unsubscribes, stops the motors.
    void Shutdown() override;

    // The Input of the running engine, or null (set by Initialize).
    static Input* Current();

    void SetWindow(const DeviceParams& params) { m_window = params.window; }

    void OnRawKeyboard(const RawKeyboardPacket& packet);
    void OnRawMouse(const RawMousePacket& packet);
    // The cursor position in client coordinates (the window's mouse-move case).
    void OnMouseMove(int x, int y);
    void GetCursorPosition(int& x, int& y) const {
        x = m_cursorX;
        y = m_cursorY;
    }

    // Message handlers.
    void OnDeviceChange();
    void OnAddVibrate(f32 seconds, short left, short right);
    void OnGameInactive();
    void OnDebugKeyTriggered(int code, bool pressed);

    // Changes key code to down, sending the messages of a change.
    void SetKey(int code, bool down);
    const KeyState& GetKey(int code) const { return m_keys[static_cast<size_t>(code)]; }
    const ControllerData& GetController() const { return m_controller; }
    const std::vector<RumbleEntry>& GetRumble() const { return m_rumble; }
    int GetPadIndex() const { return m_padIndex; }
    int GetMouseDeltaX() const { return m_mouseDeltaX; }
    int GetMouseDeltaY() const { return m_mouseDeltaY; }

    // Seams: where messages go (default: the engine's core system) and where
    // the pad is read from (default: SDL game controllers). Not owned.
    void SetMessages(PlatformMessages& messages) { m_messages = &messages; }
    void SetPadSource(PadSource& pads) { m_pads = &pads; }

private:
    bool SendWindowMessage(int code, bool down);
    void PollPad();
    void UpdateRumble(f32 dt);
    void AdvanceKeys();
    PadSource& Pads();

    std::vector<RumbleEntry> m_rumble;
    void* m_window = nullptr;
    std::array<KeyState, Vk::kKeyCount> m_keys;
    ControllerData m_controller;
    int m_cursorX = -1;
    int m_cursorY = -1;
    int m_mouseDeltaX = -1;
    int m_mouseDeltaY = -1;
    int m_padIndex = -1;
    bool m_padScanned = false;
    bool m_debug = false;
    SubscriptionList m_subscriptions;
    PlatformMessages* m_messages;
    PadSource* m_pads = nullptr;
    std::unique_ptr<PadSource> m_ownedPads;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::Input);
