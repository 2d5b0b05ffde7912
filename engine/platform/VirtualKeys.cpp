#include "engine/platform/VirtualKeys.h"

#include <SDL_scancode.h>

#include <array>
#include <utility>

namespace Ostrel {

namespace {

struct ScancodeVk {
    int scancode;
    int vk;
};

// Keys that are not letters, digits or function keys. Order matters only for
// ScancodeFromVirtualKey: the first scancode of a code is the one injected.
constexpr ScancodeVk kNamedKeys[] = {
    {SDL_SCANCODE_RETURN, 13},       {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_BACKSPACE, 8},     {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_SPACE, 32},        {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_EQUALS, 187},      {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_NONUSHASH, 220},   {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_APOSTROPHE, 222},  {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_COMMA, 188},       {SDL_SCANCODE_PERIOD, 190},
    {SDL_SCANCODE_SLASH, 191},       {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_PRINTSCREEN, 44},  {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_PAUSE, 19},        {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_HOME, 36},         {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_DELETE, 46},       {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_PAGEDOWN, 34},     {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_LEFT, 37},         {SDL_SCANCODE_DOWN, 40},
    {SDL_SCANCODE_UP, 38},           {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_KP_DIVIDE, 111},   {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_MINUS, 109},    {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_ENTER, 13},     {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_COMMA, 108},    {SDL_SCANCODE_NONUSBACKSLASH, 226},
    {SDL_SCANCODE_APPLICATION, 93},  {SDL_SCANCODE_EXECUTE, 43},
    {SDL_SCANCODE_HELP, 47},         {SDL_SCANCODE_SELECT, 41},
    {SDL_SCANCODE_CLEAR, 12},        {SDL_SCANCODE_LSHIFT, 16},
    {SDL_SCANCODE_RSHIFT, 16},       {SDL_SCANCODE_LCTRL, 17},
    {SDL_SCANCODE_RCTRL, 17},        {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_RALT, 18},         {SDL_SCANCODE_LGUI, 91},
    {SDL_SCANCODE_RGUI, 92},
};

using Table = std::array<unsigned char, SDL_NUM_SCANCODES>;

Table BuildTable() {
    Table table{};
    for (int i = 0; i < 26; ++i) table[SDL_SCANCODE_A + i] = static_cast<unsigned char>('A' + i);
    // SDL orders the digit row 1..9, 0.
    for (int i = 0; i < 9; ++i) table[SDL_SCANCODE_1 + i] = static_cast<unsigned char>('1' + i);
    table[SDL_SCANCODE_0] = '0';
    for (int i = 0; i < 12; ++i) table[SDL_SCANCODE_F1 + i] = static_cast<unsigned char>(112 + i);
    for (int i = 0; i < 12; ++i) table[SDL_SCANCODE_F13 + i] = static_cast<unsigned char>(124 + i);
    // The keypad likewise runs 1..9, 0.
    for (int i = 0; i < 9; ++i) table[SDL_SCANCODE_KP_1 + i] = static_cast<unsigned char>(97 + i);
    table[SDL_SCANCODE_KP_0] = 96;
    for (const ScancodeVk& entry : kNamedKeys) table[entry.scancode] = static_cast<unsigned char>(entry.vk);
    return table;
}

const Table& ScancodeTable() {
    static const Table table = BuildTable();
    return table;
}

constexpr std::pair<std::string_view, int> kPadNames[] = {
    {"GAMEPAD_DPAD_UP", 255},       {"GAMEPAD_DPAD_DOWN", 256},     {"GAMEPAD_DPAD_LEFT", 257},
    {"GAMEPAD_DPAD_RIGHT", 258},    {"GAMEPAD_ANALOG_UP", 259},     {"GAMEPAD_ANALOG_DOWN", 260},
    {"GAMEPAD_ANALOG_LEFT", 261},   {"GAMEPAD_ANALOG_RIGHT", 262},  {"GAMEPAD_START", 263},
    {"GAMEPAD_BACK", 264},          {"GAMEPAD_LEFT_THUMB", 265},    {"GAMEPAD_RIGHT_THUMB", 266},
    {"GAMEPAD_LEFT_SHOULDER", 267}, {"GAMEPAD_RIGHT_SHOULDER", 268}, {"GAMEPAD_LEFT_TRIGGER", 269},
    {"GAMEPAD_RIGHT_TRIGGER", 270}, {"GAMEPAD_A", 271},             {"GAMEPAD_B", 272},
    {"GAMEPAD_X", 273},             {"GAMEPAD_Y", 274},
};

}  // namespace

int VirtualKeyFromScancode(int scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return ScancodeTable()[scancode];
}

int ScancodeFromVirtualKey(int vk) {
    if (vk <= 0 || vk > Vk::kLastKeyboard) return 0;
    const Table& table = ScancodeTable();
    // Named keys first so that 13 is the main Return key, not the keypad's.
    for (const ScancodeVk& entry : kNamedKeys) {
        if (entry.vk == vk) return entry.scancode;
    }
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (table[scancode] == vk) return scancode;
    }
    return 0;
}

int PadCodeFromName(std::string_view name) {
    for (const auto& [padName, code] : kPadNames) {
        if (padName == name) return code;
    }
    return 0;
}

}  // namespace Ostrel
