#include "tools/panels/PanelStatus.h"

#include "tools/panels/PanelModel.h"

#include <imgui.h>

namespace Ostrel {

namespace {

// Pixels between the strip's edge and its text.
constexpr float kPadding = 6.0f;
const ImU32 kStripColour = IM_COL32(120, 16, 16, 235);
const ImU32 kTextColour = IM_COL32(255, 255, 255, 255);

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    const size_t end = line.find_last_not_of(" \t");
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first kept bytes of text and the last ones, keep bytes in all (the
// start gets the smaller half), with "..." between, cut between characters.
std::string KeepEnds(const std::string& text, size_t keep) {
    size_t headEnd = keep / 2;
    while (headEnd > 0 && IsContinuationByte(text[headEnd])) --headEnd;
    size_t tailStart = text.size() - (keep - keep / 2);
    while (tailStart < text.size() && IsContinuationByte(text[tailStart])) ++tailStart;
    return text.substr(0, headEnd) + "..." + text.substr(tailStart);
}

}  // namespace

std::string FitStatusText(const std::string& text, float width,
                          const std::function<float(const std::string&)>& measure) {
    if (measure(text) <= width) return text;
    // The most bytes whose ends fit, by halving: a longer keep is never narrower.
    size_t fits = 0, tooMany = text.size();
    while (tooMany - fits > 1) {
        const size_t keep = fits + (tooMany - fits) / 2;
        (measure(KeepEnds(text, keep)) <= width ? fits : tooMany) = keep;
    }
    return KeepEnds(text, fits);
}

void PanelStatus::Show(const std::string& text, f32 seconds) {
    ++m_serial;
    m_text = seconds > 0.0f ? FirstLine(text) : std::string();
    m_secondsLeft = m_text.empty() ? 0.0f : seconds;
}

void PanelStatus::Clear() {
    m_text.clear();
    m_secondsLeft = 0.0f;
}

void PanelStatus::Tick(f32 dt) {
    if (m_text.empty() || dt <= 0.0f) return;
    m_secondsLeft -= dt;
    if (m_secondsLeft <= 0.0f) Clear();
}

void ShowPanelStatus(const std::string& text, f32 seconds) {
    if (PanelModel* model = PanelModel::Current()) model->Status().Show(text, seconds);
}

void ClearPanelStatus(const std::string& prefix) {
    PanelModel* model = PanelModel::Current();
    if (model != nullptr && model->Status().Text().rfind(prefix, 0) == 0) model->Status().Clear();
}

void BuildStatusLine(const PanelStatus& status, float displayWidth, float displayHeight) {
    if (!status.Visible()) return;
    // The foreground list draws over every bar and takes no input.
    ImDrawList* list = ImGui::GetForegroundDrawList();
    const float height = ImGui::GetFontSize() + 2 * kPadding;
    const ImVec2 min(0.0f, displayHeight - height);
    const ImVec2 max(displayWidth, displayHeight);
    list->AddRectFilled(min, max, kStripColour);
    const ImVec4 clip(min.x + kPadding, min.y, max.x - kPadding, max.y);
    const std::string text = FitStatusText(status.Text(), clip.z - clip.x, [](const std::string& candidate) {
        return ImGui::CalcTextSize(candidate.c_str(), candidate.c_str() + candidate.size()).x;
    });
    list->AddText(ImGui::GetFont(), ImGui::GetFontSize(), ImVec2(min.x + kPadding, min.y + kPadding), kTextColour,
                  text.c_str(), nullptr, 0.0f, &clip);
}

}  // namespace Ostrel
