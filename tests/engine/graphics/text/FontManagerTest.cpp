// The font manager and the font descriptions: cache keys at the screen's dpi,
// scaling to the back-buffer height, drawing and measuring in the 720-unit
// space, device loss and reset, the ".ttf" resources and script tables.

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/MetaClass.h"
#include "engine/core/ScriptTable.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/text/FontTemplateManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include "tests/engine/graphics/text/FontTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

using namespace Ostrel;
using FontTest::CapturedLog;
using FontTest::RecordingRenderer;

namespace {

class TableOf : public ScriptTable {
public:
    std::map<std::string, int> integers;
    std::map<std::string, bool> booleans;
    std::map<std::string, std::string> texts;
    std::optional<int> Integer(std::string_view k) const override { return Get(integers, k); }
    std::optional<bool> Boolean(std::string_view k) const override { return Get(booleans, k); }
    std::optional<std::string> Text(std::string_view k) const override { return Get(texts, k); }

private:
    template <class M>
    static std::optional<typename M::mapped_type> Get(const M& m, std::string_view k) {
        auto it = m.find(std::string(k));
        return it == m.end() ? std::nullopt : std::optional(it->second);
    }
};

FontDescription Desc(int height, const std::string& name, int width = 0, bool italic = false, int weight = 0) {
    FontDescription d;
    d.height = height;
    d.width = width;
    d.italic = italic;
    d.name = name;
    d.weight = weight;
    return d;
}

class FontManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        FontRegistry::Instance().Clear();
        FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
        Screen(1280, 720);
        m_fonts.SetTextRenderer(&m_renderer);
        m_fonts.OnResetDevice();
    }
    void TearDown() override { FontRegistry::Instance().Clear(); }
    void Screen(u32 width, u32 height) { m_fonts.SetWindowParameters({width, height, nullptr, true}); }

    RecordingRenderer m_renderer;
    FontManager m_fonts;
};

}  // namespace

TEST(FontDescription, OrdersByHeightWidthItalicWeightThenName) {
    const std::vector<FontDescription> ascending = {
        Desc(10, "z", 9, true, 1000), Desc(11, "a"), Desc(11, "a", 1), Desc(11, "a", 1, true),
        Desc(11, "a", 1, true, 1000), Desc(11, "b", 1, true, 1000)};
    for (size_t i = 0; i + 1 < ascending.size(); ++i) {
        EXPECT_TRUE(ascending[i] < ascending[i + 1]) << i;
        EXPECT_FALSE(ascending[i + 1] < ascending[i]) << i;
    }
    EXPECT_FALSE(Desc(11, "a") < Desc(11, "a"));
    const FontDescription fresh;
    EXPECT_TRUE(fresh.height == 0 && fresh.width == 0 && !fresh.italic && fresh.name.empty() && fresh.weight == 0);
}

TEST(FontDescription, ScriptTablesSetOnlyTheKeysTheyHold) {
    TableOf table;
    table.integers = {{"height", 18}, {"width", 7}};
    table.booleans = {{"italic", true}, {"bold", true}};
    table.texts = {{"name", "DejaVu Sans"}};
    FontDescription d;
    d.FromTable(table);
    EXPECT_EQ(d, Desc(18, "DejaVu Sans", 7, true, 1000));

    TableOf partial;
    partial.booleans = {{"bold", false}};
    d.FromTable(partial);
    EXPECT_EQ(d, Desc(18, "DejaVu Sans", 7, true, 0));

    // Through the reflected type, from the table on top of the script stack.
    MetaClass* meta = MetaClassOf<FontDescription>();
    EXPECT_EQ(meta->GetName(), "FontDescription");
    FontDescription viaScript;
    meta->FromScript(&viaScript);  // no table: unchanged
    EXPECT_EQ(viaScript, FontDescription());
    {
        ScriptTable::ScopedTop top(table);
        meta->FromScript(&viaScript);
    }
    EXPECT_EQ(viaScript, Desc(18, "DejaVu Sans", 7, true, 1000));
    EXPECT_EQ(ScriptTable::Top(), nullptr);
}

TEST(FontManagerMath, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(12, 96, 72), 16);
    EXPECT_EQ(MulDiv(10, 96, 72), 13);   // 13.33
    EXPECT_EQ(MulDiv(3, 1, 2), 2);       // 1.5
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(1 << 30, 1 << 10, 1 << 20), 1 << 20);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST_F(FontManagerTest, CacheKeysAreDpiPixelHeightsAndFontsScaleToTheScreen) {
    FontManager::FontHolder* holder = m_fonts.GetFont(Desc(12, "DejaVu Sans"));
    EXPECT_EQ(m_fonts.GetDpi(), 96);
    EXPECT_EQ(holder->GetKey().height, -16);
    EXPECT_EQ(holder->GetFont()->GetDesc().height, -16);
    EXPECT_EQ(m_fonts.GetFont(Desc(12, "DejaVu Sans")), holder);
    EXPECT_NE(m_fonts.GetFont(Desc(12, "Arial")), holder);
    EXPECT_EQ(m_fonts.GetCachedFontCount(), 2u);

    // A 1080-line back buffer: every cached font is made again at 1.5 times.
    Screen(1920, 1080);
    m_fonts.OnLostDevice();
    m_fonts.OnResetDevice();
    EXPECT_EQ(holder->GetFont()->GetDesc().height, -24);
    EXPECT_EQ(m_fonts.GetFont(Desc(12, "DejaVu Sans")), holder);
    EXPECT_EQ(FontManager().GetReferenceHeight(), 720.0f);
}

TEST_F(FontManagerTest, LongFaceNamesAreCutTo31CharactersAndLogged) {
    CapturedLog log;
    const std::string name = "An Extraordinarily Long Family Name Indeed";
    FontManager::FontHolder* holder = m_fonts.GetFont(Desc(12, name));
    ASSERT_NE(holder->GetFont(), nullptr);
    EXPECT_EQ(holder->GetFont()->GetDesc().family, name.substr(0, 31));
    EXPECT_EQ(holder->GetKey().name, name);
    EXPECT_EQ(log.Count("longer than 31 characters"), 1u);
    // A cut never splits a character.
    const std::string accents = std::string(30, 'a') + "\xC3\xA9\xC3\xA9";
    EXPECT_EQ(m_fonts.GetFont(Desc(12, accents))->GetFont()->GetDesc().family, std::string(30, 'a'));
}

TEST_F(FontManagerTest, SingleLinesStartEndOrCentreOnThePoint) {
    m_fonts.SetFont(m_fonts.GetFont(Desc(12, "DejaVu Sans")));
    m_fonts.SetColor(1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_EQ(m_fonts.GetPackedColour(), 0xFFFF7F00u);
    // Find a text of odd width, so centring has to round.
    std::string text = "Lantern";
    for (int i = 0; i < 30 && int(m_fonts.MeasureText(text, 0).x) % 2 == 0; ++i) text += "iaexn."[i % 6];
    ASSERT_EQ(int(m_fonts.MeasureText(text, 0).x) % 2, 1);
    const int w = int(m_fonts.MeasureText(text, 0).x);

    m_fonts.DrawText(text, 0.0f, 0.0f, FontManager::kAlignLeft);
    const auto left = m_renderer.quads;
    // Text at (0, 0) starts at the screen centre: its first glyph's ink lies
    // within a couple of pixels right of x 640 and below y 360.
    EXPECT_GE(left.front().left, 640);
    EXPECT_LE(left.front().left, 643);
    EXPECT_GE(m_renderer.Bounds()[1], 360);
    EXPECT_EQ(left.front().argb, 0xFFFF7F00u);
    for (int alignment : {FontManager::kAlignCentre, FontManager::kAlignRight}) {
        m_renderer.Reset();
        m_fonts.DrawText(text, 0.0f, 0.0f, alignment);
        ASSERT_EQ(m_renderer.quads.size(), left.size());
        const float shift = alignment == FontManager::kAlignRight ? -w : -(w / 2);
        for (size_t i = 0; i < left.size(); ++i) EXPECT_EQ(m_renderer.quads[i].left, left[i].left + shift);
    }
    // Centred at (0, 0) an odd width w starts (w - 1) / 2 pixels left of the point.
    EXPECT_EQ(-(w / 2), -(w - 1) / 2);
}

TEST_F(FontManagerTest, WrappedTextStaysInItsBoxAndMeasuresLikeCalcRect) {
    Screen(1920, 1080);
    m_fonts.OnResetDevice();
    m_fonts.SetFont(m_fonts.GetFont(Desc(14, "DejaVu Sans")));
    const std::string text = "Brisa and Qil walk into the lantern vaults, where every corridor hums.";
    const Vec2 size = m_fonts.MeasureText(text, 200);
    const Vec2 line = m_fonts.MeasureText(text, 0);
    EXPECT_LE(size.x, 200.0f);
    EXPECT_GT(size.x, 150.0f);  // the width shrinks to the widest line, not to nothing
    EXPECT_GT(size.y, line.y * 2);

    m_fonts.DrawTextAligned(text, -100.0f, -50.0f, 200, FontManager::kAlignLeft);
    const auto box = m_renderer.Bounds();
    const float left = -100 * 1.5f + 960, top = -50 * 1.5f + 540;
    EXPECT_GE(box[0], left);
    EXPECT_LE(box[2], left + 300 + 1);  // ink may pass the last advance by a pixel
    EXPECT_GE(box[1], top);
    EXPECT_LE(box[3], top + size.y * 1.5f + 1);
}

TEST_F(FontManagerTest, WithoutAFontNothingIsDrawnOrMeasured) {
    m_fonts.DrawText("nothing", 0, 0, 0);
    EXPECT_TRUE(m_renderer.calls.empty());
    EXPECT_EQ(m_fonts.MeasureText("nothing", 0).x, 0.0f);
    // A screen of height 0 measures nothing rather than dividing by it.
    m_fonts.SetFont(m_fonts.GetFont(Desc(12, "DejaVu Sans")));
    Screen(0, 0);
    EXPECT_EQ(m_fonts.MeasureText("nothing", 0).y, 0.0f);
}

TEST_F(FontManagerTest, LostAndResetDeviceMessagesKeepCachedFontsUsable) {
    Engine engine;
    CoreSystem core;
    engine.AddSystem(&core);
    FontManager fonts;
    fonts.SetWindowParameters({1280, 720, nullptr, true});
    fonts.SetTextRenderer(&m_renderer);
    fonts.Initialize();
    FontManager::FontHolder* holder = fonts.GetFont(Desc(12, "DejaVu Sans"));
    fonts.SetFont(holder);
    const Vec2 before = fonts.MeasureText("Vaults", 0);

    core.Send("LostDevice");
    EXPECT_EQ(holder->GetFont(), nullptr);
    fonts.DrawText("Vaults", 0, 0, 0);
    EXPECT_TRUE(m_renderer.calls.empty());

    core.Send("ResetDevice");
    ASSERT_NE(holder->GetFont(), nullptr);
    EXPECT_EQ(fonts.GetCurrentFont(), holder);
    EXPECT_EQ(fonts.MeasureText("Vaults", 0).x, before.x);
    fonts.DrawText("Vaults", 0, 0, 0);
    EXPECT_EQ(m_renderer.calls.front(), "begin");
    EXPECT_EQ(m_renderer.calls.back(), "end");

    fonts.Shutdown();
    core.Send("ResetDevice");
    EXPECT_EQ(holder->GetFont(), nullptr);
}

TEST(FontTemplateManager, TtfResourcesRegisterByFamilyAndUnregisterWithTheManager) {
    namespace fs = std::filesystem;
    FontRegistry::Instance().Clear();
    const fs::path root = fs::path(LV_TEST_TMP) / "font-rsc";
    fs::remove_all(root);
    fs::create_directories(root / "fonts");
    fs::copy_file(FontTest::ShippedFontPath(), root / "fonts" / "Shipped.ttf");
    std::ofstream(root / "fonts" / "broken.ttf") << "not a font";
    CapturedLog log;
    {
        ResourceManager resources;
        RegisterResourceKinds(resources, root.string());
        RegisterFontLoader(resources);
        FontTemplateManager templates;
        resources.LoadAllOfKind(kKindFont);
        EXPECT_EQ(templates.GetRegisteredCount(), 1u);
        EXPECT_TRUE(FontRegistry::Instance().IsRegistered("DejaVu Sans"));
        EXPECT_EQ(log.Count("broken.ttf: not a font file"), 1u);
        templates.LoadFont((root / "fonts" / "gone.ttf").string());
        EXPECT_EQ(log.Count("gone.ttf: font file cannot be opened"), 1u);
    }
    EXPECT_FALSE(FontRegistry::Instance().IsRegistered("DejaVu Sans"));
}

TEST(FontRegistryFallback, TheShippedFaceIsReadFromTheResourcesWhenNothingIsRegistered) {
    FontRegistry::Instance().Clear();
    ResourceManager resources;
    RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
    CapturedLog log;
    auto match = FontRegistry::Instance().Find("Lantern Vaults Missing Face", false, false);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->family, "DejaVu Sans");
    EXPECT_EQ(log.Count("font family 'Lantern Vaults Missing Face' is not registered; using 'DejaVu Sans'"), 1u);
    FontRegistry::Instance().Clear();
}
