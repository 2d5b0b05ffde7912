#include "engine/platform/VirtualKeys.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

using namespace Ostrel;

TEST(VirtualKeys, ScancodesMapToWindowsVirtualKeyCodes) {
    struct Case {
        int scancode;
        int vk;
    };
    const Case cases[] = {
        {SDL_SCANCODE_A, 'A'},        {SDL_SCANCODE_Z, 'Z'},          {SDL_SCANCODE_1, '1'},
        {SDL_SCANCODE_0, '0'},        {SDL_SCANCODE_F1, 112},         {SDL_SCANCODE_F12, 123},
        {SDL_SCANCODE_F24, 135},      {SDL_SCANCODE_KP_0, 96},        {SDL_SCANCODE_KP_1, 97},
        {SDL_SCANCODE_KP_9, 105},     {SDL_SCANCODE_KP_ENTER, 13},    {SDL_SCANCODE_RETURN, 13},
        {SDL_SCANCODE_SEMICOLON, 186}, {SDL_SCANCODE_EQUALS, 187},    {SDL_SCANCODE_COMMA, 188},
        {SDL_SCANCODE_MINUS, 189},    {SDL_SCANCODE_PERIOD, 190},     {SDL_SCANCODE_SLASH, 191},
        {SDL_SCANCODE_GRAVE, 192},    {SDL_SCANCODE_LEFTBRACKET, 219}, {SDL_SCANCODE_BACKSLASH, 220},
        {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222}, {SDL_SCANCODE_LEFT, 37},
        {SDL_SCANCODE_UP, 38},        {SDL_SCANCODE_RIGHT, 39},       {SDL_SCANCODE_DOWN, 40},
        {SDL_SCANCODE_ESCAPE, 27},    {SDL_SCANCODE_SPACE, 32},       {SDL_SCANCODE_BACKSPACE, 8},
        {SDL_SCANCODE_TAB, 9},        {SDL_SCANCODE_INSERT, 45},      {SDL_SCANCODE_DELETE, 46},
        {SDL_SCANCODE_PAGEUP, 33},    {SDL_SCANCODE_PAGEDOWN, 34},    {SDL_SCANCODE_END, 35},
        {SDL_SCANCODE_HOME, 36},      {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromScancode(c.scancode), c.vk) << c.scancode;
}

TEST(VirtualKeys, ModifiersGiveOnlyTheGenericCodes) {
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 16);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LCTRL), 17);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RCTRL), 17);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LALT), 18);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RALT), 18);
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const int vk = VirtualKeyFromScancode(scancode);
        EXPECT_FALSE(vk >= 160 && vk <= 165) << scancode;
        EXPECT_LE(vk, Vk::kLastKeyboard);
    }
    EXPECT_EQ(VirtualKeyFromScancode(-1), 0);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_NUM_SCANCODES), 0);
}

TEST(VirtualKeys, EveryMappedCodeHasAScancodeThatMapsBack) {
    for (int vk = 1; vk <= Vk::kLastKeyboard; ++vk) {
        const int scancode = ScancodeFromVirtualKey(vk);
        if (scancode != 0) {
            EXPECT_EQ(VirtualKeyFromScancode(scancode), vk) << vk;
        }
    }
    EXPECT_EQ(ScancodeFromVirtualKey(13), SDL_SCANCODE_RETURN);
    EXPECT_EQ(ScancodeFromVirtualKey(16), SDL_SCANCODE_LSHIFT);
    EXPECT_EQ(ScancodeFromVirtualKey(160), 0);
}

TEST(VirtualKeys, PadNamesOfTheScriptKeyTable) {
    EXPECT_EQ(PadCodeFromName("GAMEPAD_DPAD_UP"), 255);
    EXPECT_EQ(PadCodeFromName("GAMEPAD_START"), 263);
    EXPECT_EQ(PadCodeFromName("GAMEPAD_A"), 271);
    EXPECT_EQ(PadCodeFromName("GAMEPAD_Y"), 274);
    EXPECT_EQ(PadCodeFromName("gamepad_a"), 0);
}
