// The options handler in a live scene built in code, over a recording render
// device with a chosen mode list and size, and a sound service that answers
// the mute questions: the labels and the steps through the resolutions
// (ends, the index -1 cases, the stick held), applying one, the toggles,
// the blinking indicators, unanswered questions, missing elements, and the
// buttons' commands removed at detach.

#include "game/ui/UiOptionsHandler.h"

#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/device/RecordingDevice.h"
#include "engine/platform/ControllerData.h"
#include "engine/ui/UiButton.h"
#include "engine/ui/UiText.h"
#include "engine/ui/UiToggleImage.h"

#include "tests/game/ui/HudTestSupport.h"

#include <gtest/gtest.h>

namespace Vandle::GameTest {
namespace {

int s_optionsWindow;

// Answers "QueryWindowed" with windowed.
struct FakeWindow {
    explicit FakeWindow(CoreSystem& core) : core(core) {
        core.Listen("QueryWindowed", MakeDelegate(this, &FakeWindow::OnQueryWindowed));
    }
    ~FakeWindow() { core.Unlisten("QueryWindowed", MakeDelegate(this, &FakeWindow::OnQueryWindowed)); }
    void OnQueryWindowed(bool* answer) { *answer = windowed; }
    CoreSystem& core;
    bool windowed = true;
};

class OptionsWorld : public UiGameWorld {
public:
    OptionsWorld(std::vector<std::pair<u32, u32>> modes, u32 width, u32 height, bool allElements = true) {
        device.SetFactory(rd::RecordingDevice::MakeFactory(
            0, [modes](rd::RecordingDevice& made) { made.SetDisplayModes(modes); }));
        device.SetWindowParameters({width, height, &s_optionsWindow, true});
        device.Create();
        if (allElements) {
            for (int i = 0; i < 3; ++i) {
                buttons[i] = Add<UiButton>("btn_" + std::to_string(i));
                boxes[i] = Add<UiToggleImage>("cbx_" + std::to_string(i));
                boxes[i]->AddTexture("box-on");
                boxes[i]->AddTexture("box-off");
            }
            lower = Add<UiLabel>("lbl_lo");
            current = Add<UiLabel>("lbl_mid");
            higher = Add<UiLabel>("lbl_hi");
            lowerMark = Add<UiLabel>("lbl_lower");
            higherMark = Add<UiLabel>("lbl_higher");
        }
        resolution = Add<UiButton>("btn_res");
        RecordGlobal({"SetWindowed", "MuteSounds", "SetResolution", "PlayUiSound"});
    }
    std::vector<std::string> Labels() const { return {lower->GetText(), current->GetText(), higher->GetText()}; }
    void Key(int key) { scene->OnKey(key, true); }
    void Stick(float x, float y) {
        ControllerData pad;
        pad.leftStick = Vec2(x, y);
        scene->OnController(&pad);
    }
    void Select(UiElementBase* element) { scene->SelectElement(element, true); }

    RenderDevice device;
    UiOptionsHandler* options = nullptr;
    UiButton* resolution = nullptr;
    UiButton* buttons[3] = {};
    UiToggleImage* boxes[3] = {};
    UiLabel *lower = nullptr, *current = nullptr, *higher = nullptr, *lowerMark = nullptr, *higherMark = nullptr;
};

const std::vector<std::pair<u32, u32>> kModes = {{1280, 720}, {800, 600}, {1024, 768}};
constexpr int kLeft = 37, kRight = 39;

TEST(UiOptionsHandler, StepsThroughTheSortedResolutionsAndAppliesTheOneShown) {
    OptionsWorld w(kModes, 1024, 768);
    w.options = w.Enter(std::make_unique<UiOptionsHandler>());
    EXPECT_EQ(w.Labels(), (std::vector<std::string>{"800x600", "1024x768", "1280x720"}));

    w.Key(kRight);  // not selected: nothing
    EXPECT_EQ(w.options->GetResolutionIndex(), 1);
    w.Select(w.resolution);
    w.resolution->Activate();  // the size in use: nothing
    w.Key(kRight);
    EXPECT_EQ(w.Labels(), (std::vector<std::string>{"1024x768", "1280x720", ""}));
    w.Key(kRight);  // the last entry: no step, no sound
    w.resolution->Activate();
    EXPECT_EQ(w.TakeSent(), (std::vector<std::string>{"PlayUiSound(new-menu-click-sfx)", "SetResolution(1280, 720)"}));

    // The stick held right or left steps once per push; the scene's
    // navigation takes the update in which the direction changes.
    w.Key(kLeft);
    w.Key(kLeft);
    w.TakeSent();
    for (int i = 0; i < 4; ++i) w.Stick(1.0f, 0.2f);
    EXPECT_EQ(w.options->GetResolutionIndex(), 1);
    w.Stick(0.0f, 0.0f);
    for (int i = 0; i < 3; ++i) w.Stick(0.9f, 0.0f);
    EXPECT_EQ(w.options->GetResolutionIndex(), 2);
    EXPECT_EQ(w.TakeSent().size(), 2u);
    w.Stick(0.0f, 1.0f);  // up: no step
    w.Stick(0.0f, 1.0f);
    EXPECT_EQ(w.options->GetResolutionIndex(), 2);
}

TEST(UiOptionsHandler, ASizeMissingFromTheListStartsBeforeTheFirstEntry) {
    for (const int key : {kRight, kLeft}) {
        OptionsWorld w(kModes, 640, 480);
        w.options = w.Enter(std::make_unique<UiOptionsHandler>());
        EXPECT_EQ(w.options->GetResolutionIndex(), -1);
        EXPECT_EQ(w.Labels(), (std::vector<std::string>{"", "", "800x600"}));
        w.Select(w.resolution);
        w.resolution->Activate();  // out of range: nothing
        w.Key(key);
        EXPECT_EQ(w.options->GetResolutionIndex(), 0);
        // Right steps with a click; Left lands there silently, and the labels
        // follow either way, so the button applies the entry shown.
        EXPECT_EQ(w.Labels(), (std::vector<std::string>{"", "800x600", "1024x768"}));
        w.resolution->Activate();
        std::vector<std::string> expected{"SetResolution(800, 600)"};
        if (key == kRight) expected.insert(expected.begin(), "PlayUiSound(new-menu-click-sfx)");
        EXPECT_EQ(w.TakeSent(), expected) << key;
    }
}

TEST(UiOptionsHandler, TogglesAskFirstThenTellAndDetachRemovesTheCommands) {
    OptionsWorld w(kModes, 800, 600);
    Ostrel::Testing::SoundRecorder sound;
    sound.mute = true;
    FakeWindow window(w.core);
    window.windowed = false;
    w.options = w.Enter(std::make_unique<UiOptionsHandler>());
    for (UiToggleImage* box : w.boxes) EXPECT_EQ(box->GetCurrentIndex(), 0);  // ticked
    EXPECT_EQ(sound.log.front(), "query 1");

    w.buttons[1]->Activate();
    w.buttons[1]->Activate();
    w.buttons[2]->Activate();
    w.buttons[0]->Activate();
    EXPECT_EQ(w.TakeSent(), (std::vector<std::string>{"MuteSounds(1, false)", "MuteSounds(2, false)",
                                                       "MuteSounds(1, true)", "MuteSounds(2, true)",
                                                       "MuteSounds(0, false)", "SetWindowed(true)"}));
    EXPECT_EQ(w.boxes[0]->GetCurrentIndex(), 1);

    // Detached while its buttons live: their commands reach it no more.
    w.options->Detach();
    w.buttons[1]->Activate();
    w.resolution->Activate();
    EXPECT_TRUE(w.TakeSent().empty());
    EXPECT_TRUE(w.core.GetTable().GetListeners("UiTimeUpdate").empty());
}

TEST(UiOptionsHandler, IndicatorsBlinkWhileSelectedAndGoWithinAPeriodOfLosingIt) {
    OptionsWorld w(kModes, 1024, 768);
    auto handler = std::make_unique<UiOptionsHandler>();
    handler->SetBlink(0.5f);
    w.options = w.Enter(std::unique_ptr<UiOptionsHandler>(
        static_cast<UiOptionsHandler*>(handler->Clone().release())));
    EXPECT_EQ(w.options->GetBlink(), 0.5f);
    EXPECT_FALSE(w.lowerMark->IsVisible() || w.higherMark->IsVisible());
    w.Select(w.resolution);
    w.Time(0.1f);
    EXPECT_TRUE(w.lowerMark->IsVisible() && w.higherMark->IsVisible());
    w.Time(0.45f);
    EXPECT_FALSE(w.lowerMark->IsVisible());
    w.Time(0.5f);
    EXPECT_TRUE(w.lowerMark->IsVisible());
    // At the top entry only the lower one blinks.
    w.Key(kRight);
    EXPECT_TRUE(w.lowerMark->IsVisible());
    EXPECT_FALSE(w.higherMark->IsVisible());
    w.Select(w.buttons[0]);
    w.Time(0.52f);
    EXPECT_FALSE(w.lowerMark->IsVisible());
    w.Time(2.0f);
    EXPECT_FALSE(w.lowerMark->IsVisible() || w.higherMark->IsVisible());
}

TEST(UiOptionsHandler, UnansweredQuestionsAndMissingElementsAreSafe) {
    {
    // Nobody answers: windowed and not muted; a lone resolution button.
    OptionsWorld w(kModes, 1024, 768, false);
    w.scene->SetPath("rsc/ui/options.scn");
    w.options = w.Enter(std::make_unique<UiOptionsHandler>());
    // Each missing element is said once, on a line that starts with the
    // scene's file.
    for (const char* name : {"btn_0", "cbx_1", "lbl_higher"}) {
        const std::string line = std::string("rsc/ui/options.scn: UiOptionsHandler: the scene has no element '") +
                                 name + "'; the handler does without it";
        const std::size_t at = w.log.find(line);
        EXPECT_TRUE(at != std::string::npos && (at == 0 || w.log[at - 1] == '\n')) << line << "\n" << w.log;
    }
    EXPECT_EQ(w.log.find("'btn_res'"), std::string::npos);
    w.Select(w.resolution);
    w.Key(kLeft);
    w.Time(1.2f);
    w.resolution->Activate();
    EXPECT_EQ(w.TakeSent(), (std::vector<std::string>{"PlayUiSound(new-menu-click-sfx)", "SetResolution(800, 600)"}));
    w.options->OnUiCommandFullscreen();
    w.options->OnUiCommandMuteSfx();
    EXPECT_TRUE(w.TakeSent().empty());
    }
    OptionsWorld full(kModes, 1024, 768);
    full.options = full.Enter(std::make_unique<UiOptionsHandler>());
    for (UiToggleImage* box : full.boxes) EXPECT_EQ(box->GetCurrentIndex(), 1);  // unticked
}

}  // namespace
}  // namespace Vandle::GameTest
