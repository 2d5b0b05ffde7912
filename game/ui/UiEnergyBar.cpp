#include "game/ui/UiEnergyBar.h"

#include "engine/core/Reflect.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/script/ScriptBinding.h"
#include "engine/script/ScriptValues.h"
#include "engine/ui/UiDrawContext.h"
#include "engine/ui/UiImage.h"
#include "engine/ui/UiScriptClasses.h"

namespace Vandle {

using namespace Ostrel;

void UiEnergyBar::SetBorder(const std::string& textureName) {
    m_border = FindUiTexture(textureName, "UiEnergyBar");
}

void UiEnergyBar::SetBar(const std::string& textureName) {
    m_bar = FindUiTexture(textureName, "UiEnergyBar");
    if (m_bar == nullptr) return;
    SetWidth(m_bar->GetWidth());
    SetHeight(m_bar->GetHeight());
}

std::unique_ptr<UiElementBase> UiEnergyBar::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiEnergyBar(*this));
}

void UiEnergyBar::Draw(UiDrawContext& context) {
    context.SetTechnique("UiTech");
    const float left = GetLeft();
    const float top = GetTop();
    DrawBorder(context);
    // The context flushes once more after Draw: with no fill queued that
    // flush must not draw the border a second time.
    if (!QueueFill(context, left, top)) context.CancelDraw();
    SetScaleX(1.0f);
    SetLeft(left);
    SetTop(top);
}

void UiEnergyBar::DrawBorder(UiDrawContext& context) {
    if (m_border == nullptr) return;
    SetWidth(m_border->GetWidth());
    SetHeight(m_border->GetHeight());
    context.DrawQuad(*this);
    context.SetTexture(m_border);
    UseOwnColour(context);
    context.Flush();
}

bool UiEnergyBar::QueueFill(UiDrawContext& context, float left, float top) {
    if (m_bar == nullptr) return false;
    if (m_barAnchor != BarDirection::Left && m_barAnchor != BarDirection::Right) return false;
    const float w = m_bar->GetWidth();
    const float start = left + m_barOffset.x;
    // Right keeps the fill's right end at start + w.
    const float shift = m_barAnchor == BarDirection::Right ? (1.0f - m_percent) * w : 0.0f;
    SetWidth(w);
    SetHeight(m_bar->GetHeight());
    SetScaleX(m_percent);
    SetX(start + shift + (w / 2.0f) * m_percent);
    SetTop(top + m_barOffset.y);
    context.DrawQuad(*this);
    context.SetTexture(m_bar);
    UseOwnColour(context);
    return true;
}

void UiEnergyBar::UseOwnColour(UiDrawContext& context) const {
    const Vec4 colour = GetColor();
    context.SetColor(colour.x, colour.y, colour.z, colour.w);
}

namespace {

int SetBorder(lua_State* L);
int SetBar(lua_State* L);
int SetBarOffset(lua_State* L);
int SetBarAnchor(lua_State* L);
int SetPercent(lua_State* L);

constexpr ScriptMethod kBarMethods[] = {
    {"SetBorder", &SetBorder},       {"SetBar", &SetBar},         {"SetBarOffset", &SetBarOffset},
    {"SetBarAnchor", &SetBarAnchor}, {"SetPercent", &SetPercent},
};

}  // namespace

// Elements "new" makes are tracked by the element manager, not the Lua state.
const ScriptClass kUiEnergyBarScript{"UiEnergyBar", "missing uienergybar instance", kBarMethods,
                                     ScriptClass::kCreatable, "UiElementBase"};

namespace {

UiEnergyBar& Bar(lua_State* L) {
    return ScriptArgs(L).Self<UiEnergyBar>(kUiEnergyBarScript);
}

int SetBorder(lua_State* L) {
    UiEnergyBar& bar = Bar(L);
    bar.SetBorder(CheckScriptText(L, 2));
    return 0;
}

int SetBar(lua_State* L) {
    UiEnergyBar& bar = Bar(L);
    bar.SetBar(CheckScriptText(L, 2));
    return 0;
}

// {x, y}: x must be a number; a missing y reads as 0 ({4} is (4, 0)).
int SetBarOffset(lua_State* L) {
    ScriptArgs args(L);
    UiEnergyBar& bar = args.Self<UiEnergyBar>(kUiEnergyBarScript);
    args.CheckTable(2);
    const float x = args.TableNumber(2, 1);
    bar.SetBarOffset(x, args.TableNumber(2, 2, 0.0f));
    return 0;
}

// Any integer is kept: values other than Left and Right draw no fill.
int SetBarAnchor(lua_State* L) {
    ScriptArgs args(L);
    UiEnergyBar& bar = args.Self<UiEnergyBar>(kUiEnergyBarScript);
    bar.SetBarAnchor(BarDirection(args.CheckInteger(2)));
    return 0;
}

int SetPercent(lua_State* L) {
    UiEnergyBar& bar = Bar(L);
    bar.SetPercent(CheckScriptNumber(L, 2));
    return 0;
}

}  // namespace

}  // namespace Vandle

LV_REFLECT_CLASS(Vandle::UiEnergyBar,
                 [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, Vandle::kUiEnergyBarScript); });
