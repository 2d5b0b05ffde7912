// Script bindings of the element base and the image elements.

#include "engine/core/Reflect.h"
#include "engine/script/ScriptValues.h"
#include "engine/ui/UiButton.h"
#include "engine/ui/UiImage.h"
#include "engine/ui/UiScriptClasses.h"
#include "engine/ui/UiScrollGroup.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiToggleImage.h"

namespace Ostrel {

namespace {

const ScriptLiveness* ElementLiveness(void* object) {
    return &static_cast<UiElementBase*>(object)->Ownership();
}

UiElementBase& Element(lua_State* L) {
    return ScriptArgs(L).Self<UiElementBase>(kUiElementBaseScript);
}

// The numeric setters: element:Set...(number), checked.
template <void (UiElement::*Set)(float)>
int SetNumber(lua_State* L) {
    UiElementBase& element = Element(L);
    (element.*Set)(CheckScriptNumber(L, 2));
    return 0;
}

int SetName(lua_State* L) {
    UiElementBase& element = Element(L);
    element.SetName(CheckScriptText(L, 2));
    return 0;
}

int GetName(lua_State* L) {
    PushScriptText(L, Element(L).GetName());
    return 1;
}

int SetX(lua_State* L) {
    UiElementBase& element = Element(L);
    element.SetX(CheckScriptNumber(L, 2));
    return 0;
}

int SetY(lua_State* L) {
    UiElementBase& element = Element(L);
    element.SetY(CheckScriptNumber(L, 2));
    return 0;
}

int SetColor(lua_State* L) {
    ScriptArgs args(L);
    UiElementBase& element = args.Self<UiElementBase>(kUiElementBaseScript);
    args.CheckTable(2);
    // Red, green and blue must be numbers, read in order so that an error
    // names the first bad entry; a missing alpha reads 0.
    const float red = args.TableNumber(2, 1);
    const float green = args.TableNumber(2, 2);
    const float blue = args.TableNumber(2, 3);
    element.SetColor(Vec4(red, green, blue, args.TableNumber(2, 4, 0.0f)));
    return 0;
}

int AddHandler(lua_State* L) {
    AddHandlerFromScript(L, Element(L));
    return 0;
}

int SetVisible(lua_State* L) {
    ScriptArgs args(L);
    args.Self<UiElementBase>(kUiElementBaseScript).SetVisible(args.Flag(2));
    return 0;
}

int GetHeight(lua_State* L) {
    PushScriptNumber(L, Element(L).GetHeight());
    return 1;
}

constexpr ScriptMethod kElementMethods[] = {
    {"SetName", &SetName},
    {"GetName", &GetName},
    {"SetScale", &SetNumber<&UiElement::SetScale>},
    {"SetScaleX", &SetNumber<&UiElement::SetScaleX>},
    {"SetScaleY", &SetNumber<&UiElement::SetScaleY>},
    {"SetWidth", &SetNumber<&UiElement::SetWidth>},
    {"SetHeight", &SetNumber<&UiElement::SetHeight>},
    {"SetTop", &SetNumber<&UiElement::SetTop>},
    {"SetLeft", &SetNumber<&UiElement::SetLeft>},
    {"SetX", &SetX},
    {"SetY", &SetY},
    {"SetRotation", &SetNumber<&UiElement::SetRotation>},
    {"SetRotationDeg", &SetNumber<&UiElement::SetRotationDeg>},
    {"SetColor", &SetColor},
    {"AddHandler", &AddHandler},
    {"SetRotationVelocity", &SetNumber<&UiElement::SetRotationVelocity>},
    {"SetVisible", &SetVisible},
    {"GetHeight", &GetHeight},
    {"SetAlpha", &SetNumber<&UiElement::SetAlpha>},
};

int ImageSetTexture(lua_State* L) {
    UiImage& image = ScriptArgs(L).Self<UiImage>(kUiImageScript);
    image.SetTexture(CheckScriptText(L, 2));
    return 0;
}

int ToggleAddTexture(lua_State* L) {
    UiToggleImage& image = ScriptArgs(L).Self<UiToggleImage>(kUiToggleImageScript);
    image.AddTexture(CheckScriptText(L, 2));
    return 0;
}

int ToggleSetCurrentTexture(lua_State* L) {
    ScriptArgs args(L);
    UiToggleImage& image = args.Self<UiToggleImage>(kUiToggleImageScript);
    image.SetCurrentTexture(args.CheckInteger(2));
    return 0;
}

int ButtonSetTexture(lua_State* L) {
    UiButton& button = ScriptArgs(L).Self<UiButton>(kUiButtonScript);
    button.SetTexture(CheckScriptText(L, 2));
    return 0;
}

int ButtonSetDebug(lua_State* L) {
    ScriptArgs args(L);
    args.Self<UiButton>(kUiButtonScript).SetDebug(args.Flag(2));
    return 0;
}

// The element belongs to the group from then on. A group cannot take
// itself or a group that holds it (the chain of parents would loop), nor
// nest groups deeper than the limit.
int GroupAddElement(lua_State* L) {
    ScriptArgs args(L);
    UiScrollGroup& group = args.Self<UiScrollGroup>(kUiScrollGroupScript);
    auto& element = args.Object<UiElementBase>(2, kUiElementBaseScript);
    std::string why;
    if (!group.CanHold(element, why)) args.Error("UiScrollGroup:AddElement: " + why);
    ClaimForOwner(L, element.Ownership(), "element");
    group.AddElement(std::unique_ptr<UiElementBase>(&element));
    return 0;
}

int GroupSetScrollRate(lua_State* L) {
    UiScrollGroup& group = ScriptArgs(L).Self<UiScrollGroup>(kUiScrollGroupScript);
    group.SetScrollRate(CheckScriptNumber(L, 2));
    return 0;
}

constexpr ScriptMethod kGroupMethods[] = {{"AddElement", &GroupAddElement}, {"SetScrollRate", &GroupSetScrollRate}};
constexpr ScriptMethod kImageMethods[] = {{"SetTexture", &ImageSetTexture}};
constexpr ScriptMethod kToggleMethods[] = {{"AddTexture", &ToggleAddTexture},
                                           {"SetCurrentTexture", &ToggleSetCurrentTexture}};
constexpr ScriptMethod kButtonMethods[] = {{"SetTexture", &ButtonSetTexture}, {"SetDebug", &ButtonSetDebug}};

}  // namespace

const ScriptClass kUiElementBaseScript{"UiElementBase",
                                       "missing uielementbase instance",
                                       kElementMethods,
                                       ScriptClass::kNotCreatable,
                                       nullptr,
                                       "Ostrel.",
                                       nullptr,
                                       &ElementLiveness};
const ScriptClass kUiImageScript{"UiImage", "missing uiimage instance", kImageMethods, ScriptClass::kCreatable,
                                 "UiElementBase"};
const ScriptClass kUiToggleImageScript{"UiToggleImage", "missing uitoggleimage instance", kToggleMethods,
                                       ScriptClass::kCreatable, "UiElementBase"};
const ScriptClass kUiSolidScript{"UiSolid", "missing uisolid instance", {}, ScriptClass::kCreatable, "UiElementBase"};
const ScriptClass kUiScrollGroupScript{"UiScrollGroup", "missing uiscrollgroup instance", kGroupMethods,
                                       ScriptClass::kCreatable, "UiElementBase"};
const ScriptClass kUiButtonScript{"UiButton", "missing uibutton instance", kButtonMethods, ScriptClass::kCreatable,
                                  "UiElementBase"};

}  // namespace Ostrel

LV_REFLECT_OPAQUE(Ostrel::UiElementBase,
                  [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiElementBaseScript); });
LV_REFLECT_CLASS(Ostrel::UiImage, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiImageScript); });
LV_REFLECT_CLASS(Ostrel::UiToggleImage,
                 [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiToggleImageScript); });
LV_REFLECT_CLASS(Ostrel::UiSolid, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiSolidScript); });
LV_REFLECT_CLASS(Ostrel::UiButton, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiButtonScript); });
LV_REFLECT_CLASS(Ostrel::UiScrollGroup,
                 [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Ostrel::kUiScrollGroupScript); });
