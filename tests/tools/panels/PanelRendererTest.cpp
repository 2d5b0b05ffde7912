// The panel renderer headless: ImGui frames fed with window events, the
// edits they queue, the input the panels take from the game, and the draw
// lists through the recording device.

#include "tools/panels/PanelApi.h"
#include "tools/panels/PanelRenderer.h"
#include "tools/panels/PanelStatus.h"

#include "engine/graphics/device/RecordingDevice.h"
#include "engine/platform/PlatformMessages.h"
#include "engine/platform/WindowInputEvent.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

namespace Ostrel {
namespace {

using Kind = WindowInputEvent::Kind;

struct Pressed {
    int count = 0;
};
void Press(void* p) {
    ++static_cast<Pressed*>(p)->count;
}
struct Named {
    std::string value = "a";
    int sets = 0;
};
void SetName(const void* v, void* n) {
    static_cast<Named*>(n)->value = *static_cast<const std::string*>(v);
    ++static_cast<Named*>(n)->sets;
}
void GetName(void* v, void* n) {
    TwCopyStdStringToLibrary(*static_cast<std::string*>(v), static_cast<Named*>(n)->value);
}

class PanelRendererTest : public ::testing::Test {
protected:
    PanelRendererTest() : renderer(model) {
        bar = TwNewBar("Editor Info");
        const s32 size[2] = {300, 260}, position[2] = {20, 20};
        TwSetParam(bar, nullptr, "size", PanelParamType::Int32, 2, size);
        TwSetParam(bar, nullptr, "position", PanelParamType::Int32, 2, position);
        TwAddVarRW(bar, "Show Floor", PanelType::BoolCpp, &flag);
        TwAddVarRW(bar, "Speed", PanelType::Float, &speed, " group='Camera'");
        TwAddVarCB(bar, "Loading From", PanelType::StdString, SetName, GetName, &name, " group='I/O'");
        TwAddButton(bar, "Load Level", Press, &pressed, "label='Load Level' group='I/O'");
        Frame();
    }

    void Frame(std::vector<WindowInputEvent> events = {}) {
        for (const WindowInputEvent& e : events) renderer.Feed(e);
        renderer.BuildFrame(1.0f / 60.0f, display[0], display[1]);
    }
    static WindowInputEvent Move(float x, float y) {
        WindowInputEvent e;
        e.kind = Kind::MouseMove;
        e.x = int(x);
        e.y = int(y);
        return e;
    }
    static WindowInputEvent Button(bool down, int button = WindowInputEvent::kLeft) {
        WindowInputEvent e;
        e.kind = Kind::MouseButton;
        e.down = down;
        e.button = button;
        e.x = -1;  // set by Click
        return e;
    }
    static WindowInputEvent Key(int vk, bool down) {
        WindowInputEvent e;
        e.kind = Kind::Key;
        e.virtualKey = vk;
        e.down = down;
        return e;
    }
    static WindowInputEvent Text(const std::string& text) {
        WindowInputEvent e;
        e.kind = Kind::Text;
        e.text = text;
        return e;
    }
    // Moves there, then presses and releases within one frame.
    void Click(float x, float y) {
        WindowInputEvent down = Button(true), up = Button(false);
        down.x = up.x = int(x);
        down.y = up.y = int(y);
        Frame({Move(x, y)});
        Frame({down, up});
        Frame();
    }
    void ClickItem(const std::string& group, const std::string& item) {
        const std::optional<PanelRect> rect = renderer.ItemRect("Editor Info", group, item);
        ASSERT_TRUE(rect) << item;
        Click(rect->x + 6, rect->CentreY());
    }

    std::array<int, 2> display{640, 480};
    PanelModel model;
    PanelRenderer renderer;
    PanelBar* bar = nullptr;
    bool flag = false;
    float speed = 2.0f;
    Named name;
    Pressed pressed;
};

TEST_F(PanelRendererTest, ClicksAndTypingEditThroughTheQueueOnce) {
    ClickItem("", "Show Floor");
    EXPECT_TRUE(flag);
    ClickItem("I/O", "Load Level");
    EXPECT_EQ(pressed.count, 1);

    // Typing changes nothing until Enter; Enter commits once.
    ClickItem("I/O", "Loading From");
    EXPECT_TRUE(renderer.WantsKeyboard());
    Frame({Key(46, true), Key(46, false)});  // Delete at the end of the text: nothing
    Frame({Key(8, true)});
    Frame({Key(8, false), Text("ab")});
    Frame({Text("c")});
    EXPECT_EQ(name.value, "a");
    EXPECT_EQ(name.sets, 0);
    Frame({Key(13, true)});
    Frame({Key(13, false)});
    Frame();
    EXPECT_EQ(name.value, "abc");
    EXPECT_EQ(name.sets, 1);
    EXPECT_FALSE(renderer.WantsKeyboard());

    // Leaving the field by a click elsewhere commits as well (half a second
    // later: a quicker click would be a double click, selecting everything).
    for (int i = 0; i < 30; ++i) Frame();
    ClickItem("I/O", "Loading From");
    Frame({Key(35, true), Key(35, false)});  // End: the click put the cursor first
    Frame({Text("d")});
    Click(600, 400);
    EXPECT_EQ(name.value, "abcd");
    EXPECT_EQ(name.sets, 2);
    // A value changed by code shows in the field at the next frame.
    name.value = "room";
    Frame();
    ClickItem("I/O", "Loading From");
    Frame({Key(13, true), Key(13, false)});
    Frame();
    EXPECT_EQ(name.sets, 2);  // Enter without an edit commits nothing
    EXPECT_EQ(name.value, "room");
}

TEST_F(PanelRendererTest, CtrlASelectsTheFieldsTextSoTypingReplacesIt) {
    name.value = "Untitled";
    Frame();
    ClickItem("I/O", "Loading From");
    // A slow frame: Ctrl went down in the last one, and A went down and up
    // and Ctrl was let go before this one was built.
    Frame({Key(17, true)});
    Frame({Key('A', true), Key('A', false), Key(17, false)});
    Frame({Text("room-yak-gate")});
    Frame({Key(13, true), Key(13, false)});
    Frame();
    EXPECT_EQ(name.value, "room-yak-gate");
}

// A number typed into a float field (Ctrl+click makes it a text field)
// that is out of the float's range, or text that is not wholly a number, is
// refused: the field keeps its value and says why under itself for a few
// seconds; a good number then goes in.
TEST_F(PanelRendererTest, TypedNumberOutOfRangeIsRefusedAndTheFieldSaysWhy) {
    auto type = [&](const std::string& text) {
        const PanelRect field = *renderer.ItemTarget("Editor Info", "Camera", "Speed");
        WindowInputEvent down = Button(true), up = Button(false);
        Frame({Move(field.CentreX(), field.CentreY())});
        Frame({Key(17, true), down, up});
        Frame({Key(17, false)});
        Frame({Key(17, true), Key('A', true), Key('A', false), Key(17, false)});
        Frame({Text(text)});
        Frame({Key(13, true), Key(13, false)});
        Frame();
    };
    const PanelRect before = *renderer.ItemRect("Editor Info", "I/O", "Loading From");
    type("1e999");
    EXPECT_EQ(speed, 2.0f);
    const PanelEntry* entry = bar->Find("Camera", "Speed");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->note, "'1e999' is not a finite number; kept 2");
    // The note takes a line under the field.
    EXPECT_GT(renderer.ItemRect("Editor Info", "I/O", "Loading From")->y, before.y + 8);
    for (int i = 0; i < int(PanelModel::kNoteSeconds * 60) + 2; ++i) Frame();
    EXPECT_TRUE(entry->note.empty());
    EXPECT_EQ(renderer.ItemRect("Editor Info", "I/O", "Loading From")->y, before.y);
    type("-1e999");
    EXPECT_EQ(speed, 2.0f);
    // Typed letters stay in the text, and only a whole number is taken.
    for (const char* text : {"3x", "1.5.5", "abc", "--2", "inf", "nan", "INF"}) {
        type(text);
        EXPECT_EQ(speed, 2.0f) << text;
        const bool letter = std::isalpha(text[0]) && text[0] != 'a';
        EXPECT_EQ(entry->note, "'" + std::string(text) + "' is not a " + (letter ? "finite " : "") + "number; kept 2");
    }
    // Forty digits are more than the field holds: refused with the limit,
    // on the status line too, not cut to their first 32 and taken; 32 are
    // held and read.
    const std::string forty = "1234567890123456789012345678901234567890";
    type(forty);
    EXPECT_EQ(speed, 2.0f);
    const std::string tooLong =
        "'12345678901234567890...' is longer than the field holds (40 characters, at most 32); kept 2";
    EXPECT_EQ(entry->note, tooLong);
    EXPECT_EQ(model.Status().Text(), "Speed: " + tooLong);
    type(forty.substr(0, 32));
    EXPECT_EQ(speed, 1.2345678901234567e31f);
    type("3.5");
    EXPECT_EQ(speed, 3.5f);
    EXPECT_TRUE(entry->note.empty());

    // Typed a key at a time, the number goes in once, at Enter: not 1, then
    // 1e9, on the way to a refusal. Escape drops what was typed.
    const PanelRect field = *renderer.ItemTarget("Editor Info", "Camera", "Speed");
    WindowInputEvent down = Button(true), up = Button(false);
    Frame({Key(17, true), down, up});
    Frame({Key(17, false)});
    Frame({Key(17, true), Key('A', true), Key('A', false), Key(17, false)});
    for (const char* key : {"1", "e", "9", "9"}) {
        Frame({Text(key)});
        EXPECT_EQ(speed, 3.5f) << "after " << key;
    }
    Frame({Text("9")});
    Frame({Key(13, true), Key(13, false)});
    Frame();
    EXPECT_EQ(speed, 3.5f);
    EXPECT_EQ(entry->note, "'1e999' is not a finite number; kept 3.5");
    Frame({Move(field.CentreX(), field.CentreY())});
    Frame({Key(17, true), down, up});
    Frame({Key(17, false)});
    Frame({Key(17, true), Key('A', true), Key('A', false), Key(17, false)});
    Frame({Text("7")});
    Frame({Key(27, true), Key(27, false)});
    Frame();
    EXPECT_EQ(speed, 3.5f);
    type("7");
    EXPECT_EQ(speed, 7.0f);
}

// A number typed into a field goes in whatever lets the field go: Enter,
// Tab, a click on the 3D view (pressed and released over two frames or
// within one, and then, as when the click picks another object, the bar
// refilled before the next frame), a click on another field; and after
// a number dropped with Escape. Twenty rounds of each; none is lost.
TEST_F(PanelRendererTest, TypedNumbersAreCommittedHoweverTheFieldIsLeft) {
    float height = 0.0f;
    auto fill = [&] {
        TwRemoveAllVars(bar);
        TwAddVarRW(bar, "Show Floor", PanelType::BoolCpp, &flag);
        TwAddVarRW(bar, "Speed", PanelType::Float, &speed, " group='Camera'");
        TwAddVarRW(bar, "Height", PanelType::Float, &height, " group='Camera'");
    };
    fill();
    Frame();
    auto doubleClick = [&](const char* name) {
        for (int i = 0; i < 20; ++i) Frame();  // apart from the last click
        const PanelRect field = *renderer.ItemTarget("Editor Info", "Camera", name);
        Frame({Move(field.CentreX(), field.CentreY())});
        Frame({Button(true)});
        Frame({Button(false)});
        Frame({Button(true)});
        Frame({Button(false)});
    };
    auto type = [&](const std::string& text) {
        for (char c : text) Frame({Text(std::string(1, c))});
    };
    auto clickAway = [&] {
        Frame({Move(600, 400)});
        Frame({Button(true)});
        Frame({Button(false)});
    };
    const std::vector<std::pair<std::string, std::function<void()>>> leaves = {
        {"Enter", [&] { Frame({Key(13, true)}), Frame({Key(13, false)}); }},
        {"Tab", [&] { Frame({Key(9, true)}), Frame({Key(9, false)}); }},
        {"a click on the view", clickAway},
        {"a click within one frame, the bar refilled",
         [&] {
             Frame({Move(600, 400)});
             renderer.Feed(Button(true));
             renderer.Feed(Button(false));
             fill();
             Frame();
         }},
        {"a click on another field", [&] { ClickItem("", "Show Floor"); }},
        {"Escape, then a click on the view",
         [&] {
             Frame({Key(27, true)});
             Frame({Key(27, false)});
             EXPECT_NE(speed, 55.0f);
             doubleClick("Speed");
             type(std::to_string(int(speed) + 1000));
             clickAway();
         }},
    };
    int number = 100;
    for (const auto& [how, leave] : leaves) {
        for (int round = 0; round < 20; ++round) {
            doubleClick("Speed");
            const bool escape = how.starts_with("Escape");
            const int typed = escape ? 55 : ++number;
            const float before = speed;
            type(std::to_string(typed));
            EXPECT_EQ(speed, before) << how << ": nothing goes in while typing";
            leave();
            Frame();
            const float expected = escape ? before + 1000 : float(typed);
            EXPECT_EQ(speed, expected) << how << ", round " << round;
            if (how != "Tab") {
                EXPECT_FALSE(renderer.WantsKeyboard()) << how;  // Tab moves on to the next field
            }
            if (escape) speed = float(++number);
        }
    }
    EXPECT_EQ(height, 0.0f);

    // A click on the field being typed into only moves its caret.
    doubleClick("Speed");
    type("12");
    for (int i = 0; i < 20; ++i) Frame();
    const PanelRect field = *renderer.ItemTarget("Editor Info", "Camera", "Speed");
    Frame({Move(field.CentreX(), field.CentreY())});
    Frame({Button(true)});
    Frame({Button(false)});
    Frame({Key(35, true), Key(35, false)});  // End
    type("3");
    Frame({Key(13, true)});
    Frame({Key(13, false)});
    EXPECT_EQ(speed, 123.0f);
}

// Labels are read whole: the label column is as wide as the longest label
// with its groups' indent, and where the bar is too narrow for that the
// label goes on a line of its own above its widget.
TEST_F(PanelRendererTest, LongLabelsShowWholeBesideOrAboveTheirWidgets) {
    std::array<float, 3> offset{};
    TwAddVarRW(bar, "ClonePositionModX", PanelType::Float, &offset[0], " group='Clone Settings'");
    TwAddVarRW(bar, "ClonePositionModY", PanelType::Float, &offset[1], " group='Clone Settings'");
    TwAddVarRW(bar, "ClonePositionModZ", PanelType::Float, &offset[2], " group='Clone Settings'");
    ASSERT_TRUE(TwDefine("'Editor Info'/'Clone Settings' group='Camera'"));
    std::string archetype = "menhir-gate-obj";
    TwAddVarRW(bar, "Selected Archetype", PanelType::StdString, &archetype, " group='Camera'");
    const s32 tall[2] = {300, 460};
    TwSetParam(bar, nullptr, "size", PanelParamType::Int32, 2, tall);
    Frame();
    Frame();
    const PanelRect inside = *renderer.BarRect("Editor Info");
    for (const char* label : {"ClonePositionModX", "ClonePositionModY", "ClonePositionModZ"}) {
        const std::optional<PanelRect> item = renderer.ItemRect("Editor Info", "Clone Settings", label);
        ASSERT_TRUE(item) << label;
        // The item's rectangle holds the widget and its whole label.
        EXPECT_LE(item->x + item->width, inside.x + inside.width - 4) << label;
        EXPECT_GT(item->width, 200.0f) << label << ": the label sits beside its widget";
    }
    const std::optional<PanelRect> text = renderer.ItemRect("Editor Info", "Camera", "Selected Archetype");
    ASSERT_TRUE(text);
    EXPECT_LE(text->x + text->width, inside.x + inside.width - 4);

    // Read-only text wider than the widget column takes the whole width
    // under its label, and fits; shorter text stays beside its label.
    std::string hint = ".fbx .bin .png .tga", note = "ok";
    TwAddVarRO(bar, "Drop a file", PanelType::StdString, &hint);
    TwAddVarRO(bar, "Status", PanelType::StdString, &note);
    Frame();
    // The default font is 7 pixels a character, plus the frame's padding.
    const PanelRect hintBox = *renderer.ItemTarget("Editor Info", "", "Drop a file");
    EXPECT_GE(hintBox.width, float(hint.size() * 7 + 8));
    EXPECT_GT(hintBox.width, 250.0f);
    EXPECT_LE(hintBox.x + hintBox.width, inside.x + inside.width);
    const PanelRect statusBox = *renderer.ItemTarget("Editor Info", "", "Status");
    EXPECT_LT(statusBox.width, 200.0f) << "a short text beside its label";
    EXPECT_LT(statusBox.y - (hintBox.y + hintBox.height), hintBox.height * 0.5f) << "no label line above it";

    // A bar narrower than its labels: each long label above its widget.
    const s32 narrow[2] = {150, 460};
    TwSetParam(bar, nullptr, "size", PanelParamType::Int32, 2, narrow);
    Frame();
    Frame();
    const PanelRect thin = *renderer.BarRect("Editor Info");
    const PanelRect x = *renderer.ItemRect("Editor Info", "Clone Settings", "ClonePositionModX");
    const PanelRect y = *renderer.ItemRect("Editor Info", "Clone Settings", "ClonePositionModY");
    EXPECT_LE(x.x + x.width, thin.x + thin.width);
    EXPECT_GT(y.y - (x.y + x.height), x.height * 0.5f) << "a label line between the two widgets";
}

TEST_F(PanelRendererTest, GroupsFollowTheirOpenedStateBothWays) {
    EXPECT_TRUE(renderer.ItemRect("Editor Info", "Camera", "Speed"));
    ASSERT_TRUE(TwDefine("'Editor Info'/'Camera' opened=false"));
    Frame();
    EXPECT_FALSE(renderer.ItemRect("Editor Info", "Camera", "Speed"));
    // The user opens it: the model hears of it.
    const PanelRect barRect = *renderer.BarRect("Editor Info");
    const PanelRect flagRect = *renderer.ItemRect("Editor Info", "", "Show Floor");
    Click(barRect.x + 40, flagRect.y + flagRect.height + 14);
    EXPECT_TRUE(bar->FindGroup("Camera")->opened);
    EXPECT_TRUE(renderer.ItemRect("Editor Info", "Camera", "Speed"));
}

TEST_F(PanelRendererTest, MovedBarsWriteTheirPlaceBackAndStayContained) {
    const PanelRect before = *renderer.BarRect("Editor Info");
    EXPECT_EQ(before.x, 20);
    EXPECT_EQ(before.width, 300);
    WindowInputEvent down = Button(true), up = Button(false);
    down.x = up.x = 60;
    down.y = up.y = 28;
    Frame({Move(60, 28)});
    Frame({down});
    Frame({Move(110, 58)});
    Frame({Move(160, 88)});
    Frame({up});
    s32 position[2] = {};
    TwGetParam(bar, nullptr, "position", PanelParamType::Int32, 2, position);
    EXPECT_EQ(position[0], 120);
    EXPECT_EQ(position[1], 80);

    // Code moves it again; "contained" shows a bar inside the display,
    // while the bar keeps the place it was given.
    const s32 away[2] = {-50, 5000};
    TwSetParam(bar, nullptr, "position", PanelParamType::Int32, 2, away);
    Frame();
    EXPECT_EQ(renderer.BarRect("Editor Info")->x, -50);  // not contained: where it was put
    ASSERT_TRUE(TwDefine(" GLOBAL contained=true "));
    Frame();
    const PanelRect inside = *renderer.BarRect("Editor Info");
    EXPECT_EQ(inside.x, 0);
    EXPECT_EQ(inside.y, 480 - 260);
    TwGetParam(bar, nullptr, "position", PanelParamType::Int32, 2, position);
    EXPECT_EQ(position[1], 5000);
}

// A display shrunk down to 640 x 360 and grown back: each bar is shown
// whole inside it while it is small and back at its own place and size
// after, which is also what the bar answers (and a layout saves) all along.
// A bar the user moves while squeezed keeps the new place.
TEST_F(PanelRendererTest, BarsSqueezedIntoASmallDisplayGoBackWhenItGrows) {
    ASSERT_TRUE(TwDefine(" GLOBAL contained=true "));
    PanelBar* right = TwNewBar("Tile Palette");
    const s32 size[2] = {300, 400}, position[2] = {630, 10};
    TwSetParam(right, nullptr, "size", PanelParamType::Int32, 2, size);
    TwSetParam(right, nullptr, "position", PanelParamType::Int32, 2, position);
    display = {1280, 720};
    Frame();
    auto param = [](PanelBar* b, const char* name) {
        std::array<s32, 2> v{};
        TwGetParam(b, nullptr, name, PanelParamType::Int32, 2, v.data());
        return v;
    };
    for (const std::array<int, 2> small : {std::array<int, 2>{800, 450}, {640, 360}, {700, 300}}) {
        display = small;
        Frame();
        Frame();
        for (const char* name : {"Editor Info", "Tile Palette"}) {
            const PanelRect shown = *renderer.BarRect(name);
            EXPECT_GE(shown.x, 0) << name << " in " << small[0] << " x " << small[1];
            EXPECT_GE(shown.y, 0) << name;
            EXPECT_LE(shown.x + shown.width, float(small[0])) << name << " in " << small[0] << " x " << small[1];
            EXPECT_LE(shown.y + shown.height, float(small[1])) << name << " in " << small[0] << " x " << small[1];
        }
        EXPECT_EQ(param(right, "position"), (std::array<s32, 2>{630, 10}));
        EXPECT_EQ(param(right, "size"), (std::array<s32, 2>{300, 400}));
    }
    display = {1280, 720};
    Frame();
    Frame();
    const PanelRect back = *renderer.BarRect("Tile Palette");
    EXPECT_EQ(back.x, 630);
    EXPECT_EQ(back.width, 300);
    EXPECT_EQ(back.height, 400);
    EXPECT_EQ(renderer.BarRect("Editor Info")->height, 260);

    // Dragged by its title while squeezed: the new place is the bar's own.
    display = {640, 360};
    Frame();
    const PanelRect squeezed = *renderer.BarRect("Tile Palette");
    WindowInputEvent down = Button(true), up = Button(false);
    Frame({Move(squeezed.x + 40, squeezed.y + 8)});
    Frame({down});
    Frame({Move(squeezed.x + 20, squeezed.y + 8)});
    Frame({up});
    EXPECT_EQ(param(right, "position"), (std::array<s32, 2>{s32(squeezed.x) - 20, 0}));
    display = {1280, 720};
    Frame();
    EXPECT_EQ(renderer.BarRect("Tile Palette")->x, squeezed.x - 20);
    EXPECT_EQ(param(right, "size"), (std::array<s32, 2>{300, 400}));
}

TEST_F(PanelRendererTest, TakesOnlyTheInputItOwnsAndReleasesFollowPresses) {
    using namespace WindowMessageId;
    Frame({Move(600, 400)});
    Frame();
    EXPECT_FALSE(renderer.TakesWindowMessage(kLButtonDown, 1));
    EXPECT_FALSE(renderer.TakesWindowMessage(kMouseMove, 0));
    EXPECT_FALSE(renderer.TakesWindowMessage(kMouseWheel, 120u << 16));
    Frame({Move(100, 100)});  // over the bar
    Frame();
    // The left button, the right button (as key code 2) and the middle (4).
    EXPECT_TRUE(renderer.TakesWindowMessage(kMouseMove, 0));
    EXPECT_TRUE(renderer.TakesWindowMessage(kMouseWheel, 120u << 16));  // no zoom of the camera behind
    EXPECT_TRUE(renderer.TakesWindowMessage(kLButtonDown, 1));
    EXPECT_TRUE(renderer.TakesWindowMessage(kKeyDown, 2));
    EXPECT_TRUE(renderer.TakesWindowMessage(kKeyDown, 4));
    EXPECT_FALSE(renderer.TakesWindowMessage(kKeyDown, 'C'));  // no field has the keyboard
    Frame({Move(600, 400)});
    Frame();
    // Released away from the bar, the presses it took are still its own;
    // the key pressed for the game goes back to the game.
    EXPECT_TRUE(renderer.TakesWindowMessage(kLButtonUp, 1));
    EXPECT_TRUE(renderer.TakesWindowMessage(kKeyUp, 2));
    EXPECT_FALSE(renderer.TakesWindowMessage(kKeyUp, 'C'));
    EXPECT_FALSE(renderer.TakesWindowMessage(kLButtonUp, 1));

    ClickItem("I/O", "Loading From");
    EXPECT_TRUE(renderer.TakesWindowMessage(kKeyDown, 'C'));
    EXPECT_TRUE(renderer.TakesWindowMessage(kKeyDown, 46));
    EXPECT_TRUE(renderer.TakesWindowMessage(kSysKeyDown, 'X'));
    EXPECT_FALSE(renderer.TakesWindowMessage(kChar, 'c'));
    Frame({Key(13, true), Key(13, false)});
    Frame();
    EXPECT_TRUE(renderer.TakesWindowMessage(kKeyUp, 'C'));  // pressed while typing
    EXPECT_FALSE(renderer.TakesWindowMessage(kKeyDown, 'C'));
}

TEST_F(PanelRendererTest, DrawsThroughTheDeviceAndPutsItsStateBack) {
    rd::RecordingDevice device({640, 480, true, nullptr});
    rd::Texture* target = device.CreateRenderTarget(640, 480, rd::Format::A8R8G8B8);
    device.SetRenderTarget(1, target);
    device.SetRenderState(rd::RS::ZEnable, 1);
    device.SetRenderState(rd::RS::CullMode, rd::Cull::CounterClockwise);
    device.SetRenderState(rd::RS::SrcBlend, rd::Blend::One);
    device.SetRenderState(rd::RS::AlphaBlendEnable, 0);
    device.GetTrace().Clear();
    renderer.Draw(device);

    const rd::Trace& trace = device.GetTrace();
    EXPECT_GT(trace.Count("DrawIndexed"), 1u);
    bool fromOffset = false;
    for (const rd::TraceEntry& e : trace.Entries()) {
        if (e.op != "DrawIndexed") continue;
        EXPECT_EQ(e.program, "panels");
        EXPECT_EQ(e.targets[0], device.BackBuffer()->Label());
        EXPECT_EQ(e.targets[1], "");
        EXPECT_EQ(e.args.rfind("4 ", 0), 0u) << e.args;
        fromOffset |= e.args.find(" from ") != std::string::npos;
    }
    EXPECT_TRUE(fromOffset);
    EXPECT_GT(trace.Count("SetScissorRect"), 0u);
    EXPECT_EQ(device.GetRenderTarget(1), target);
    EXPECT_EQ(device.GetRenderState(rd::RS::ZEnable), 1u);
    EXPECT_EQ(device.GetRenderState(rd::RS::CullMode), rd::Cull::CounterClockwise);
    EXPECT_EQ(device.GetRenderState(rd::RS::SrcBlend), rd::Blend::One);
    EXPECT_EQ(device.GetRenderState(rd::RS::AlphaBlendEnable), 0u);
    EXPECT_EQ(device.GetRenderState(rd::RS::ScissorTestEnable), 0u);

    // Later frames reuse the device objects; a bar deleted draws nothing.
    const size_t objects = device.LiveObjects();
    Frame();
    renderer.Draw(device);
    EXPECT_EQ(device.LiveObjects(), objects);
    TwDeleteBar(bar);
    Frame();
    device.GetTrace().Clear();
    renderer.Draw(device);
    EXPECT_EQ(device.GetTrace().Count("DrawIndexed"), 0u);
    renderer.ReleaseDeviceObjects(&device);
    EXPECT_LT(device.LiveObjects(), objects);
}

}  // namespace
}  // namespace Ostrel

namespace Ostrel {
namespace {

// The status line: its first line shows for its time, counted by the
// frames' dt, a newer text replaces it, and it is drawn over the bars.
TEST_F(PanelRendererTest, StatusLineShowsItsFirstLineForItsTimeOverTheBars) {
    rd::RecordingDevice device({640, 480, true, nullptr});
    auto draws = [&] {
        device.GetTrace().Clear();
        renderer.Draw(device);
        return device.GetTrace().Count("DrawIndexed");
    };
    const size_t barOnly = draws();

    ShowPanelStatus("Load failed: no room named 'nope'\nsecond line ignored  \n", 0.5f);
    EXPECT_EQ(model.Status().Text(), "Load failed: no room named 'nope'");
    const u32 serial = model.Status().Serial();
    Frame();
    EXPECT_GT(draws(), barOnly);  // the foreground strip comes after the bar
    for (int i = 0; i < 20; ++i) Frame();  // 1/3 s
    EXPECT_TRUE(model.Status().Visible());
    ShowPanelStatus("Save failed: Permission denied", 0.5f);  // replaces, time anew
    EXPECT_GT(model.Status().Serial(), serial);
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_EQ(model.Status().Text(), "Save failed: Permission denied");
    for (int i = 0; i < 11; ++i) Frame();
    EXPECT_FALSE(model.Status().Visible());
    EXPECT_EQ(draws(), barOnly);

    // Nothing to show: an empty text or no time.
    ShowPanelStatus(" \n", 5.0f);
    EXPECT_FALSE(model.Status().Visible());
    ShowPanelStatus("x", 0.0f);
    EXPECT_FALSE(model.Status().Visible());
    renderer.ReleaseDeviceObjects(&device);
}

}  // namespace
}  // namespace Ostrel
