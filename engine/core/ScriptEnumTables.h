#pragma once
// The enumeration tables scripts see: each maps the value names of one
// enumeration to their integers. The scripting layer builds one script table
// per enumeration from these (named after the enumeration, e.g. UiKey.ESCAPE
// is 27). UiKey holds the key codes of the engine (see VirtualKeys.h) under
// their virtual-key names, followed by the twenty pad codes 255..274; it has
// no letters and no digits (scripts use the character codes for those).
// SoundFamily and TutorialSceneInput are enumerations without a table.

#include <span>
#include <string_view>

namespace Ostrel {

struct ScriptEnumValue {
    const char* name;
    int value;
};

struct ScriptEnumTable {
    const char* name;
    std::span<const ScriptEnumValue> values;
};

// BarDirection, UiSceneChangeMethod, UiDirection, FontAlignment, UiKey.
std::span<const ScriptEnumTable> ScriptEnumTables();
// The table of that enumeration, or null.
const ScriptEnumTable* FindScriptEnumTable(std::string_view name);

}  // namespace Ostrel
