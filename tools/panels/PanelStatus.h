#pragma once
// The tools' status line: one line of text saying what just went wrong (a
// room that could not be loaded or saved, a model that could not be
// converted, a file the viewer does not take) and why, drawn across the
// bottom of the window for a few seconds, so the user sees it where they
// are looking and not only in the log. Callers still log the full story;
// the line is the short version.
//
// Each PanelModel owns one (PanelModel::Status()); ShowPanelStatus puts a
// text on the current model's line. A newer text replaces the one showing
// and starts its time again. The panel renderer counts the time down by the
// frame's dt (so a fixed step gives the same frames every run) and draws the
// line over the finished frame, above the bars; it takes no input.
//
// Main thread only.

#include "engine/base/Types.h"

#include <functional>
#include <string>

namespace Ostrel {

class PanelStatus {
public:
    static constexpr f32 kShowSeconds = 5.0f;

    // Shows the first line of text (trailing blanks and line breaks cut)
    // for the given time; an empty text or a time of 0 or less clears.
    void Show(const std::string& text, f32 seconds = kShowSeconds);
    void Clear();
    // Counts the time down; the line goes when it reaches 0.
    void Tick(f32 dt);

    bool Visible() const { return !m_text.empty(); }
    // The text showing, empty when none.
    const std::string& Text() const { return m_text; }
    f32 SecondsLeft() const { return m_secondsLeft; }
    // Grows with every Show, so a caller can tell a new message from the
    // same text shown again.
    u32 Serial() const { return m_serial; }

private:
    std::string m_text;
    f32 m_secondsLeft = 0.0f;
    u32 m_serial = 0;
};

// Shows text on the status line of the current panel model
// (PanelModel::Current()); nothing without one (a run without panels has
// the log only).
void ShowPanelStatus(const std::string& text, f32 seconds = PanelStatus::kShowSeconds);
// Clears the current model's line when its text starts with prefix: a
// command that has just worked takes back its own earlier failure ("Load
// Level: ...") and leaves any other message showing.
void ClearPanelStatus(const std::string& prefix);

// text as it fits in width pixels (measure gives a text's width): whole
// when it fits, else with its middle given up for "...", so that both what
// failed (the start) and why (the end) stay in sight whatever the length of
// a name between them. Cuts fall between UTF-8 characters; "..." alone when
// not even that fits.
std::string FitStatusText(const std::string& text, float width,
                          const std::function<float(const std::string&)>& measure);

// The line in the ImGui frame being built, for a display of the given size:
// a dark red strip across the bottom with the text in white, shortened by
// FitStatusText to the window's width. Called by PanelRenderer::BuildFrame;
// nothing when no text shows.
void BuildStatusLine(const PanelStatus& status, float displayWidth, float displayHeight);

}  // namespace Ostrel
