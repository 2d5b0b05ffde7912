#pragma once
// The enumerations whose value tables scripts see (one script table per
// enumeration, named after it, mapping each value name to its integer; the
// tables are in ScriptEnumTables.h). Their meta classes carry the same tables
// (MetaClass::GetEnumValues), so a walk of the registry finds them.
//
// UiKey values are Windows virtual-key codes (the key contract of data and
// scripts), then 255..274 for the game pad; its named values are listed in
// the meta class's table only.

#include "engine/core/MetaClassOf.h"

namespace Ostrel {

enum class BarDirection : int { Left = 0, Right = 1 };

enum class UiSceneChangeMethod : int { Replace = 0, Push = 1, Pop = 2, Goto = 3 };

enum class UiDirection : int { None = 0, Up = 1, Right = 2, Down = 3, Left = 4 };

enum class FontAlignment : int { Left = 0, Right = 1, Center = 2 };

enum class UiKey : int {};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::BarDirection);
LV_DECLARE_META_CLASS(Ostrel::UiSceneChangeMethod);
LV_DECLARE_META_CLASS(Ostrel::UiDirection);
LV_DECLARE_META_CLASS(Ostrel::FontAlignment);
LV_DECLARE_META_CLASS(Ostrel::UiKey);
