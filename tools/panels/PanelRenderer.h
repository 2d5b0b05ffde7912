#pragma once
// Draws the bars of a PanelModel with Dear ImGui and takes their input.
//
// Each frame has three steps, at three places of the engine's frame:
// - Feed: every keyboard, mouse and focus event of the window, as the
//   window system pumps it (its raw-event hook).
// - BuildFrame, at a safe point after the pump (the window system's pumped
//   hook): one ImGui frame with each bar as a window at its position and
//   size, in its colour with light or dark text, kept inside the display
//   when the model says "contained"; groups are tree nodes in their opened
//   state. What the user changes is queued in the model and run at the end
//   of BuildFrame; where the user moves or resizes a bar (or opens or closes
//   a group) is written back into the model. A bar squeezed into a small
//   display keeps its own place in the model and is shown there again when
//   the display grows.
// - Draw, inside the graphics frame (Graphics' overlay hook, under the
//   render device's lock): the built frame's draw lists through our render
//   device into its back buffer, leaving the device's state as it was.
//
// Strings commit when their field loses the keyboard (Enter, a click
// elsewhere), never per keystroke; numbers and flags as they change, except
// a number typed into its field (Ctrl+click, double click or Tab), whose
// text the model reads once, when the field lets go (Enter, Tab, a click
// anywhere; a click outside the panels commits it at once, before the game
// sees the click); Escape drops it. Text fields hold what is typed whole,
// however long, so the model sees it uncut and refuses what does not fit.
// WantsMouse and WantsKeyboard tell whether the panels own the input, as
// measured by the last built frame.
//
// One renderer (one ImGui context) per process, main thread only; it makes
// its device objects at the first Draw on a device and gives them back in
// ReleaseDeviceObjects. A Draw on another device makes new ones (the old
// device is gone with its objects).

#include "engine/base/Types.h"
#include "engine/graphics/device/DeviceTypes.h"
#include "tools/panels/PanelModel.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

struct ImGuiContext;

namespace Ostrel {

struct WindowInputEvent;

namespace rd {
class Buffer;
class Device;
class Program;
class Shader;
class Texture;
class VertexLayout;
}  // namespace rd

// A rectangle in back-buffer pixels.
struct PanelRect {
    float x = 0, y = 0, width = 0, height = 0;
    float CentreX() const { return x + width / 2; }
    float CentreY() const { return y + height / 2; }
};

class PanelRenderer {
public:
    explicit PanelRenderer(PanelModel& model);
    ~PanelRenderer();
    PanelRenderer(const PanelRenderer&) = delete;
    PanelRenderer& operator=(const PanelRenderer&) = delete;

    void Feed(const WindowInputEvent& event);
    // Builds the frame for a display of the given size (in pixels) and runs
    // the queued actions. dt of 0 or less counts as a 60th of a second.
    void BuildFrame(f32 dt, int displayWidth, int displayHeight);
    // Draws the last built frame (nothing before the first).
    void Draw(rd::Device& device);
    // Gives the device objects back to live when they were made on it;
    // objects of another device (one that is gone) are only forgotten.
    void ReleaseDeviceObjects(rd::Device* live);

    bool WantsMouse() const { return m_wantsMouse; }
    bool WantsKeyboard() const { return m_wantsKeyboard; }
    // The "WindowMessage" listener's answer: whether the panels take the
    // message (codes of WindowMessageId; key codes 1, 2 and 4 are mouse
    // buttons). A release goes where its press went.
    bool TakesWindowMessage(unsigned message, unsigned wParam);

    // Where an entry (its widget with the label beside it) or a bar's
    // window was in the last frame.
    std::optional<PanelRect> ItemRect(const std::string& bar, const std::string& group, const std::string& name) const;
    // The part of the entry a click works on: its widget without the label.
    std::optional<PanelRect> ItemTarget(const std::string& bar, const std::string& group,
                                        const std::string& name) const;
    std::optional<PanelRect> BarRect(const std::string& bar) const;

private:
    // What Draw made on one device (owned by that device; given back by
    // ReleaseDeviceObjects).
    struct DeviceObjects {
        rd::Device* device = nullptr;
        rd::Shader* vs = nullptr;
        rd::Shader* ps = nullptr;
        rd::Program* program = nullptr;
        rd::VertexLayout* layout = nullptr;
        rd::Texture* atlas = nullptr;
        rd::Buffer* vertices = nullptr;
        rd::Buffer* indices = nullptr;
        rd::UniformRef screenSize;
        int atlasUnit = 0;
        bool failed = false;  // logged once; nothing is drawn on that device

        void Release();
    };
    using ItemKey = std::tuple<std::string, std::string, std::string>;

    void NewFrame(f32 dt, int displayWidth, int displayHeight);
    void BuildBar(PanelBar& bar, float displayWidth, float displayHeight);
    void BuildChildren(PanelBar& bar, const std::string& group);
    void BuildGroup(PanelBar& bar, PanelGroupInfo& group);
    void BuildEntry(PanelBar& bar, PanelEntry& entry);
    // Answers the width its widget was given.
    float BuildField(PanelBar& bar, PanelEntry& entry);
    // The width of the bar's label column: its widest field label plus the
    // indent of the groups it sits in.
    float LabelColumnWidth(const PanelBar& bar) const;
    // Puts the label on a line of its own (wrapped) when it would not fit
    // beside the widget; true when it did, so the widget shows none.
    bool LabelAbove(const std::string& label);
    void BuildText(PanelBar& bar, PanelEntry& entry, const PanelValue& value, const std::string& label);
    // An entry's number (component: which of a direction's three).
    using TypingKey = std::pair<u64, int>;
    bool NumberWidget(PanelBar& bar, PanelEntry& entry, int component, const char* label, int dataType, void* data,
                      float speed, const char* format);
    bool DirectionWidget(PanelBar& bar, PanelEntry& entry, const char* label, std::array<f32, 3>& v);
    void EndTyping(const TypingKey& key);
    void CommitTypingBeforeClick();
    bool MakeDeviceObjects(rd::Device& device);
    void DrawLists(rd::Device& device);

    PanelModel& m_model;
    ImGuiContext* m_context = nullptr;
    std::unique_ptr<DeviceObjects> m_objects;
    bool m_built = false;
    int m_displayWidth = 0;
    int m_displayHeight = 0;

    // Input gathered between frames. A press is kept until the frame after
    // it, so a press and release within one frame still make a click.
    std::array<bool, 3> m_mouseDown{};
    std::array<bool, 3> m_mousePressed{};
    std::array<bool, 512> m_keyDown{};
    std::array<bool, 512> m_keyPressed{};
    float m_mouseX = -1e9f;
    float m_mouseY = -1e9f;
    bool m_wantsMouse = false;
    bool m_wantsKeyboard = false;
    std::array<bool, 256> m_swallowedDown{};

    // Per bar: the placement count last applied to its window and where the
    // window was shown (the bar's own place, or squeezed into the display).
    struct Placed {
        u32 placement = 0;
        std::array<s32, 2> position{};
        std::array<s32, 2> size{};
    };
    std::map<u64, Placed> m_placed;
    // Text fields being typed in: their text so far, by entry serial.
    std::map<u64, std::string> m_edits;
    std::set<u64> m_editing;
    // Numbers being typed into: the text so far (ended by a 0, in a buffer
    // that grows with it, so no entry is ever cut) and the text the field
    // began with, the bar, where the field was last drawn, whether it was
    // still typed into in this frame and whether a click already committed
    // it.
    struct Typing {
        u64 bar = 0;
        std::vector<char> text = std::vector<char>(1, '\0');
        std::string initial;
        PanelRect frame;
        bool seen = false;
        bool committed = false;
    };
    std::map<TypingKey, Typing> m_typing;
    std::map<ItemKey, PanelRect> m_itemRects;
    std::map<ItemKey, PanelRect> m_itemTargets;
    std::map<std::string, PanelRect> m_barRects;
};

}  // namespace Ostrel
