// The ImGui frame of the panels: input, windows, groups and widgets. Device
// drawing is in PanelDrawing.cpp.

#include "tools/panels/PanelRenderer.h"

#include "engine/platform/PlatformMessages.h"
#include "engine/platform/VirtualKeys.h"
#include "engine/platform/WindowInputEvent.h"
#include "tools/panels/PanelStatus.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>
#include <vector>

namespace Ostrel {

namespace {

constexpr float kDefaultDt = 1.0f / 60.0f;
// The narrowest a value widget gets to make room for the label column.
constexpr float kMinWidgetWidth = 60.0f;

ImVec4 Colour(const std::array<u8, 3>& c, float scale = 1.0f, float towardWhite = 0.0f) {
    auto channel = [&](u8 v) { return std::clamp(v / 255.0f * scale * (1 - towardWhite) + towardWhite, 0.0f, 1.0f); };
    return ImVec4(channel(c[0]), channel(c[1]), channel(c[2]), 1.0f);
}

// The bar's colours: its colour as the background, a darker title, widgets a
// shade away from the background toward the text.
int PushBarStyle(const PanelBar& bar) {
    const ImVec4 text = bar.lightText ? ImVec4(1, 1, 1, 1) : ImVec4(0, 0, 0, 1);
    const ImVec4 frame = bar.lightText ? Colour(bar.colour, 0.6f) : Colour(bar.colour, 1.0f, 0.45f);
    const ImVec4 hover = bar.lightText ? Colour(bar.colour, 0.45f) : Colour(bar.colour, 1.0f, 0.6f);
    const std::pair<ImGuiCol, ImVec4> colours[] = {
        {ImGuiCol_WindowBg, Colour(bar.colour)},
        {ImGuiCol_TitleBg, Colour(bar.colour, 0.7f)},
        {ImGuiCol_TitleBgActive, Colour(bar.colour, 0.55f)},
        {ImGuiCol_Text, text},
        {ImGuiCol_FrameBg, frame},
        {ImGuiCol_FrameBgHovered, hover},
        {ImGuiCol_FrameBgActive, hover},
        {ImGuiCol_Button, frame},
        {ImGuiCol_ButtonHovered, hover},
        {ImGuiCol_ButtonActive, hover},
        {ImGuiCol_Header, frame},
        {ImGuiCol_HeaderHovered, hover},
        {ImGuiCol_HeaderActive, hover},
        {ImGuiCol_CheckMark, text},
        {ImGuiCol_Separator, text},
    };
    for (const auto& [slot, colour] : colours) ImGui::PushStyleColor(slot, colour);
    return int(std::size(colours));
}

bool IsMouseButtonCode(unsigned code) {
    return code == unsigned(Vk::kLeftButton) || code == unsigned(Vk::kRightButton) || code == 4;
}

// Keys ImGui's text fields and navigation use, as our virtual-key codes.
void MapKeys(ImGuiIO& io) {
    const std::pair<ImGuiKey, int> keys[] = {
        {ImGuiKey_Tab, Vk::kTab},        {ImGuiKey_LeftArrow, 37}, {ImGuiKey_RightArrow, 39},
        {ImGuiKey_UpArrow, 38},          {ImGuiKey_DownArrow, 40}, {ImGuiKey_PageUp, 33},
        {ImGuiKey_PageDown, 34},         {ImGuiKey_Home, 36},      {ImGuiKey_End, 35},
        {ImGuiKey_Insert, 45},           {ImGuiKey_Delete, 46},    {ImGuiKey_Backspace, Vk::kBack},
        {ImGuiKey_Space, Vk::kSpace},    {ImGuiKey_Enter, Vk::kReturn}, {ImGuiKey_Escape, Vk::kEscape},
        {ImGuiKey_KeyPadEnter, Vk::kReturn}, {ImGuiKey_A, 'A'}, {ImGuiKey_C, 'C'},
        {ImGuiKey_V, 'V'},               {ImGuiKey_X, 'X'},        {ImGuiKey_Y, 'Y'},
        {ImGuiKey_Z, 'Z'},
    };
    for (const auto& [key, code] : keys) io.KeyMap[key] = code;
}

// ImGui asks for room for a typed text that grew (BufSize bytes with its
// ending 0); the buffer keeps its text.
int GrowTypedText(ImGuiInputTextCallbackData* data) {
    auto* text = static_cast<std::vector<char>*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackResize && data->BufSize > int(text->size())) {
        text->resize(size_t(data->BufSize), '\0');
        data->Buf = text->data();
    }
    return 0;
}

PanelRect LastItemRect() {
    const ImVec2 min = ImGui::GetItemRectMin();
    const ImVec2 max = ImGui::GetItemRectMax();
    return {min.x, min.y, max.x - min.x, max.y - min.y};
}

}  // namespace

PanelRenderer::PanelRenderer(PanelModel& model) : m_model(model) {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    m_context = ImGui::CreateContext();
    ImGui::SetCurrentContext(m_context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // the model keeps the layout; no imgui.ini
    io.LogFilename = nullptr;
    io.BackendPlatformName = "lantern-vaults";
    io.BackendRendererName = "lantern-vaults render device";
    MapKeys(io);
    ImGui::StyleColorsDark();
    ImGui::GetStyle().WindowRounding = 0.0f;
    if (previous) ImGui::SetCurrentContext(previous);
}

PanelRenderer::~PanelRenderer() {
    ReleaseDeviceObjects(nullptr);
    ImGui::DestroyContext(m_context);
}

void PanelRenderer::Feed(const WindowInputEvent& event) {
    using Kind = WindowInputEvent::Kind;
    ImGui::SetCurrentContext(m_context);
    ImGuiIO& io = ImGui::GetIO();
    switch (event.kind) {
    case Kind::MouseMove:
        m_mouseX = float(event.x);
        m_mouseY = float(event.y);
        break;
    case Kind::MouseButton:
        // The cursor comes from motion events only: injected button events
        // carry no position.
        m_mouseDown[size_t(event.button)] = event.down;
        if (event.down) {
            m_mousePressed[size_t(event.button)] = true;
            // A left click anywhere but on the field lets a typed field go.
            if (event.button == WindowInputEvent::kLeft) CommitTypingBeforeClick();
        }
        break;
    case Kind::MouseWheel:
        io.MouseWheel += event.wheelY;
        io.MouseWheelH += event.wheelX;
        break;
    case Kind::Key:
        if (event.virtualKey <= 0 || event.virtualKey >= int(m_keyDown.size())) break;
        // A key down at any moment since the last frame is down for the
        // next one: on a slow frame Ctrl may be let go in the same batch as
        // the A it was held for, and Ctrl+A must still select all.
        if (event.down || m_keyDown[size_t(event.virtualKey)]) m_keyPressed[size_t(event.virtualKey)] = true;
        m_keyDown[size_t(event.virtualKey)] = event.down;
        break;
    case Kind::Text:
        io.AddInputCharactersUTF8(event.text.c_str());
        break;
    case Kind::FocusGained:
    case Kind::FocusLost:
        io.AddFocusEvent(event.kind == Kind::FocusGained);
        if (event.kind == Kind::FocusLost) {
            m_mouseDown.fill(false);
            m_keyDown.fill(false);
        }
        break;
    case Kind::None:
        break;
    }
}

void PanelRenderer::NewFrame(f32 dt, int displayWidth, int displayHeight) {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(std::max(displayWidth, 1)), float(std::max(displayHeight, 1)));
    io.DeltaTime = dt > 0.0f ? dt : kDefaultDt;
    io.MousePos = ImVec2(m_mouseX, m_mouseY);
    for (size_t i = 0; i < m_mouseDown.size(); ++i) {
        io.MouseDown[i] = m_mouseDown[i] || m_mousePressed[i];
        m_mousePressed[i] = false;
    }
    for (size_t i = 0; i < m_keyDown.size(); ++i) {
        io.KeysDown[i] = m_keyDown[i] || m_keyPressed[i];
        m_keyPressed[i] = false;
    }
    io.KeyShift = io.KeysDown[Vk::kShift];
    io.KeyCtrl = io.KeysDown[Vk::kControl];
    io.KeyAlt = io.KeysDown[Vk::kMenu];
    ImGui::NewFrame();
}

void PanelRenderer::BuildFrame(f32 dt, int displayWidth, int displayHeight) {
    ImGui::SetCurrentContext(m_context);
    m_displayWidth = displayWidth;
    m_displayHeight = displayHeight;
    // The font atlas is built on the CPU here; Draw uploads it.
    if (!ImGui::GetIO().Fonts->IsBuilt()) {
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        ImGui::GetIO().Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    }
    NewFrame(dt, displayWidth, displayHeight);
    m_itemRects.clear();
    m_itemTargets.clear();
    m_barRects.clear();
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    // A refused value's note shows for a while, folded groups or not.
    for (const auto& bar : m_model.Bars()) {
        for (PanelEntry& entry : bar->entries) {
            if (entry.note.empty()) continue;
            entry.noteSeconds -= ImGui::GetIO().DeltaTime;
            if (entry.noteSeconds <= 0.0f) entry.note.clear();
        }
    }
    // Bars made or deleted by an action run below wait for the next frame.
    std::vector<PanelBar*> bars;
    for (const auto& bar : m_model.Bars()) bars.push_back(bar.get());
    for (PanelBar* bar : bars) BuildBar(*bar, display.x, display.y);
    m_model.Status().Tick(dt > 0.0f ? dt : kDefaultDt);
    BuildStatusLine(m_model.Status(), display.x, display.y);
    ImGui::Render();
    m_built = true;
    m_wantsMouse = ImGui::GetIO().WantCaptureMouse;
    m_wantsKeyboard = ImGui::GetIO().WantCaptureKeyboard;
    std::erase_if(m_placed, [this](const auto& placed) {
        return std::none_of(m_model.Bars().begin(), m_model.Bars().end(),
                            [&](const auto& bar) { return bar->serial == placed.first; });
    });
    std::erase_if(m_edits, [this](const auto& edit) { return !m_editing.count(edit.first); });
    // Numbers no longer typed into (let go, or their field is gone) are
    // committed before the frame's actions run.
    std::vector<TypingKey> ended;
    for (auto& [key, typing] : m_typing) {
        if (!std::exchange(typing.seen, false)) ended.push_back(key);
    }
    for (const TypingKey& key : ended) EndTyping(key);
    m_model.RunQueued();
}

void PanelRenderer::BuildBar(PanelBar& bar, float displayWidth, float displayHeight) {
    // The bar's own place is where code or the user put it; in a display
    // too small for it ("contained") it is shown squeezed inside, and it
    // goes back to its own place when the display grows again.
    std::array<s32, 2> size = bar.size;
    std::array<s32, 2> position = bar.position;
    if (m_model.Contained()) {
        size = {std::min(size[0], s32(displayWidth)), std::min(size[1], s32(displayHeight))};
        position = {std::clamp(position[0], 0, std::max(s32(displayWidth) - size[0], 0)),
                    std::clamp(position[1], 0, std::max(s32(displayHeight) - size[1], 0))};
    }
    Placed& placed = m_placed[bar.serial];
    if (placed.placement != bar.placement || placed.position != position || placed.size != size) {
        ImGui::SetNextWindowPos(ImVec2(float(position[0]), float(position[1])), ImGuiCond_Always);
        ImGui::SetNextWindowSize(ImVec2(float(size[0]), float(size[1])), ImGuiCond_Always);
        placed = {bar.placement, position, size};
    }
    const int colours = PushBarStyle(bar);
    const std::string title = bar.label + "###" + bar.name;
    ImGui::Begin(title.c_str(), nullptr, ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings);
    // Widgets share one width, leaving the labels a column wide enough for
    // the longest; a bar too narrow for that wraps its long labels instead.
    const float content = ImGui::GetContentRegionAvail().x;
    const float labels = LabelColumnWidth(bar) + ImGui::GetStyle().ItemInnerSpacing.x;
    ImGui::PushItemWidth(std::max(content - labels, std::min(kMinWidgetWidth, content * 0.5f)));
    BuildChildren(bar, "");
    ImGui::PopItemWidth();
    const ImVec2 shown = ImGui::GetWindowPos();
    const ImVec2 extent = ImGui::GetWindowSize();
    ImGui::End();
    ImGui::PopStyleColor(colours);
    // Where the user moved or resized it becomes the bar's own place; the
    // squeezed place the display forced stays the display's.
    const std::array<s32, 2> shownPosition{s32(std::lround(shown.x)), s32(std::lround(shown.y))};
    const std::array<s32, 2> shownSize{s32(std::lround(extent.x)), s32(std::lround(extent.y))};
    if (shownPosition != placed.position) bar.position = placed.position = shownPosition;
    if (shownSize != placed.size) bar.size = placed.size = shownSize;
    m_barRects[bar.name] = {shown.x, shown.y, extent.x, extent.y};
}

float PanelRenderer::LabelColumnWidth(const PanelBar& bar) const {
    const float indent = ImGui::GetStyle().IndentSpacing;
    float widest = 0.0f;
    for (const PanelEntry& entry : bar.entries) {
        if (!entry.IsField()) continue;
        // Each group level indents its entries (a cycle of parents is cut).
        int depth = 0;
        for (std::string group = entry.group; !group.empty() && depth < 8; ++depth) {
            const PanelGroupInfo* info = bar.FindGroup(group);
            group = info && info->parent != group ? info->parent : std::string();
        }
        widest = std::max(widest, ImGui::CalcTextSize(entry.label.c_str()).x + float(depth) * indent);
    }
    return widest;
}

bool PanelRenderer::LabelAbove(const std::string& label) {
    const ImGuiStyle& style = ImGui::GetStyle();
    const float end = ImGui::GetCursorPosX() + ImGui::CalcItemWidth() + style.ItemInnerSpacing.x +
                      ImGui::CalcTextSize(label.c_str()).x;
    if (end <= ImGui::GetWindowContentRegionMax().x) return false;
    ImGui::PushTextWrapPos(0.0f);
    ImGui::TextUnformatted(label.c_str());
    ImGui::PopTextWrapPos();
    return true;
}

void PanelRenderer::BuildChildren(PanelBar& bar, const std::string& group) {
    // Entries and subgroups of the group, in the order they were made. By
    // serial and name, since a callback run later may change the lists.
    struct Child {
        u64 order;
        bool isGroup;
        size_t index;
    };
    std::vector<Child> children;
    for (size_t i = 0; i < bar.entries.size(); ++i) {
        if (bar.entries[i].group == group) children.push_back({bar.entries[i].order, false, i});
    }
    for (size_t i = 0; i < bar.groups.size(); ++i) {
        if (bar.groups[i].parent == group && bar.groups[i].name != group) children.push_back({bar.groups[i].order, true, i});
    }
    std::sort(children.begin(), children.end(), [](const Child& a, const Child& b) { return a.order < b.order; });
    for (const Child& child : children) {
        if (child.isGroup) {
            BuildGroup(bar, bar.groups[child.index]);
        } else {
            BuildEntry(bar, bar.entries[child.index]);
        }
    }
}

void PanelRenderer::BuildGroup(PanelBar& bar, PanelGroupInfo& group) {
    const std::string title = group.label + "###group:" + group.name;
    ImGui::SetNextItemOpen(group.opened, ImGuiCond_Always);
    const bool open = ImGui::TreeNodeEx(title.c_str(), ImGuiTreeNodeFlags_Framed);
    group.opened = open;
    if (!open) return;
    const std::string name = group.name;  // the tree below only reads the lists
    BuildChildren(bar, name);
    ImGui::TreePop();
}

void PanelRenderer::BuildEntry(PanelBar& bar, PanelEntry& entry) {
    ImGui::PushID(int(entry.serial & 0x7FFFFFFF));
    float widgetWidth = ImGui::CalcItemWidth();
    switch (entry.kind) {
    case PanelEntry::Kind::Separator:
        ImGui::Separator();
        break;
    case PanelEntry::Kind::Button:
        if (ImGui::Button((entry.label + "###button").c_str())) m_model.QueuePress(bar, entry);
        break;
    case PanelEntry::Kind::Variable:
    case PanelEntry::Kind::Callback:
        widgetWidth = BuildField(bar, entry);
        break;
    }
    const PanelRect rect = LastItemRect();
    m_itemRects[{bar.name, entry.group, entry.name}] = rect;
    // A field's label is beside its widget (a check box is a square).
    PanelRect target = rect;
    if (entry.IsField())
        target.width = std::min(rect.width, entry.type == PanelType::BoolCpp ? rect.height : widgetWidth);
    m_itemTargets[{bar.name, entry.group, entry.name}] = target;
    if (!entry.note.empty()) {
        // Under the field, in a colour that stands out on the bar's own.
        const ImVec4 colour = bar.lightText ? ImVec4(1.0f, 0.9f, 0.2f, 1.0f) : ImVec4(0.6f, 0.0f, 0.0f, 1.0f);
        ImGui::PushStyleColor(ImGuiCol_Text, colour);
        ImGui::PushTextWrapPos(0.0f);
        ImGui::TextUnformatted(entry.note.c_str());
        ImGui::PopTextWrapPos();
        ImGui::PopStyleColor();
    }
    ImGui::PopID();
}

float PanelRenderer::BuildField(PanelBar& bar, PanelEntry& entry) {
    PanelValue value = m_model.Read(entry);
    if (value.index() == 0) value = entry.type == PanelType::StdString ? PanelValue(std::string()) : value;
    const bool editable = entry.IsEditable();
    // Read-only text is there to be read whole: when it is wider than the
    // widget, its label goes on a line above and the text takes the bar's
    // whole width.
    const auto* text = std::get_if<std::string>(&value);
    const float textWidth = text ? ImGui::CalcTextSize(text->c_str()).x + 2 * ImGui::GetStyle().FramePadding.x : 0.0f;
    const bool wide = !editable && text && textWidth > ImGui::CalcItemWidth();
    std::string label = "###value";
    if (wide) {
        ImGui::TextUnformatted(entry.label.c_str());
        ImGui::PushItemWidth(-FLT_MIN);
    } else if (!LabelAbove(entry.label)) {
        label = entry.label + label;
    }
    const float width = ImGui::CalcItemWidth();
    ImGui::BeginDisabled(!editable && entry.type != PanelType::StdString);
    bool changed = false;
    switch (entry.type) {
    case PanelType::BoolCpp: {
        bool v = std::holds_alternative<bool>(value) && std::get<bool>(value);
        changed = ImGui::Checkbox(label.c_str(), &v);
        value = v;
        break;
    }
    case PanelType::Int32: {
        s32 v = std::holds_alternative<s32>(value) ? std::get<s32>(value) : 0;
        changed = NumberWidget(bar, entry, 0, label.c_str(), ImGuiDataType_S32, &v, 0.2f, "%d");
        value = v;
        break;
    }
    case PanelType::UInt32: {
        u32 v = std::holds_alternative<u32>(value) ? std::get<u32>(value) : 0;
        changed = NumberWidget(bar, entry, 0, label.c_str(), ImGuiDataType_U32, &v, 0.2f, "%u");
        value = v;
        break;
    }
    case PanelType::Float: {
        f32 v = std::holds_alternative<f32>(value) ? std::get<f32>(value) : 0.0f;
        changed = NumberWidget(bar, entry, 0, label.c_str(), ImGuiDataType_Float, &v, 0.05f, "%.3f");
        value = v;
        break;
    }
    case PanelType::Dir3f: {
        std::array<f32, 3> v = std::holds_alternative<std::array<f32, 3>>(value) ? std::get<std::array<f32, 3>>(value)
                                                                                 : std::array<f32, 3>{};
        changed = DirectionWidget(bar, entry, label.c_str(), v);
        value = v;
        break;
    }
    case PanelType::Char:
    case PanelType::StdString:
        BuildText(bar, entry, value, label);
        break;
    case PanelType::Undefined:
        break;
    }
    ImGui::EndDisabled();
    if (wide) ImGui::PopItemWidth();
    if (changed && editable) m_model.QueueCommit(bar, entry, std::move(value));
    return width;
}

// A number is dragged, or typed into (double click, Ctrl+click, Tab). ImGui's
// own typed field drops letters as they are typed and reads "3x" as 3 and
// "1.5.5" as 1.5, applying each keystroke; here the text is kept whole,
// and once the field lets go (Enter, Tab, a click elsewhere) the model
// reads it and takes or refuses it. Escape puts back the text the field
// began with, which commits nothing. True when dragged to a new value.
bool PanelRenderer::NumberWidget(PanelBar& bar, PanelEntry& entry, int component, const char* label,
                                 int dataType, void* data, float speed, const char* format) {
    ImGuiWindow* window = ImGui::GetCurrentWindow();
    const ImGuiID id = window->GetID(label);
    const TypingKey key{entry.serial, component};
    if (!entry.IsEditable() || !ImGui::TempInputIsActive(id)) {
        const bool changed = ImGui::DragScalar(label, dataType, data, speed, nullptr, nullptr, format);
        if (entry.IsEditable() && ImGui::TempInputIsActive(id)) {
            // Typing began in this frame, with ImGui's text of the value.
            EndTyping(key);
            Typing& typing = m_typing[key];
            typing.bar = bar.serial;
            const ImGuiInputTextState* state = ImGui::GetInputTextState(id);
            if (state && state->InitialTextA.Data) typing.initial = state->InitialTextA.Data;
            typing.text.assign(typing.initial.begin(), typing.initial.end());
            typing.text.push_back('\0');
            const ImVec2 min = ImGui::GetItemRectMin();
            typing.frame = {min.x, min.y, ImGui::CalcItemWidth(), ImGui::GetItemRectMax().y - min.y};
            typing.seen = true;
        }
        return changed;
    }
    Typing& typing = m_typing[key];
    if (typing.bar == 0) {
        typing.bar = bar.serial;
        typing.committed = true;  // taken over midway: its text is not known whole
    }
    // Laid out as ImGui lays out the typed field of a drag widget.
    const ImGuiStyle& style = ImGui::GetStyle();
    const ImVec2 labelSize = ImGui::CalcTextSize(label, nullptr, true);
    const ImVec2 at = window->DC.CursorPos;
    const ImRect frame(at, ImVec2(at.x + ImGui::CalcItemWidth(), at.y + labelSize.y + style.FramePadding.y * 2.0f));
    const ImRect total(frame.Min, ImVec2(frame.Max.x + (labelSize.x > 0.0f ? style.ItemInnerSpacing.x + labelSize.x : 0.0f),
                                         frame.Max.y));
    ImGui::ItemSize(total, style.FramePadding.y);
    if (!ImGui::ItemAdd(total, id, &frame, ImGuiItemFlags_Inputable)) return false;
    typing.frame = {frame.Min.x, frame.Min.y, frame.GetWidth(), frame.GetHeight()};
    // ImGui's TempInputText, with a buffer that grows: ImGui's own stops
    // taking characters at the size the drag widget began it with (32),
    // silently, and the number would be read cut. Whole, an entry longer
    // than the field holds reaches the model and is refused there.
    window->DC.CursorPos = frame.Min;
    const ImGuiInputTextFlags flags = ImGuiInputTextFlags(ImGuiInputTextFlags_AutoSelectAll) |
                                      ImGuiInputTextFlags_NoMarkEdited | ImGuiInputTextFlags_CallbackResize |
                                      ImGuiInputTextFlags(ImGuiInputTextFlags_MergedItem);
    ImGui::InputTextEx(label, nullptr, typing.text.data(), int(typing.text.size()), frame.GetSize(), flags,
                       GrowTypedText, &typing.text);
    typing.seen = ImGui::TempInputIsActive(id);
    return false;
}

// A direction's three numbers side by side, as ImGui's DragFloat3 lays
// them out, each dragged or typed into on its own.
bool PanelRenderer::DirectionWidget(PanelBar& bar, PanelEntry& entry, const char* label, std::array<f32, 3>& v) {
    const ImGuiStyle& style = ImGui::GetStyle();
    bool changed = false;
    ImGui::BeginGroup();
    ImGui::PushID(label);
    ImGui::PushMultiItemsWidths(3, ImGui::CalcItemWidth());
    for (int i = 0; i < 3; ++i) {
        ImGui::PushID(i);
        if (i > 0) ImGui::SameLine(0.0f, style.ItemInnerSpacing.x);
        changed |= NumberWidget(bar, entry, i, "", ImGuiDataType_Float, &v[size_t(i)], 0.01f, "%.3f");
        ImGui::PopID();
        ImGui::PopItemWidth();
    }
    ImGui::PopID();
    const char* labelEnd = ImGui::FindRenderedTextEnd(label);
    if (label != labelEnd) {
        ImGui::SameLine(0.0f, style.ItemInnerSpacing.x);
        ImGui::TextEx(label, labelEnd);
    }
    ImGui::EndGroup();
    return changed;
}

// Hands a finished typed entry to the model, once, unless it is still the
// text the field began with.
void PanelRenderer::EndTyping(const TypingKey& key) {
    const auto found = m_typing.find(key);
    if (found == m_typing.end()) return;
    const Typing& typing = found->second;
    const std::string text = typing.text.data();
    if (!typing.committed && text != typing.initial) m_model.QueueTyped(typing.bar, key.first, key.second, text);
    m_typing.erase(found);
}

// Commits what is being typed right away, for a click that leaves the
// panels: the game or editor acts on that click before the next frame is
// built, and may refill the bar whose field it was (picking another object
// does), so waiting for ImGui to let the field go would lose the number.
void PanelRenderer::CommitTypingBeforeClick() {
    bool queued = false;
    for (auto& [key, typing] : m_typing) {
        if (typing.committed) continue;
        const bool inside = m_mouseX >= typing.frame.x && m_mouseX < typing.frame.x + typing.frame.width &&
                            m_mouseY >= typing.frame.y && m_mouseY < typing.frame.y + typing.frame.height;
        if (inside) continue;
        const std::string text = typing.text.data();
        if (text != typing.initial) {
            m_model.QueueTyped(typing.bar, key.first, key.second, text);
            queued = true;
        }
        typing.committed = true;
    }
    if (queued) m_model.RunQueued();
}

// Text (and single characters) are typed into a buffer of their own, which
// grows with the text, and committed once, when the field lets the keyboard
// go: a text whole, a character as a typed entry the model reads.
void PanelRenderer::BuildText(PanelBar& bar, PanelEntry& entry, const PanelValue& value, const std::string& label) {
    std::string shown;
    if (const auto* text = std::get_if<std::string>(&value)) shown = *text;
    if (const auto* c = std::get_if<char>(&value)) shown = *c ? std::string(1, *c) : std::string();
    std::string& edit = m_edits[entry.serial];
    if (!m_editing.count(entry.serial)) edit = shown;
    const bool editable = entry.IsEditable();
    ImGuiInputTextFlags flags = editable ? 0 : ImGuiInputTextFlags_ReadOnly;
    ImGui::InputText(label.c_str(), &edit, flags);
    if (ImGui::IsItemActive()) {
        m_editing.insert(entry.serial);
    } else {
        m_editing.erase(entry.serial);
    }
    if (!editable || !ImGui::IsItemDeactivatedAfterEdit()) return;
    if (entry.type == PanelType::Char) {
        // Read as typed: more than one character is refused, not cut to the first.
        m_model.QueueTyped(bar.serial, entry.serial, 0, edit);
    } else {
        m_model.QueueCommit(bar, entry, edit);
    }
}

bool PanelRenderer::TakesWindowMessage(unsigned message, unsigned wParam) {
    const bool keyMessage = message == WindowMessageId::kKeyDown || message == WindowMessageId::kKeyUp ||
                            message == WindowMessageId::kSysKeyDown;
    if (message == WindowMessageId::kMouseMove || message == WindowMessageId::kMouseWheel) return m_wantsMouse;
    if (message == WindowMessageId::kLButtonDown || message == WindowMessageId::kLButtonUp) {
        wParam = unsigned(Vk::kLeftButton);
    } else if (!keyMessage || wParam >= m_swallowedDown.size()) {
        return false;
    }
    const bool down = message != WindowMessageId::kKeyUp && message != WindowMessageId::kLButtonUp;
    if (!down) {
        // The release goes where the press went, so nothing stays held.
        return std::exchange(m_swallowedDown[wParam], false);
    }
    const bool take = IsMouseButtonCode(wParam) ? m_wantsMouse : m_wantsKeyboard;
    m_swallowedDown[wParam] = take;
    return take;
}

std::optional<PanelRect> PanelRenderer::ItemRect(const std::string& bar, const std::string& group,
                                                 const std::string& name) const {
    const auto found = m_itemRects.find({bar, group, name});
    if (found == m_itemRects.end()) return std::nullopt;
    return found->second;
}

std::optional<PanelRect> PanelRenderer::ItemTarget(const std::string& bar, const std::string& group,
                                                   const std::string& name) const {
    const auto found = m_itemTargets.find({bar, group, name});
    if (found == m_itemTargets.end()) return std::nullopt;
    return found->second;
}

std::optional<PanelRect> PanelRenderer::BarRect(const std::string& bar) const {
    const auto found = m_barRects.find(bar);
    if (found == m_barRects.end()) return std::nullopt;
    return found->second;
}

}  // namespace Ostrel
