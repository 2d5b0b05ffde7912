#pragma once
// The enumeration tables scripts see: each maps the value names of one
// enumeration to their integers. The scripting layer builds one script table
// per enumeration from these (named after the enumeration, e.g. UiKey.ESCAPE
// is 27). UiKey holds the 148 key codes of the engine (see VirtualKeys.h)
// under their virtual-key names, the digits "0".."9" and letters "A".."Z"
// under themselves, followed by the twenty pad codes 255..274, in that order.
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
