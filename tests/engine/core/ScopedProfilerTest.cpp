#include "EngineTestSupport.h"
#include "engine/core/Engine.h"
#include "engine/core/ScopedProfiler.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/Graphics.h"

#include <gtest/gtest.h>

using namespace Ostrel;
using namespace Ostrel::Testing;

namespace {

class Profiler : public ::testing::Test {
protected:
    Profiler() : clock(1 << 20), profiler(clock) {
        DebugDrawQueue::Instance().Clear();
        profiler.SetTextDrawer(&Graphics::DrawDebugText);
    }
    ~Profiler() override { DebugDrawQueue::Instance().Clear(); }

    void SwitchOn() {
        profiler.SetAllowed(true);
        profiler.OnKeyTriggered(ScopedProfiler::kActivationKey, true);
        profiler.EndFrame();
    }
    void Section(const char* name, double seconds) {
        profiler.BeginSection(name);
        clock.AdvanceSeconds(seconds);
        profiler.EndSection();
    }
    static std::vector<DebugTextCall> Texts() { return DebugDrawQueue::Instance().TakeTexts(); }

    ManualClock clock;
    ScopedProfiler profiler;
};

}  // namespace

TEST_F(Profiler, NestedSectionsChargeTheirOwnTimeAndTheReportShowsShares) {
    SwitchOn();
    ASSERT_TRUE(profiler.IsActive());
    EXPECT_TRUE(Texts().empty());  // nothing measured yet: no lines at all

    profiler.BeginFrame();
    profiler.BeginSection("Overhead");
    Section("Physics", 0.03125);
    profiler.BeginSection("Graphics");
    clock.AdvanceSeconds(0.0078125);
    Section("Animation", 0.0078125);  // nested: not charged to Graphics
    profiler.EndSection();
    Section("Physics", 0.0078125);  // a second section of one name adds up
    clock.AdvanceSeconds(0.0078125);
    profiler.EndSection();
    profiler.EndFrame();

    EXPECT_EQ(profiler.GetLastFrameTotal(), 0.0625f);
    std::vector<DebugTextCall> texts = Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, "1.6 (0.0063s)");
    EXPECT_EQ(texts[0].x, 5.0f);
    EXPECT_EQ(texts[0].y, 5.0f);
    EXPECT_EQ(texts[0].PackedColour(), 0xFFFF454Fu);  // 255, 69, 79, 255
    std::vector<std::string> lines = {"Animation: 12% (0.0078s)", "Graphics: 12% (0.0078s)",
                                      "Overhead: 12% (0.0078s)", "Physics: 62% (0.0391s)"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const DebugTextCall& t = texts[i + 1];
        EXPECT_EQ(t.text, lines[i]);
        EXPECT_EQ(t.x, 5.0f);
        // Four lines of 14 px ending at the bottom edge (720).
        EXPECT_EQ(t.y, float(720 - 4 * 14 + int(i) * 14));
        EXPECT_EQ(t.PackedColour(), 0xFF36454Fu);  // 54, 69, 79, 255
    }
}

TEST_F(Profiler, SharesTruncateAndFollowTheWindowHeight) {
    profiler.SetHeightSource([] { return 600; });
    SwitchOn();
    profiler.BeginFrame();
    profiler.BeginSection("Overhead");
    Section("A", 0.03125);
    Section("B", 0.015625);
    Section("C", 0.0078125);
    clock.AdvanceSeconds(0.0078125);
    profiler.EndSection();
    profiler.EndFrame();
    std::vector<DebugTextCall> texts = Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1].text, "A: 50% (0.0312s)");
    EXPECT_EQ(texts[2].text, "B: 25% (0.0156s)");
    EXPECT_EQ(texts[3].text, "C: 12% (0.0078s)");  // 12.5 truncated
    EXPECT_EQ(texts[1].y, 600.0f - 56.0f);
}

TEST_F(Profiler, ToggleNeedsPermissionAndAPressAndTakesEffectAtFrameEnd) {
    profiler.OnKeyTriggered(ScopedProfiler::kActivationKey, true);
    profiler.EndFrame();
    EXPECT_FALSE(profiler.IsActive());  // not allowed

    profiler.SetAllowed(true);
    profiler.OnKeyTriggered(ScopedProfiler::kActivationKey, false);  // a release
    profiler.OnKeyTriggered(121, true);                               // F10
    profiler.EndFrame();
    EXPECT_FALSE(profiler.IsActive());

    profiler.OnActivationKey(true);
    EXPECT_FALSE(profiler.IsActive());  // only at the end of the frame
    profiler.EndFrame();
    EXPECT_TRUE(profiler.IsActive());
    profiler.OnActivationKey(true);
    profiler.EndFrame();
    EXPECT_FALSE(profiler.IsActive());
    Texts();
    profiler.OnSceneBegin();
    EXPECT_TRUE(Texts().empty());
}

TEST_F(Profiler, ZeroTotalsAndUnbalancedSectionsAreHarmless) {
    SwitchOn();
    profiler.EndSection();  // nothing open: ignored
    profiler.BeginFrame();
    profiler.BeginSection("Overhead");
    profiler.EndSection();  // a zero-length frame
    profiler.EndFrame();
    std::vector<DebugTextCall> texts = Texts();
    ASSERT_EQ(texts.size(), 1u);  // no summary line while the total is 0
    EXPECT_EQ(texts[0].text, "Overhead:  0% (0.0000s)");
}

TEST(ProfilerInEngine, F9WorksOnlyWhenDebugWasOnAtRunStart) {
    for (bool debug : {false, true}) {
        ManualClock clock(1 << 20);
        RecordingSleeper sleeper;
        Engine engine(clock, sleeper);
        engine.SetRunSwitches(RunSwitches{});
        engine.SetDebug(debug);
        FakeSystem system("Input", 2, nullptr);
        system.onUpdate = [&](f32) {
            clock.AdvanceSeconds(0.015625);
            if (system.steps.size() == 1) engine.GetProfiler().OnKeyTriggered(120, true);
            if (system.steps.size() == 3) engine.Quit();
        };
        engine.AddSystem(&system);
        engine.GetProfiler().SetTextDrawer(&Graphics::DrawDebugText);
        DebugDrawQueue::Instance().Clear();
        engine.Run();
        EXPECT_EQ(engine.GetProfiler().IsActive(), debug);
        if (debug) {
            // Active from the end of frame 1; frame 3 shows Input and Overhead.
            const auto& shown = engine.GetProfiler().GetShownSections();
            ASSERT_EQ(shown.size(), 2u);
            EXPECT_EQ(shown.begin()->first, "Input");
            EXPECT_FALSE(DebugDrawQueue::Instance().Texts().empty());
        } else {
            EXPECT_TRUE(DebugDrawQueue::Instance().Texts().empty());
        }
        DebugDrawQueue::Instance().Clear();
    }
}
