#include "engine/core/ScopedProfiler.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <cstdio>

namespace Ostrel {

// The delegates subscribed by Start, kept to unsubscribe the same functions.
struct ScopedProfiler::Subscription {
    CoreSystem* core;
    FunctionRef onSceneBegin;
    FunctionRef onKeyTriggered;
};

ScopedProfiler::ScopedProfiler(const IClock& clock) : m_timer(clock) {}

ScopedProfiler::~ScopedProfiler() { Stop(); }

void ScopedProfiler::Start(CoreSystem* core) {
    Stop();
    if (!core) return;
    m_subscription.reset(new Subscription{core, MakeDelegate(this, &ScopedProfiler::OnSceneBegin),
                                          MakeDelegate(this, &ScopedProfiler::OnKeyTriggered)});
    core->Listen("OnSceneBegin", m_subscription->onSceneBegin);
    core->Listen("KeyTriggered", m_subscription->onKeyTriggered);
}

void ScopedProfiler::Stop() {
    if (!m_subscription) return;
    m_subscription->core->Unlisten("OnSceneBegin", m_subscription->onSceneBegin);
    m_subscription->core->Unlisten("KeyTriggered", m_subscription->onKeyTriggered);
    m_subscription.reset();
}

void ScopedProfiler::BeginFrame() {
    if (!m_active) return;
    m_frameSections.clear();
    m_frameTotal = 0.0f;
}

void ScopedProfiler::EndFrame() {
    m_active = m_enableRequest;
    m_shownSections = m_frameSections;
    m_lastFrameTotal = m_frameTotal;
    OnSceneBegin();
}

void ScopedProfiler::BeginSection(const std::string& name) {
    if (!m_active) return;
    m_timer.Tick();
    m_openSections.push_back({name, m_timer.GetSeconds(), 0.0f});
}

void ScopedProfiler::EndSection() {
    if (!m_active || m_openSections.empty()) return;
    m_timer.Tick();
    OpenSection closed = std::move(m_openSections.back());
    m_openSections.pop_back();
    f32 elapsed = m_timer.GetSeconds() - closed.startSeconds;
    if (!m_openSections.empty()) m_openSections.back().childSeconds += elapsed;
    f32 own = elapsed - closed.childSeconds;
    m_frameSections[closed.name] += own;
    m_frameTotal += own;
}

void ScopedProfiler::OnKeyTriggered(int key, bool pressed) {
    if (key == kActivationKey) OnActivationKey(pressed);
}

void ScopedProfiler::OnActivationKey(bool pressed) {
    if (pressed && m_allowed) m_enableRequest = !m_enableRequest;
}

void ScopedProfiler::OnSceneBegin() {
    if (!m_active) return;
    DrawSummaryLine();
    DrawSectionLines();
}

void ScopedProfiler::DrawSummaryLine() {
    if (!(m_lastFrameTotal > 0.0f)) return;
    m_averageFps = (m_averageFps * 9.0f + 1.0f / m_lastFrameTotal) / 10.0f;
    m_averageFrameTime = (m_averageFrameTime * 9.0f + m_lastFrameTotal) / 10.0f;
    char line[64];
    std::snprintf(line, sizeof(line), "%.1f (%.4fs)", double(m_averageFps),
                  double(m_averageFrameTime));
    DrawText(line, 5.0f, 255);
}

void ScopedProfiler::DrawSectionLines() {
    int y = ReportHeight() - int(m_shownSections.size()) * kLineStep;
    for (const auto& [name, seconds] : m_shownSections) {
        // A zero total (coarse clock, or the first frame after switching
        // on) shows 0 rather than converting infinity to int.
        int share = m_lastFrameTotal > 0.0f ? int(seconds / m_lastFrameTotal * 100.0f) : 0;
        char line[128];
        std::snprintf(line, sizeof(line), "%s:%3d%% (%.4fs)", name.c_str(), share,
                      double(seconds));
        DrawText(line, float(y), 54);
        y += kLineStep;
    }
}

void ScopedProfiler::DrawText(const char* text, float y, u8 red) {
    if (m_drawText) m_drawText(text, 5.0f, y, red, 69, 79, 255);
}

int ScopedProfiler::ReportHeight() const { return m_height ? m_height() : kDefaultReportHeight; }

}  // namespace Ostrel

namespace {

void RegisterScopedProfiler(Ostrel::MetaClass& meta) {
    meta.AddMethod("OnActivationKey", Ostrel::MakeMethod(&Ostrel::ScopedProfiler::OnActivationKey));
    meta.AddMethod("OnSceneBegin", Ostrel::MakeMethod(&Ostrel::ScopedProfiler::OnSceneBegin));
}

}  // namespace

LV_REFLECT_CLASS(Ostrel::ScopedProfiler, RegisterScopedProfiler);
