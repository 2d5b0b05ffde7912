#pragma once
// Key codes of the engine. Everything above the platform layer (scripts, data,
// listeners of "KeyTriggered") speaks Windows virtual-key codes: letters and
// digits are their upper-case ASCII codes, 1 and 2 are the left and right
// mouse buttons, 255..274 are the game pad. The layer maps SDL scancodes to
// these codes by position on the keyboard, so the numeric keypad is always
// NUMPAD0..9 and both Shift, Ctrl and Alt keys give the generic 16, 17, 18
// (never the left/right variants 160..165).

#include <string_view>

namespace Ostrel {

namespace Vk {
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kBack = 8;
constexpr int kTab = 9;
constexpr int kReturn = 13;
constexpr int kShift = 16;
constexpr int kControl = 17;
constexpr int kMenu = 18;  // Alt
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kF1 = 112;
constexpr int kF10 = 121;
constexpr int kNumpad0 = 96;
constexpr int kLeftShift = 160;
constexpr int kLeftControl = 162;
constexpr int kLeftMenu = 164;
constexpr int kSemicolon = 186;  // ';' on a US layout
constexpr int kTilde = 192;      // '`' and '~'
constexpr int kLeftBracket = 219;
constexpr int kRightBracket = 221;
// Letters and digits are their upper-case ASCII codes: 'X', '0'.
// The highest keyboard code; codes from kFirstPad on belong to the pad.
constexpr int kLastKeyboard = 254;
constexpr int kFirstPad = 255;
constexpr int kLastPad = 274;
constexpr int kKeyCount = 275;
// The pad's buttons, in the order of the script key-table names.
constexpr int kPadDpadUp = 255;
constexpr int kPadDpadDown = 256;
constexpr int kPadDpadLeft = 257;
constexpr int kPadDpadRight = 258;
constexpr int kPadAnalogUp = 259;
constexpr int kPadAnalogDown = 260;
constexpr int kPadAnalogLeft = 261;
constexpr int kPadAnalogRight = 262;
constexpr int kPadStart = 263;
constexpr int kPadBack = 264;
constexpr int kPadLeftThumb = 265;
constexpr int kPadRightThumb = 266;
constexpr int kPadLeftShoulder = 267;
constexpr int kPadRightShoulder = 268;
constexpr int kPadLeftTrigger = 269;
constexpr int kPadRightTrigger = 270;
constexpr int kPadA = 271;
constexpr int kPadB = 272;
constexpr int kPadX = 273;
constexpr int kPadY = 274;
}  // namespace Vk

// The virtual-key code of an SDL scancode (SDL_Scancode value), or 0 when the
// key has none (media keys and the like are not reported).
int VirtualKeyFromScancode(int scancode);

// A scancode that produces vk (the first in scancode order, so 16 gives the
// left Shift), or 0 when no key produces it. Used to inject scripted keys.
int ScancodeFromVirtualKey(int vk);

// The pad code (255..274) of a script key-table name such as "GAMEPAD_A", or 0.
int PadCodeFromName(std::string_view name);

}  // namespace Ostrel
