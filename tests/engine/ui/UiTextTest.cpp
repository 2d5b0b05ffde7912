// Text elements measured and drawn through the real font manager with the
// shipped face, their script bindings, and the scroll group: scrolling and
// its reset, ownership of children, drawing, cloning and its bindings.

#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiDrawContext.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiScrollGroup.h"
#include "engine/ui/UiSolid.h"
#include "engine/ui/UiSystem.h"
#include "engine/ui/UiText.h"

#include "tests/engine/graphics/text/FontTestSupport.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <lua.hpp>

using namespace Ostrel;
using namespace Ostrel::Testing;

namespace {

// The UI world with a font manager over the shipped face at 1280 x 720.
class TextWorld {
public:
    TextWorld() {
        FontRegistry::Instance().Clear();
        FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
        fonts.SetWindowParameters({1280, 720, nullptr, true});
        fonts.SetTextRenderer(&renderer);
        fonts.OnResetDevice();
    }
    ~TextWorld() { FontRegistry::Instance().Clear(); }
    FontManager::FontHolder* Face(int height, int weight = 0) {
        FontDescription d;
        d.name = "DejaVu Sans";
        d.height = height;
        d.weight = weight;
        return fonts.GetFont(d);
    }
    Vec2 Measure(FontManager::FontHolder* font, const std::string& text, int wrap) {
        FontManager::FontHolder* previous = fonts.GetCurrentFont();
        fonts.SetFont(font);
        const Vec2 size = fonts.MeasureText(text, wrap);
        fonts.SetFont(previous);
        return size;
    }
    // Runs the script text; false (and the message in error) when it fails.
    bool Run(const std::string& text) {
        lua_State* L = scripts.GetState();
        if (luaL_dostring(L, text.c_str()) == 0) return true;
        error = lua_tostring(L, -1);
        lua_pop(L, 1);
        return false;
    }
    template <class T>
    T* Global(const char* name) {
        lua_State* L = scripts.GetState();
        lua_getglobal(L, name);
        void* p = lua_isuserdata(L, -1) ? *static_cast<void**>(lua_touserdata(L, -1)) : nullptr;
        lua_pop(L, 1);
        return static_cast<T*>(p);
    }

    UiWorld world;
    FontTest::RecordingRenderer renderer;
    FontManager fonts;
    ScriptManager scripts;
    std::string error;
};

const std::string kWrapped = "The lanterns light the vaults one by one as the keeper walks below them";

}  // namespace

TEST(UiTextElements, MeasureAtAttachmentKeepTheCurrentFontAndPlaceTextAtTheCentre) {
    TextWorld w;
    FontManager::FontHolder* other = w.Face(12);
    w.fonts.SetFont(other);
    UiScene scene;
    UiLabel label;
    label.SetText("Lantern Vaults");
    label.SetFont(w.Face(24));
    label.SetX(10);
    label.SetY(-20);
    EXPECT_EQ(label.GetWidth(), 0.0f) << "not measured before it is attached";
    label.SetParent(&scene);
    const Vec2 line = w.Measure(w.Face(24), "Lantern Vaults", 0);
    ASSERT_GT(line.x, 0.0f);
    EXPECT_EQ(label.GetWidth(), line.x);
    EXPECT_EQ(label.GetHeight(), line.y);
    EXPECT_EQ(label.GetLeft(), 10.0f) << "the centre is the top-left corner";
    EXPECT_EQ(label.GetTop(), -20.0f);
    EXPECT_EQ(w.fonts.GetCurrentFont(), other);
    label.SetText("Lantern Vaults and more");
    EXPECT_EQ(label.GetWidth(), line.x) << "text set later waits for the next attachment";

    UiTextArea area;
    area.SetText(kWrapped);
    area.SetFont(w.Face(24));
    area.SetWrapWidth(200.7f);
    area.SetParent(&scene);
    const Vec2 wrapped = w.Measure(w.Face(24), kWrapped, 200);
    EXPECT_GT(wrapped.y, line.y * 2) << "the text breaks into lines";
    EXPECT_EQ(area.GetWidth(), wrapped.x);
    EXPECT_EQ(area.GetHeight(), wrapped.y);
    // Out-of-range widths measure on one line instead of converting badly.
    for (float bad : {-50.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()}) {
        area.SetWrapWidth(bad);
        area.SetParent(&scene);
        EXPECT_EQ(area.GetHeight(), w.Measure(w.Face(24), kWrapped, 0).y) << bad;
    }

    UiLabel fontless;
    fontless.SetText("nothing");
    fontless.SetParent(&scene);
    EXPECT_EQ(fontless.GetWidth(), 0.0f);
}

TEST(UiTextElements, DrawAtTheHalfUnitWithAlignmentWrapAndColour) {
    TextWorld w;
    RecordingDrawTarget target;
    UiDrawContext context(target);
    UiSolid owner;
    owner.SetX(60);
    owner.SetY(20);
    UiLabel label;
    label.SetText("Vaults");
    label.SetFont(w.Face(20));
    label.SetX(40);
    label.SetY(30);
    label.SetAlignment(2);
    label.SetColor(Vec4(1, 0, 0, 0.5f));
    label.SetParent(&owner);
    context.DrawElement(label);
    ASSERT_EQ(target.texts.size(), 1u);
    EXPECT_EQ(target.texts[0].text, "Vaults");
    EXPECT_EQ(target.texts[0].x, 100.5f);
    EXPECT_EQ(target.texts[0].y, 50.5f);
    EXPECT_EQ(target.texts[0].alignment, 2);
    EXPECT_EQ(target.texts[0].wrapWidth, 0);
    EXPECT_EQ(w.fonts.GetPackedColour(), 0x7fff0000u);
    EXPECT_EQ(w.fonts.GetCurrentFont(), w.Face(20)) << "the current font is left as the label's";

    UiTextArea area;
    area.SetText(kWrapped);
    area.SetWrapWidth(200.7f);
    area.SetAlignment(1);
    context.DrawElement(area);
    ASSERT_EQ(target.texts.size(), 2u);
    EXPECT_EQ(target.texts[1].wrapWidth, 200);
    EXPECT_EQ(target.texts[1].alignment, 1);
    EXPECT_EQ(target.texts[1].x, 0.5f);
    EXPECT_EQ(w.fonts.GetCurrentFont(), nullptr) << "no font: the font manager draws nothing";

    auto copy = area.Clone();
    auto* copied = dynamic_cast<UiTextArea*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->GetText(), kWrapped);
    EXPECT_EQ(copied->GetWrapWidth(), 200.7f);
    EXPECT_EQ(copied->GetAlignment(), 1);
    EXPECT_EQ(dynamic_cast<UiLabel*>(label.Clone().get())->GetFont(), label.GetFont()) << "the font is shared";
}

TEST(UiTextElements, ScriptsSetTextFontsAndAlignmentAndMisuseChangesNothing) {
    TextWorld w;
    ASSERT_TRUE(w.Run(R"(
        a = UiLabel.new(); a:SetText("Play"); a:SetFont("DejaVu Sans", 18); a:SetAlignment(FontAlignment.Center)
        b = UiLabel.new(); b:SetFont2("DejaVu Sans", 18, 1000)
        c = UiLabel.new(); c:SetFontIndirect({name = "DejaVu Sans", height = 30, italic = true, bold = true})
        t = UiTextArea.new(); t:SetText("Quit"); t:SetWrapWidth(120.5)
        t:SetFont({name = "DejaVu Sans", height = 16, italic = true})
        assert(a:GetName() ~= nil)
    )")) << w.error;
    auto* a = w.Global<UiLabel>("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetText(), "Play");
    EXPECT_EQ(a->GetAlignment(), 2);
    EXPECT_EQ(a->GetFont(), w.Face(18));
    EXPECT_EQ(w.Global<UiLabel>("b")->GetFont(), w.Face(18, 1000));
    const FontDescription& indirect = w.Global<UiLabel>("c")->GetFont()->GetKey();
    EXPECT_FALSE(indirect.italic) << "only name, height and weight are used";
    EXPECT_EQ(indirect.weight, FontDescription::kBoldWeight);
    auto* t = w.Global<UiTextArea>("t");
    EXPECT_EQ(t->GetText(), "Quit");
    EXPECT_EQ(t->GetWrapWidth(), 120.5f);
    EXPECT_TRUE(t->GetFont()->GetKey().italic) << "a text area keeps the whole description";

    for (const char* misuse : {"a.SetText('x')", "a:SetFont('DejaVu Sans', 'big')", "a:SetAlignment('left')",
                               "t:SetWrapWidth({})", "t:SetFont('DejaVu Sans')", "t.SetText(1)"}) {
        EXPECT_FALSE(w.Run(misuse)) << misuse;
    }
    EXPECT_NE(w.error.find("missing uitextarea instance"), std::string::npos) << w.error;
    EXPECT_EQ(a->GetText(), "Play");
    EXPECT_EQ(a->GetFont(), w.Face(18));
    EXPECT_EQ(t->GetWrapWidth(), 120.5f);
}

namespace {

// The world with a UI system filed in the engine (scrolling needs one).
class ScrollWorld {
public:
    ScrollWorld() { world.engine.AddSystem(&ui); }
    void Tick(float dt, int times = 1) {
        for (int i = 0; i < times; ++i) world.core.SendMessageFloat("UiTimeUpdate", dt);
    }
    UiWorld world;
    UiSystem ui;
};

std::unique_ptr<UiSolid> Box(float top, float height) {
    auto box = std::make_unique<UiSolid>();
    box->SetHeight(height);
    box->SetTop(top);
    return box;
}

}  // namespace

TEST(UiTextElements, HugeTextsAreCutToTheDrawnLimit) {
    UiLabel label;
    UiTextArea area;
    const std::string huge(10 << 20, 'y');
    label.SetText(huge);
    area.SetText(huge);
    EXPECT_EQ(label.GetText().size(), kMaxDrawnTextBytes);
    EXPECT_EQ(area.GetText().size(), kMaxDrawnTextBytes);
    label.SetText("short");
    EXPECT_EQ(label.GetText(), "short");
}

TEST(UiScrollGroup, MovesUpAtItsRateAndStartsOverOnceTheContentIsOffScreen) {
    ScrollWorld w;
    UiScrollGroup group;
    group.SetY(400);
    group.SetScrollRate(100);
    group.AddElement(Box(0, 50));
    group.AddElement(Box(-100, 20));
    EXPECT_EQ(group.GetContentBottom(), 50.0f) << "a higher child leaves the bottom alone";
    auto copy = group.Clone();
    auto& live = static_cast<UiScrollGroup&>(*copy);
    EXPECT_EQ(live.GetResetY(), 400.0f);
    live.Enter();
    w.Tick(0.25f, 4);
    EXPECT_FLOAT_EQ(live.GetY(), 300.0f);
    EXPECT_EQ(group.GetY(), 400.0f) << "the template stays";
    w.Tick(1.0f, 7);
    EXPECT_FLOAT_EQ(live.GetY(), -400.0f);
    w.Tick(0.1f);
    EXPECT_FLOAT_EQ(live.GetY(), -410.0f) << "50 + y is -360: not yet above the screen";
    w.Tick(0.01f);
    EXPECT_EQ(live.GetY(), 400.0f);
    live.Leave();
    w.Tick(1.0f);
    EXPECT_EQ(live.GetY(), 400.0f) << "a group that left does not move";
    EXPECT_EQ(w.world.GlobalListeners(), 0u);

    live.Enter();
    live.SetScrollRate(-100);
    w.Tick(10.0f);
    EXPECT_FLOAT_EQ(live.GetY(), 1400.0f) << "downwards never resets";
    live.SetScrollRate(0);
    w.Tick(5.0f);
    EXPECT_FLOAT_EQ(live.GetY(), 1400.0f);
    copy.reset();  // destroyed while entered: no listener left behind
    EXPECT_EQ(w.world.GlobalListeners(), 0u);
}

TEST(UiScrollGroup, WithoutAUiSystemNothingMoves) {
    UiWorld world;
    UiScrollGroup group;
    group.SetY(5);
    group.SetScrollRate(100);
    group.Enter();
    world.core.SendMessageFloat("UiTimeUpdate", 1.0f);
    EXPECT_EQ(group.GetY(), 5.0f);
    group.Leave();
}

TEST(UiScrollGroup, DrawsEveryChildOwnsThemAndClonesThemUnderTheClone) {
    ScrollWorld w;
    RecordingDrawTarget target;
    UiDrawContext context(target);
    const std::size_t before = w.world.elements.Count();
    {
        UiScrollGroup group;
        group.SetX(100);
        group.SetY(10);
        auto hidden = Box(0, 10);
        hidden->SetVisible(false);
        hidden->SetWidth(10);
        group.AddElement(std::move(hidden));
        auto label = std::make_unique<UiLabel>();
        label->SetText("credits");
        label->SetX(5);
        group.AddElement(std::move(label));
        group.AddElement(nullptr);
        context.DrawElement(group);
        EXPECT_EQ(target.order, "QT") << "a hidden child is drawn too";
        ASSERT_EQ(target.texts.size(), 1u);
        EXPECT_EQ(target.texts[0].x, 105.5f);
        EXPECT_EQ(target.texts[0].y, 10.5f);

        auto copy = group.Clone();
        auto& clone = static_cast<UiScrollGroup&>(*copy);
        ASSERT_EQ(clone.GetChildren().size(), 2u);
        for (const auto& child : clone.GetChildren()) EXPECT_EQ(child->GetParent(), &clone);
        EXPECT_NE(clone.GetChildren()[0].get(), group.GetChildren()[0].get());
        EXPECT_FALSE(clone.GetChildren()[0]->IsVisible());
    }
    EXPECT_EQ(w.world.elements.Count(), before) << "children die with their group";
}

TEST(UiScrollGroup, ScriptsAddElementsOnceAndNeverMakeALoop) {
    ScrollWorld w;
    ScriptManager scripts;
    lua_State* L = scripts.GetState();
    auto run = [&](const char* text) {
        const bool ok = luaL_dostring(L, text) == 0;
        if (!ok) lua_pop(L, 1);
        return ok;
    };
    ASSERT_TRUE(run(R"(
        g = UiScrollGroup.new(); g:SetScrollRate(25); g:SetY(300)
        inner = UiScrollGroup.new(); g:AddElement(inner)
        s = UiSolid.new(); s:SetHeight(40); inner:AddElement(s)
    )"));
    lua_getglobal(L, "g");
    auto* g = *static_cast<UiScrollGroup**>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    EXPECT_EQ(g->GetScrollRate(), 25.0f);
    ASSERT_EQ(g->GetChildren().size(), 1u);
    for (const char* misuse : {"g:AddElement(s)", "g:AddElement(g)", "inner:AddElement(g)", "g:AddElement(42)",
                               "g:AddElement(UiNavigator.new())", "g.SetScrollRate(1)", "g:SetScrollRate('x')"}) {
        EXPECT_FALSE(run(misuse)) << misuse;
    }
    EXPECT_EQ(g->GetChildren().size(), 1u);
    EXPECT_EQ(g->GetScrollRate(), 25.0f);
    EXPECT_EQ(g->GetParent(), nullptr);
}
