#include "engine/core/ScriptEnumTables.h"

namespace Ostrel {

namespace {

constexpr ScriptEnumValue kBarDirection[] = {{"Left", 0}, {"Right", 1}};
constexpr ScriptEnumValue kUiSceneChangeMethod[] = {{"Replace", 0}, {"Push", 1}, {"Pop", 2}, {"Goto", 3}};
constexpr ScriptEnumValue kUiDirection[] = {{"None", 0}, {"Up", 1}, {"Right", 2}, {"Down", 3}, {"Left", 4}};
constexpr ScriptEnumValue kFontAlignment[] = {{"Left", 0}, {"Right", 1}, {"Center", 2}};
constexpr ScriptEnumValue kUiKey[] = {
    {"LBUTTON", 1}, {"RBUTTON", 2}, {"CANCEL", 3}, {"MBUTTON", 4}, {"BACK", 8}, {"TAB", 9},
    {"CLEAR", 12}, {"RETURN", 13}, {"SHIFT", 16}, {"CONTROL", 17}, {"MENU", 18}, {"PAUSE", 19},
    {"CAPITAL", 20}, {"ESCAPE", 27}, {"SPACE", 32}, {"PRIOR", 33}, {"NEXT", 34}, {"END", 35},
    {"HOME", 36}, {"LEFT", 37}, {"UP", 38}, {"RIGHT", 39}, {"DOWN", 40}, {"SELECT", 41},
    {"PRINT", 42}, {"EXECUTE", 43}, {"SNAPSHOT", 44}, {"INSERT", 45}, {"DELETE", 46}, {"HELP", 47},
    {"0", 48}, {"1", 49}, {"2", 50}, {"3", 51}, {"4", 52}, {"5", 53}, {"6", 54}, {"7", 55}, {"8", 56}, {"9", 57},
    {"A", 65}, {"B", 66}, {"C", 67}, {"D", 68}, {"E", 69}, {"F", 70}, {"G", 71}, {"H", 72}, {"I", 73}, {"J", 74}, {"K", 75}, {"L", 76}, {"M", 77}, {"N", 78}, {"O", 79}, {"P", 80}, {"Q", 81}, {"R", 82}, {"S", 83}, {"T", 84}, {"U", 85}, {"V", 86}, {"W", 87}, {"X", 88}, {"Y", 89}, {"Z", 90},
    {"LWIN", 91}, {"RWIN", 92}, {"APPS", 93}, {"NUMPAD0", 96}, {"NUMPAD1", 97}, {"NUMPAD2", 98},
    {"NUMPAD3", 99}, {"NUMPAD4", 100}, {"NUMPAD5", 101}, {"NUMPAD6", 102}, {"NUMPAD7", 103},
    {"NUMPAD8", 104}, {"NUMPAD9", 105}, {"MULTIPLY", 106}, {"ADD", 107}, {"SEPARATOR", 108},
    {"SUBTRACT", 109}, {"DECIMAL", 110}, {"DIVIDE", 111}, {"F1", 112}, {"F2", 113}, {"F3", 114},
    {"F4", 115}, {"F5", 116}, {"F6", 117}, {"F7", 118}, {"F8", 119}, {"F9", 120}, {"F10", 121},
    {"F11", 122}, {"F12", 123}, {"F13", 124}, {"F14", 125}, {"F15", 126}, {"F16", 127},
    {"F17", 128}, {"F18", 129}, {"F19", 130}, {"F20", 131}, {"F21", 132}, {"F22", 133},
    {"F23", 134}, {"F24", 135}, {"NUMLOCK", 144}, {"SCROLL", 145}, {"LSHIFT", 160},
    {"RSHIFT", 161}, {"LCONTROL", 162}, {"RCONTROL", 163}, {"LMENU", 164}, {"RMENU", 165},
    {"SEMI", 186}, {"PLUS", 187}, {"COMMA", 188}, {"MINUS", 189}, {"PERIOD", 190},
    {"QUESTION", 191}, {"TILDE", 192}, {"LBRACKET", 219}, {"PIPE", 220}, {"RBRACKET", 221},
    {"DQUOTE", 222}, {"GAMEPAD_DPAD_UP", 255}, {"GAMEPAD_DPAD_DOWN", 256},
    {"GAMEPAD_DPAD_LEFT", 257}, {"GAMEPAD_DPAD_RIGHT", 258}, {"GAMEPAD_ANALOG_UP", 259},
    {"GAMEPAD_ANALOG_DOWN", 260}, {"GAMEPAD_ANALOG_LEFT", 261}, {"GAMEPAD_ANALOG_RIGHT", 262},
    {"GAMEPAD_START", 263}, {"GAMEPAD_BACK", 264}, {"GAMEPAD_LEFT_THUMB", 265},
    {"GAMEPAD_RIGHT_THUMB", 266}, {"GAMEPAD_LEFT_SHOULDER", 267}, {"GAMEPAD_RIGHT_SHOULDER", 268},
    {"GAMEPAD_LEFT_TRIGGER", 269}, {"GAMEPAD_RIGHT_TRIGGER", 270}, {"GAMEPAD_A", 271},
    {"GAMEPAD_B", 272}, {"GAMEPAD_X", 273}, {"GAMEPAD_Y", 274},
};

constexpr ScriptEnumTable kTables[] = {
    {"BarDirection", kBarDirection},
    {"UiSceneChangeMethod", kUiSceneChangeMethod},
    {"UiDirection", kUiDirection},
    {"FontAlignment", kFontAlignment},
    {"UiKey", kUiKey},
};

}  // namespace

std::span<const ScriptEnumTable> ScriptEnumTables() { return kTables; }

const ScriptEnumTable* FindScriptEnumTable(std::string_view name) {
    for (const ScriptEnumTable& table : kTables)
        if (name == table.name) return &table;
    return nullptr;
}

}  // namespace Ostrel
