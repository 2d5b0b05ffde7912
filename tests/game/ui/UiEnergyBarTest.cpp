// The energy bar built and drawn from a scene script: the fill's geometry for
// both anchors and odd percents, the border-only anchor, the geometry put
// back after a draw; missing textures; and the strict self check of the
// game's script classes (a method called on another userdata is an error
// that is logged and changes nothing).

#include "game/ui/UiEnergyBar.h"

#include "engine/script/ScriptBinding.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiScriptClasses.h"

#include "tests/game/ui/HudTestSupport.h"

#include <gtest/gtest.h>
#include <lua.hpp>

namespace Vandle::GameTest {
namespace {

class EnergyBarScript : public ::testing::Test {
protected:
    // Runs chunk; the bar the global "bar" holds afterwards (or null).
    UiEnergyBar* Run(const std::string& chunk) {
        EXPECT_TRUE(scripts.RunBuffer(chunk, "=bar-test")) << world.log;
        lua_State* L = scripts.GetState();
        lua_getglobal(L, "bar");
        auto* bar = static_cast<UiEnergyBar*>(ToObject(L, -1, kUiEnergyBarScript));
        lua_pop(L, 1);
        return bar;
    }
    // The quads one draw of the bar records.
    std::vector<UiQuadDraw> Draw(UiEnergyBar& bar) {
        world.target.quads.clear();
        world.context.DrawElement(bar);
        return world.target.quads;
    }

    Ostrel::Testing::LogCapture capture;
    UiGameWorld world;
    ScriptManager scripts;
};

const char kBarScript[] = R"(
bar = UiEnergyBar.new()
bar:SetBorder("border-208")
bar:SetBar("fill-200")
bar:SetBarOffset({4, 2})
bar:SetBarAnchor(BarDirection.Left)
bar:SetPercent(0.25)
bar:SetLeft(-300)
bar:SetTop(40)
bar:SetAlpha(0.5)
)";

TEST_F(EnergyBarScript, FillSpansItsShareFromTheAnchoredEndAndTheGeometryComesBack) {
    UiEnergyBar* bar = Run(kBarScript);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetWidth(), 200.0f);  // "SetBar" sized it
    const float left = -300.0f;

    struct Case {
        int anchor;
        float percent;
        float from, to;  // fill span relative to left
    };
    const Case cases[] = {
        {0, 0.25f, 4, 54},  {0, 1.0f, 4, 204},   {0, 0.0f, 4, 4},      {0, 1.5f, 4, 304},
        {1, 0.25f, 154, 204}, {1, 1.0f, 4, 204}, {1, 0.0f, 204, 204}, {1, 1.5f, -96, 204},
    };
    for (const Case& c : cases) {
        bar->SetBarAnchor(BarDirection(c.anchor));
        bar->SetPercent(c.percent);
        const std::vector<UiQuadDraw> quads = Draw(*bar);
        ASSERT_EQ(quads.size(), 2u) << c.anchor << " " << c.percent;
        // The border at its own size, centred on the 200 x 16 rectangle.
        EXPECT_NEAR(QuadSpan(quads[0]).first, left - 4, 1e-3);
        EXPECT_NEAR(QuadSpan(quads[0]).second, left + 204, 1e-3);
        EXPECT_EQ(quads[0].texture, world.textures.Find("border-208"));
        EXPECT_EQ(quads[1].texture, world.textures.Find("fill-200"));
        EXPECT_NEAR(QuadSpan(quads[1]).first, left + c.from, 1e-3) << c.anchor << " " << c.percent;
        EXPECT_NEAR(QuadSpan(quads[1]).second, left + c.to, 1e-3) << c.anchor << " " << c.percent;
        // The fill's top edge is the rectangle's top plus the offset's y.
        EXPECT_NEAR(-quads[1].world(3, 1) * 720.0f - 8.0f, 40.0f + 2.0f, 1e-3);
        EXPECT_FLOAT_EQ(quads[1].colour.w, 0.5f);
        // Unclamped: the scale is the percent itself.
        EXPECT_EQ(bar->GetPercent(), c.percent);
        // Afterwards: the fill's size, the same top-left corner, scale 1.
        EXPECT_EQ(bar->GetWidth(), 200.0f);
        EXPECT_EQ(bar->GetHeight(), 16.0f);
        EXPECT_FLOAT_EQ(bar->GetLeft(), left);
        EXPECT_FLOAT_EQ(bar->GetTop(), 40.0f);
        EXPECT_EQ(bar->GetScaleX(), 1.0f);
    }

    // Any other anchor draws the border alone, once.
    bar->SetBarAnchor(BarDirection(2));
    const std::vector<UiQuadDraw> borderOnly = Draw(*bar);
    ASSERT_EQ(borderOnly.size(), 1u);
    EXPECT_EQ(borderOnly[0].texture, world.textures.Find("border-208"));
    EXPECT_EQ(bar->GetWidth(), 208.0f);  // the border's size was the last set
    EXPECT_FLOAT_EQ(bar->GetLeft(), left);

    // {4} reads as (4, 0); a clone keeps the settings and shares the images.
    Run("bar:SetBarOffset({4})");
    EXPECT_EQ(bar->GetBarOffset().y, 0.0f);
    std::unique_ptr<UiElementBase> copy = bar->Clone();
    auto* clone = dynamic_cast<UiEnergyBar*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetBar(), bar->GetBar());
    EXPECT_EQ(clone->GetBarAnchor(), BarDirection(2));
}

TEST_F(EnergyBarScript, MissingImagesAreSkippedAndAnUnknownFillKeepsTheSize) {
    UiEnergyBar* bar = Run(R"(
bar = UiEnergyBar.new()
bar:SetBar("fill-100")
bar:SetBar("no-such-fill")
bar:SetLeft(10)
)");
    ASSERT_NE(bar, nullptr);
    EXPECT_NE(capture.All().find("UiEnergyBar: no texture 'no-such-fill'"), std::string::npos) << capture.All();
    EXPECT_EQ(bar->GetWidth(), 100.0f);
    EXPECT_EQ(bar->GetBar(), nullptr);
    // Neither image: nothing is drawn, the element stays where it was.
    EXPECT_TRUE(Draw(*bar).empty());
    EXPECT_FLOAT_EQ(bar->GetLeft(), 10.0f);
    // A border alone draws once; a fill alone draws once.
    bar->SetBorder("border-208");
    EXPECT_EQ(Draw(*bar).size(), 1u);
    bar->SetBorder("");
    bar->SetBar("fill-200");
    bar->SetLeft(10);
    ASSERT_EQ(Draw(*bar).size(), 1u);
    EXPECT_NEAR(QuadSpan(world.target.quads[0]).first, 10.0f, 1e-3);
}

TEST_F(EnergyBarScript, MethodsOnAnotherObjectAreLoggedErrorsAndTheScriptsGoOn) {
    UiScene scene;
    PushObject(scripts.GetState(), static_cast<UiBaseImpl*>(&scene), kUiSceneScript);
    lua_setglobal(scripts.GetState(), "scene");
    UiEnergyBar* bar = Run("bar = UiEnergyBar.new(); hud = UiHudHandler.new(); options = UiOptionsHandler.new()");
    ASSERT_NE(bar, nullptr);

    const std::pair<const char*, const char*> calls[] = {
        {"bar.SetPercent(Vec3.new(1, 2, 3), 0.5)", "missing uienergybar instance"},
        {"bar.SetPercent(scene, 0.5)", "missing uienergybar instance"},
        {"bar.SetBar(hud, 'fill-200')", "missing uienergybar instance"},
        {"hud.SetLoadingScreenName(bar, 'x')", "missing uihudhandler instance"},
        {"hud.SetCheckpointDisplayTime(Vec3.new(), 1)", "missing uihudhandler instance"},
        {"options.SetBlink(scene, 1)", "missing uioptionshandler instance"},
        {"options.SetBlink(hud, 1)", "missing uioptionshandler instance"},
        {"bar:SetPercent('much')", "number expected"},
        {"bar:SetBarOffset(4)", "table expected"},
    };
    for (const auto& [call, message] : calls) {
        world.log.clear();
        scripts.SetCurrentScriptName("hud-test");
        EXPECT_FALSE(scripts.RunBuffer(call, "=hud-test")) << call;
        EXPECT_NE(world.log.find(std::string("lua [hud-test]: ")), std::string::npos) << world.log;
        EXPECT_NE(world.log.find(message), std::string::npos) << call << ": " << world.log;
    }
    // Nothing changed, and the element's own methods still work through the
    // bar's methods table.
    EXPECT_EQ(bar->GetPercent(), 1.0f);
    Run("bar:SetPercent(0.3); bar:SetName('ui-x'); bar:SetWidth(50); options:SetBlink(0.25)");
    EXPECT_FLOAT_EQ(bar->GetPercent(), 0.3f);
    EXPECT_EQ(bar->GetName(), "ui-x");
    EXPECT_EQ(bar->GetWidth(), 50.0f);
}

}  // namespace
}  // namespace Vandle::GameTest
