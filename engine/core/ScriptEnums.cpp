#include "engine/core/ScriptEnums.h"

#include "engine/core/Reflect.h"
#include "engine/core/ScriptEnumTables.h"

namespace {

// Copies the value table scripts see (ScriptEnumTables) into the meta class.
void CopyScriptTable(Ostrel::MetaClass& meta) {
    const Ostrel::ScriptEnumTable* table = Ostrel::FindScriptEnumTable(meta.GetName());
    if (table == nullptr) {
        return;
    }
    std::vector<Ostrel::EnumValue> values;
    values.reserve(table->values.size());
    for (const Ostrel::ScriptEnumValue& value : table->values) {
        values.push_back({value.name, value.value});
    }
    meta.SetEnumValues(std::move(values));
}

}  // namespace

LV_REFLECT_ENUM(Ostrel::BarDirection, CopyScriptTable);
LV_REFLECT_ENUM(Ostrel::UiSceneChangeMethod, CopyScriptTable);
LV_REFLECT_ENUM(Ostrel::UiDirection, CopyScriptTable);
LV_REFLECT_ENUM(Ostrel::FontAlignment, CopyScriptTable);
LV_REFLECT_ENUM(Ostrel::UiKey, CopyScriptTable);
