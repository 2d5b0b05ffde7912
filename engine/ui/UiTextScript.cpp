// Script bindings of the text elements.

#include "engine/core/Reflect.h"
#include "engine/script/ScriptValues.h"
#include "engine/ui/UiScriptClasses.h"
#include "engine/ui/UiText.h"

namespace Ostrel {

namespace {

// The font manager's font for a description; null without a font manager.
FontManager::FontHolder* FontFor(const FontDescription& description) {
    FontManager* fonts = FontManager::Instance();
    return fonts == nullptr ? nullptr : fonts->GetFont(description);
}

FontManager::FontHolder* FontFor(const std::string& name, int height, int weight) {
    FontDescription description;
    description.name = name;
    description.height = height;
    description.weight = weight;
    return FontFor(description);
}

// The font table at index read as a description (entries that are present).
FontDescription DescriptionAt(lua_State* L, int index) {
    ScriptArgs(L).CheckTable(index);
    FontDescription description;
    description.FromTable(LuaTableView(L, index));
    return description;
}

UiLabel& Label(lua_State* L) {
    return ScriptArgs(L).Self<UiLabel>(kUiLabelScript);
}

UiTextArea& Area(lua_State* L) {
    return ScriptArgs(L).Self<UiTextArea>(kUiTextAreaScript);
}

int LabelSetText(lua_State* L) {
    UiLabel& label = Label(L);
    label.SetText(CheckScriptText(L, 2));
    return 0;
}

int LabelSetFont(lua_State* L) {
    ScriptArgs args(L);
    UiLabel& label = args.Self<UiLabel>(kUiLabelScript);
    const std::string name = CheckScriptText(L, 2);
    label.SetFont(FontFor(name, args.CheckInteger(3), 0));
    return 0;
}

int LabelSetFont2(lua_State* L) {
    ScriptArgs args(L);
    UiLabel& label = args.Self<UiLabel>(kUiLabelScript);
    const std::string name = CheckScriptText(L, 2);
    const int height = args.CheckInteger(3);
    label.SetFont(FontFor(name, height, args.CheckInteger(4)));
    return 0;
}

// Only the name, height and weight of the table are used.
int LabelSetFontIndirect(lua_State* L) {
    UiLabel& label = Label(L);
    const FontDescription description = DescriptionAt(L, 2);
    label.SetFont(FontFor(description.name, description.height, description.weight));
    return 0;
}

int LabelSetAlignment(lua_State* L) {
    ScriptArgs args(L);
    args.Self<UiLabel>(kUiLabelScript).SetAlignment(args.CheckInteger(2));
    return 0;
}

int AreaSetText(lua_State* L) {
    UiTextArea& area = Area(L);
    area.SetText(CheckScriptText(L, 2));
    return 0;
}

int AreaSetFont(lua_State* L) {
    UiTextArea& area = Area(L);
    area.SetFont(FontFor(DescriptionAt(L, 2)));
    return 0;
}

int AreaSetAlignment(lua_State* L) {
    ScriptArgs args(L);
    args.Self<UiTextArea>(kUiTextAreaScript).SetAlignment(args.CheckInteger(2));
    return 0;
}

int AreaSetWrapWidth(lua_State* L) {
    UiTextArea& area = Area(L);
    area.SetWrapWidth(CheckScriptNumber(L, 2));
    return 0;
}

constexpr ScriptMethod kLabelMethods[] = {{"SetText", &LabelSetText},
                                          {"SetFont", &LabelSetFont},
                                          {"SetFont2", &LabelSetFont2},
                                          {"SetFontIndirect", &LabelSetFontIndirect},
                                          {"SetAlignment", &LabelSetAlignment}};
constexpr ScriptMethod kAreaMethods[] = {{"SetText", &AreaSetText},
                                         {"SetFont", &AreaSetFont},
                                         {"SetAlignment", &AreaSetAlignment},
                                         {"SetWrapWidth", &AreaSetWrapWidth}};

}  // namespace

const ScriptClass kUiLabelScript{"UiLabel", "missing uilabel instance", kLabelMethods, ScriptClass::kCreatable,
                                 "UiElementBase"};
const ScriptClass kUiTextAreaScript{"UiTextArea", "missing uitextarea instance", kAreaMethods,
                                    ScriptClass::kCreatable, "UiElementBase"};

}  // namespace Ostrel

LV_REFLECT_CLASS(Ostrel::UiLabel, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiLabelScript); });
LV_REFLECT_CLASS(Ostrel::UiTextArea,
                 [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiTextAreaScript); });
