#pragma once
// Measures how the frame time splits between named sections and draws the
// split as debug text over the picture.
//
// The engine opens "Overhead" around each frame and one section per system
// around its update; systems open further sections through
// Engine::BeginProfile/EndProfile. Sections nest, and each is charged only its
// own time (its elapsed time minus that of the sections closed inside it), so
// the own times of a frame add up to the frame time.
//
// The report is toggled with F9 (key 120) on a press, and only when the
// engine was in debug mode when the run started (SetAllowed). A toggle takes
// effect at the end of the frame: measuring and reporting switch together, so
// a section is never left open.
//
// The report is drawn through the text drawer the graphics layer hands over
// (SetTextDrawer); without one the report is measured but not drawn.

#include "engine/base/Types.h"
#include "engine/core/Clock.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Timer.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class CoreSystem;

class ScopedProfiler {
public:
    static constexpr int kActivationKey = 120;  // F9
    static constexpr int kLineStep = 14;

    // The clock must outlive the profiler.
    explicit ScopedProfiler(const IClock& clock = DefaultClock());
    ~ScopedProfiler();
    ScopedProfiler(const ScopedProfiler&) = delete;
    ScopedProfiler& operator=(const ScopedProfiler&) = delete;

    // Subscribes OnSceneBegin to "OnSceneBegin" and OnKeyTriggered to
    // "KeyTriggered" on the core system (none: no subscriptions); Stop
    // unsubscribes from the same one.
    void Start(CoreSystem* core);
    void Stop();
    void SetAllowed(bool allowed) { m_allowed = allowed; }

    void BeginFrame();
    // Takes the toggle, keeps this frame's figures for the report and draws it.
    void EndFrame();
    void BeginSection(const std::string& name);
    // Closes the innermost section; ignored when none is open.
    void EndSection();

    void OnKeyTriggered(int key, bool pressed);
    void OnActivationKey(bool pressed);
    // Draws the report when active.
    void OnSceneBegin();

    // Where the section lines end: the window's client height in pixels.
    // The window system provides it; until then kDefaultReportHeight.
    static constexpr int kDefaultReportHeight = 720;
    void SetHeightSource(std::function<int()> height) { m_height = std::move(height); }

    // Draws one line of debug text at (x, y) pixels from the top left in the
    // given colour.
    using TextDrawer = std::function<void(const char* text, float x, float y, u8 red, u8 green,
                                          u8 blue, u8 alpha)>;
    void SetTextDrawer(TextDrawer drawer) { m_drawText = std::move(drawer); }

    bool IsActive() const { return m_active; }
    bool IsAllowed() const { return m_allowed; }
    const std::map<std::string, f32>& GetShownSections() const { return m_shownSections; }
    f32 GetLastFrameTotal() const { return m_lastFrameTotal; }

private:
    struct OpenSection {
        std::string name;
        f32 startSeconds = 0.0f;
        f32 childSeconds = 0.0f;
    };

    void DrawSummaryLine();
    void DrawSectionLines();
    int ReportHeight() const;
    void DrawText(const char* text, float y, u8 red);

    std::map<std::string, f32> m_frameSections;
    std::map<std::string, f32> m_shownSections;
    f32 m_frameTotal = 0.0f;
    f32 m_lastFrameTotal = 0.0f;
    f32 m_averageFrameTime = 0.0f;
    Timer m_timer;
    std::vector<OpenSection> m_openSections;
    bool m_enableRequest = false;
    bool m_active = false;
    bool m_allowed = false;
    f32 m_averageFps = 0.0f;
    std::function<int()> m_height;
    TextDrawer m_drawText;
    struct Subscription;
    std::unique_ptr<Subscription> m_subscription;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ScopedProfiler);
