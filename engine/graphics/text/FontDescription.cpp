#include "engine/graphics/text/FontDescription.h"

#include "engine/core/Reflect.h"
#include "engine/core/ScriptTable.h"

#include <tuple>

namespace Ostrel {

bool FontDescription::operator<(const FontDescription& other) const {
    return std::tie(height, width, italic, weight, name) <
           std::tie(other.height, other.width, other.italic, other.weight, other.name);
}

bool FontDescription::operator==(const FontDescription& other) const {
    return std::tie(height, width, italic, weight, name) ==
           std::tie(other.height, other.width, other.italic, other.weight, other.name);
}

void FontDescription::FromTable(const ScriptTable& table) {
    if (auto v = table.Integer("height")) height = *v;
    if (auto v = table.Integer("width")) width = *v;
    if (auto v = table.Boolean("italic")) italic = *v;
    if (auto v = table.Text("name")) name = *v;
    if (auto v = table.Boolean("bold")) weight = *v ? kBoldWeight : 0;
}

namespace {

// The one reflected type that reads itself from a script table.
template <class T>
struct FontDescriptionScriptOps {
    static void ToScript(const void*) {}
    static void FromScript(void* value) {
        if (const ScriptTable* table = ScriptTable::Top()) static_cast<T*>(value)->FromTable(*table);
    }
};

using FontDescriptionMeta =
    MetaClassGeneric<FontDescription, IdOpsDefault<FontDescription>, MemOpsDefault<FontDescription, kMemAll>,
                     DataOpsNop<FontDescription>, FontDescriptionScriptOps<FontDescription>>;

void RegisterFontDescription(MetaClass& meta) {
    meta.AddField("height", MakeField(&FontDescription::SetHeight, &FontDescription::GetHeight));
    meta.AddField("width", MakeField(&FontDescription::SetWidth, &FontDescription::GetWidth));
    meta.AddField("italic", MakeField(&FontDescription::SetItalic, &FontDescription::GetItalic));
    meta.AddField("name", MakeField(&FontDescription::SetName, &FontDescription::GetName));
    meta.AddField("weight", MakeField(&FontDescription::SetWeight, &FontDescription::GetWeight));
}

}  // namespace

}  // namespace Ostrel

LV_REFLECT_WITH_META(Ostrel::FontDescription, Ostrel::FontDescriptionMeta, "FontDescription",
                     Ostrel::RegisterFontDescription);
