#pragma once
// The game pad's state as the engine sees it, in the layout of the pad API the
// game was written against: a packet number that changes whenever any field
// changes, button bits, triggers 0..255 and thumb axes -32768..32767 with up
// positive. "ControllerUpdate" hands listeners a pointer to the copy that
// Input keeps; it is valid during the send only.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec2.h"

namespace Ostrel {

struct PadState {
    u32 packetNumber = 0;
    u16 buttons = 0;
    u8 leftTrigger = 0;
    u8 rightTrigger = 0;
    s16 thumbLX = 0;
    s16 thumbLY = 0;
    s16 thumbRX = 0;
    s16 thumbRY = 0;

    bool SameInputAs(const PadState& other) const {
        return buttons == other.buttons && leftTrigger == other.leftTrigger &&
               rightTrigger == other.rightTrigger && thumbLX == other.thumbLX &&
               thumbLY == other.thumbLY && thumbRX == other.thumbRX && thumbRY == other.thumbRY;
    }
};

// Button bits of PadState::buttons; 0x0400 and 0x0800 are unused.
namespace PadButton {
constexpr u16 kDpadUp = 0x0001;
constexpr u16 kDpadDown = 0x0002;
constexpr u16 kDpadLeft = 0x0004;
constexpr u16 kDpadRight = 0x0008;
constexpr u16 kStart = 0x0010;
constexpr u16 kBack = 0x0020;
constexpr u16 kLeftThumb = 0x0040;
constexpr u16 kRightThumb = 0x0080;
constexpr u16 kLeftShoulder = 0x0100;
constexpr u16 kRightShoulder = 0x0200;
constexpr u16 kA = 0x1000;
constexpr u16 kB = 0x2000;
constexpr u16 kX = 0x4000;
constexpr u16 kY = 0x8000;
}  // namespace PadButton

// A trigger counts as pressed above this value.
constexpr u8 kTriggerThreshold = 30;

struct ControllerData {
    // Stick positions in stick units (raw axis values times the dead-zone factor).
    Vec2 rightStick;
    Vec2 leftStick;
    PadState state;
    // The packet number of the state last turned into messages.
    u32 lastPacket = 0;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ControllerData);
