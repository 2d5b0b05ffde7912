#include "engine/core/ScriptEnumTables.h"

#include "engine/platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace Ostrel {
namespace {

int ValueOf(const char* table, const char* name) {
    const ScriptEnumTable* found = FindScriptEnumTable(table);
    if (!found) return -1;
    for (const ScriptEnumValue& value : found->values)
        if (std::string(value.name) == name) return value.value;
    return -1;
}

TEST(ScriptEnumTables, UiKeyHasTheTellingRowsAndNoDuplicates) {
    const ScriptEnumTable* keys = FindScriptEnumTable("UiKey");
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->values.size(), 148u);
    const std::pair<const char*, int> telling[] = {
        {"LBUTTON", 1},    {"BACK", 8},       {"RETURN", 13},  {"ESCAPE", 27},        {"SPACE", 32},
        {"HOME", 36},      {"LEFT", 37},      {"UP", 38},      {"RIGHT", 39},         {"DOWN", 40},
        {"NUMPAD0", 96},   {"F1", 112},       {"F24", 135},    {"NUMLOCK", 144},      {"LSHIFT", 160},
        {"RMENU", 165},    {"SEMI", 186},     {"PLUS", 187},   {"COMMA", 188},        {"MINUS", 189},
        {"PERIOD", 190},   {"QUESTION", 191}, {"TILDE", 192},  {"LBRACKET", 219},     {"PIPE", 220},
        {"RBRACKET", 221}, {"DQUOTE", 222},   {"GAMEPAD_DPAD_UP", 255}, {"GAMEPAD_START", 263},
        {"GAMEPAD_A", 271}, {"GAMEPAD_Y", 274},
    };
    for (auto [name, value] : telling) EXPECT_EQ(ValueOf("UiKey", name), value) << name;
    std::set<std::string> names;
    for (const ScriptEnumValue& value : keys->values) EXPECT_TRUE(names.insert(value.name).second) << value.name;
    // The pad rows agree with the input layer's own names.
    for (const ScriptEnumValue& value : keys->values) {
        if (value.value >= Vk::kFirstPad) {
            EXPECT_EQ(PadCodeFromName(value.name), value.value) << value.name;
        }
    }
}

TEST(ScriptEnumTables, UiEnumerationsAndUnknownNames) {
    EXPECT_EQ(ValueOf("BarDirection", "Right"), 1);
    EXPECT_EQ(ValueOf("UiSceneChangeMethod", "Goto"), 3);
    EXPECT_EQ(ValueOf("UiDirection", "Left"), 4);
    EXPECT_EQ(ValueOf("FontAlignment", "Center"), 2);
    EXPECT_EQ(ScriptEnumTables().size(), 5u);
    EXPECT_EQ(FindScriptEnumTable("SoundFamily"), nullptr);  // no table
    EXPECT_EQ(FindScriptEnumTable("uikey"), nullptr);        // names are case-sensitive
}

}  // namespace
}  // namespace Ostrel
