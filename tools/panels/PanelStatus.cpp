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

}  // namespace

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

void BuildStatusLine(const PanelStatus& status, float displayWidth, float displayHeight) {
    if (!status.Visible()) return;
    // The foreground list draws over every bar and takes no input.
    ImDrawList* list = ImGui::GetForegroundDrawList();
    const float height = ImGui::GetFontSize() + 2 * kPadding;
    const ImVec2 min(0.0f, displayHeight - height);
    const ImVec2 max(displayWidth, displayHeight);
    list->AddRectFilled(min, max, kStripColour);
    const ImVec4 clip(min.x + kPadding, min.y, max.x - kPadding, max.y);
    list->AddText(ImGui::GetFont(), ImGui::GetFontSize(), ImVec2(min.x + kPadding, min.y + kPadding), kTextColour,
                  status.Text().c_str(), nullptr, 0.0f, &clip);
}

}  // namespace Ostrel
