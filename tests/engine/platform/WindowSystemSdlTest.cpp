// The window system on SDL's offscreen (or dummy) video driver: events are
// pushed into SDL's queue in-process and pumped by Update, as in a real run.

#include "engine/platform/WindowSystem.h"

#include "engine/io/ConfigureFileXML.h"
#include "engine/io/UserConfigManager.h"
#include "engine/platform/Input.h"
#include "engine/platform/QuitSignal.h"
#include "tests/engine/platform/PlatformFakes.h"
#include "tests/engine/platform/WindowInputFixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Ostrel;
using OstrelTest::FakePadSource;
using OstrelTest::RecordedMessage;
using OstrelTest::RecordingMessages;

namespace {

class WindowFixture : public OstrelTest::WindowInputFixture<FakePadSource> {
protected:
    WindowFixture() : WindowInputFixture("Brisa and Qil: Lantern Vaults") {}

    // Configures from a settings text (empty: no settings file) and creates.
    void Start(const std::string& settings, bool debug = false, bool toolMode = false) {
        ConfigureFileXML config(true);
        ASSERT_TRUE(config.LoadFromText(debug ? "<WindowSystem><Debug>1</Debug></WindowSystem>"
                                              : "<WindowSystem/>"));
        window.SetToolMode(toolMode);
        window.LoadConfig(&config);  // no UserConfigManager here: no settings
        if (!settings.empty()) {
            ConfigureFileXML user(true);
            ASSERT_TRUE(user.LoadFromText(settings));
            window.LoadUserSettings(&user);
        }
        window.Create();
        ASSERT_NE(window.GetWindow(), nullptr);
        window.Initialize();
        input.Initialize();
        Pump();
        messages.Clear();
        screenW = window.GetScreenWidth();
        screenH = window.GetScreenHeight();
    }

    void Pump() { window.Update(0.016f); }

    void Push(SDL_Event event) {
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    void PushWindowEvent(Uint8 kind, int data1 = 0, int data2 = 0) {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_WINDOWEVENT;
        e.window.event = kind;
        e.window.data1 = data1;
        e.window.data2 = data2;
        Push(e);
    }
    void PushKey(SDL_Scancode scancode, bool down, bool repeat = false, Uint16 mod = 0) {
        SDL_Event e;
        SDL_zero(e);
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = scancode;
        e.key.keysym.mod = mod;
        e.key.repeat = repeat ? 1 : 0;
        Push(e);
    }
    std::string SavedSettings() {
        ConfigureFileXML writer(false, "UserSettings");
        window.SaveUserSettings(writer);
        return writer.ToText();
    }

    int screenW = 0;
    int screenH = 0;
};

const char* kWindowed800 =
    "<UserSettings><WindowWidth>800</WindowWidth><WindowHeight>600</WindowHeight>"
    "<Fullscreen>0</Fullscreen></UserSettings>";

RecordedMessage ScreenState(bool windowed, int w, int h) {
    return {"WindowScreenStateChange", windowed, w, h};
}

}  // namespace

TEST_F(WindowFixture, FirstRunWithoutSettingsIsFullScreenAtScreenSizeAndSavesThat) {
    Start("");
    EXPECT_FALSE(window.IsWindowed());
    EXPECT_EQ(window.GetStyle(), WindowSystem::kStylePopup);
    EXPECT_EQ(window.GetWidth(), screenW);
    EXPECT_EQ(window.GetHeight(), screenH);
    EXPECT_FALSE(window.GetWindow()->IsBordered());
    int x = -1, y = -1, w = 0, h = 0;
    window.GetWindow()->GetPosition(x, y);
    window.GetWindow()->GetSize(w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, screenW);
    EXPECT_EQ(h, screenH);
    const DeviceParams params = window.GetDeviceParams();
    EXPECT_EQ(params.width, u32(screenW));
    EXPECT_FALSE(params.windowed);
    EXPECT_EQ(params.window, window.GetWindowHandle());
    EXPECT_NE(params.window, nullptr);
    const std::string expected = "<WindowWidth>" + std::to_string(screenW) + "</WindowWidth>";
    const std::string saved = SavedSettings();
    EXPECT_NE(saved.find(expected), std::string::npos) << saved;
    EXPECT_LT(saved.find("WindowWidth"), saved.find("WindowHeight"));
    EXPECT_LT(saved.find("WindowHeight"), saved.find("<Fullscreen>1</Fullscreen>"));
}

TEST_F(WindowFixture, SettingsComeFromAndGoToTheUserSettingsFile) {
    const std::string folder = std::string(LV_TEST_TMP) + "/window-settings";
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/UserConfig.xcfg";
    std::ofstream(file) << kWindowed800;
    {
        UserConfigManager settings(true);
        settings.SetDirectory(folder);
        Start("");
        EXPECT_TRUE(window.IsWindowed());
        EXPECT_EQ(window.GetWidth(), 800);
        window.OnSetResolution(1000, 700);
        window.Shutdown();
    }
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<WindowWidth>1000</WindowWidth>"), std::string::npos) << text;
    EXPECT_NE(text.find("<WindowHeight>700</WindowHeight>"), std::string::npos);
    EXPECT_NE(text.find("<Fullscreen>0</Fullscreen>"), std::string::npos);
}

TEST_F(WindowFixture, WindowedSettingsGiveACentredWindowOfThatSize) {
    Start(kWindowed800);
    EXPECT_TRUE(window.IsWindowed());
    EXPECT_TRUE(window.GetWindow()->IsBordered());
    EXPECT_EQ(window.GetPosX(), (screenW - 800) / 2);
    EXPECT_EQ(window.GetPosY(), (screenH - 600) / 2);
    int w = 0, h = 0;
    window.GetWindow()->GetSize(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_NE(SavedSettings().find("<Fullscreen>0</Fullscreen>"), std::string::npos);
}

TEST_F(WindowFixture, AWindowLargerThanTheScreenStartsAtZeroButLaterCentringIsNotClamped) {
    Start("<UserSettings><WindowWidth>3000</WindowWidth><WindowHeight>2000</WindowHeight></UserSettings>");
    EXPECT_TRUE(window.IsWindowed());  // no "Fullscreen" key: windowed
    EXPECT_EQ(window.GetPosX(), 0);
    EXPECT_EQ(window.GetPosY(), 0);
    window.OnSetResolution(3000, 2000);
    EXPECT_EQ(window.GetPosX(), (screenW - 3000) / 2);
    EXPECT_LT(window.GetPosX(), 0);
}

TEST_F(WindowFixture, WindowedWithoutASizeFallsBackToFullScreen) {
    int handled = 0;
    window.SetScreenSizeHandler([&](const DeviceParams&) { ++handled; });
    Start("<UserSettings><Fullscreen>0</Fullscreen></UserSettings>");
    EXPECT_FALSE(window.IsWindowed());
    EXPECT_EQ(window.GetWidth(), screenW);
    EXPECT_EQ(window.GetHeight(), screenH);
    EXPECT_EQ(handled, 1);
}

TEST_F(WindowFixture, SetWindowedFalseKeepsTheSizeAndTrueCentresTheWindow) {
    Start(kWindowed800);
    window.OnSetWindowed(false);
    EXPECT_FALSE(window.IsWindowed());
    EXPECT_FALSE(window.GetWindow()->IsBordered());
    EXPECT_EQ(window.GetWidth(), 800);
    window.OnSetWindowed(true);
    EXPECT_TRUE(window.GetWindow()->IsBordered());
    EXPECT_EQ(window.GetPosX(), (screenW - 800) / 2);
    bool windowed = false;
    window.OnQueryWindowed(&windowed);
    EXPECT_TRUE(windowed);
    EXPECT_EQ(messages.sent, (std::vector<RecordedMessage>{ScreenState(false, 800, 600), ScreenState(true, 800, 600)}));
}

TEST_F(WindowFixture, SetResolutionWorksInBothModesAndKeepsTheFrame) {
    Start("");
    window.OnSetResolution(640, 480);
    EXPECT_FALSE(window.GetWindow()->IsBordered());
    EXPECT_EQ(window.GetSavedWidth(), screenW);
    EXPECT_EQ(window.GetStyle(), WindowSystem::kStyleWindowed);
    window.OnSetWindowed(true);
    messages.Clear();
    window.OnSetResolution(1000, 700);
    EXPECT_EQ(window.GetWidth(), 1000);
    EXPECT_EQ(messages.sent, (std::vector<RecordedMessage>{ScreenState(true, 1000, 700)}));
    int w = 0, h = 0;
    window.GetWindow()->GetSize(w, h);
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(h, 700);
}

TEST_F(WindowFixture, DebugKeyFTogglesFullScreenAndRestoresSizeAtLastPosition) {
    Start(kWindowed800, /*debug=*/true);
    PushWindowEvent(SDL_WINDOWEVENT_MOVED, 50, 40);
    Pump();
    window.OnKeyTriggered('F', false);  // release: nothing
    window.OnKeyTriggered('G', true);
    EXPECT_TRUE(messages.sent.empty());
    window.OnKeyTriggered('F', true);
    EXPECT_FALSE(window.IsWindowed());
    EXPECT_EQ(window.GetWidth(), screenW);
    PushWindowEvent(SDL_WINDOWEVENT_MOVED, 0, 0);  // moves while full screen are not recorded
    Pump();
    window.OnKeyTriggered('F', true);
    EXPECT_TRUE(window.IsWindowed());
    EXPECT_EQ(window.GetPosX(), 50);
    EXPECT_EQ(window.GetPosY(), 40);
    int x = 0, y = 0;
    window.GetWindow()->GetPosition(x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(messages.Named("WindowScreenStateChange"),
              (std::vector<RecordedMessage>{ScreenState(false, screenW, screenH), ScreenState(true, 800, 600)}));
}

TEST_F(WindowFixture, DebugKeyDoesNothingWithoutDebug) {
    Start(kWindowed800);
    window.OnKeyTriggered('F', true);
    EXPECT_TRUE(window.IsWindowed());
    EXPECT_TRUE(messages.sent.empty());
}

TEST_F(WindowFixture, ResolutionErrorFallsBackToScreenSizeWithoutStateMessage) {
    DeviceParams received;
    window.SetScreenSizeHandler([&](const DeviceParams& p) { received = p; });
    Start(kWindowed800);
    window.OnResolutionError();
    EXPECT_FALSE(window.IsWindowed());
    EXPECT_EQ(window.GetSavedWidth(), screenW);
    EXPECT_EQ(received.width, u32(screenW));
    EXPECT_EQ(received.height, u32(screenH));
    EXPECT_FALSE(received.windowed);
    EXPECT_EQ(received.window, window.GetWindowHandle());
    EXPECT_TRUE(messages.sent.empty());
}

TEST_F(WindowFixture, NegativeMovePositionsAreKeptSigned) {
    Start(kWindowed800);
    PushWindowEvent(SDL_WINDOWEVENT_MOVED, -300, -20);
    Pump();
    EXPECT_EQ(window.GetPosX(), -300);
    EXPECT_EQ(window.GetPosY(), -20);
}

TEST_F(WindowFixture, GameIgnoresCloseAndKeepsCursorHidden) {
    Start("");
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit;
    SDL_zero(quit);
    quit.type = SDL_QUIT;
    Push(quit);
    Pump();
    EXPECT_EQ(quits, 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(WindowFixture, ToolsEndTheRunOnCloseAndKeepTheCursor) {
    SDL_ShowCursor(SDL_ENABLE);
    Start("", false, /*toolMode=*/true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_EQ(quits, 1);
}

TEST_F(WindowFixture, TermSignalEndsTheRunThroughTheQuitPath) {
    Start("");
    QuitSignal::Install();
    std::raise(SIGTERM);
    Pump();
    EXPECT_EQ(quits, 1);
    Pump();
    EXPECT_EQ(quits, 1);
}

TEST_F(WindowFixture, OnlyTheFirstFileOfADropIsSentAndLongPathsAreCut) {
    Start("");
    auto drop = [&](Uint32 type, const std::string& path) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.drop.file = path.empty() ? nullptr : SDL_strdup(path.c_str());
        Push(e);
    };
    drop(SDL_DROPBEGIN, "");
    drop(SDL_DROPFILE, "/tmp/a.bin");
    drop(SDL_DROPFILE, "/tmp/b.bin");
    drop(SDL_DROPFILE, "/tmp/c.bin");
    drop(SDL_DROPCOMPLETE, "");
    drop(SDL_DROPFILE, std::string(1500, 'x'));
    Pump();
    auto files = messages.Named("FileDrop");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].text, "/tmp/a.bin");
    EXPECT_EQ(files[1].text.size(), 1023u);
}

TEST_F(WindowFixture, AResizedWindowTakesTheLastSizeOfAPumpAndSavesIt) {
    Start(kWindowed800);
    Pump();  // the sizes SDL reports for the window's own placing change nothing
    messages.Clear();
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 650, 500);
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 700, 620);
    Pump();
    EXPECT_EQ(messages.sent, (std::vector<RecordedMessage>{ScreenState(true, 700, 620)}));
    EXPECT_EQ(window.GetWidth(), 700);
    EXPECT_EQ(window.GetHeight(), 620);
    const std::string saved = SavedSettings();
    EXPECT_NE(saved.find("<WindowWidth>700</WindowWidth>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<WindowHeight>620</WindowHeight>"), std::string::npos) << saved;
    // Minimised (0 x 0) or the same size again: nothing changes.
    messages.Clear();
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0);
    Pump();
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 700, 620);
    Pump();
    EXPECT_TRUE(messages.sent.empty());
    EXPECT_EQ(window.GetWidth(), 700);
}

TEST_F(WindowFixture, FocusAndControllerDeviceEventsBecomeMessages) {
    Start("");
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    SDL_Event added;
    SDL_zero(added);
    added.type = SDL_CONTROLLERDEVICEADDED;
    Push(added);
    Pump();
    EXPECT_EQ(messages.sent, (std::vector<RecordedMessage>{{"LostFocus"}, {"SetFocus"}, {"DeviceChange"}}));
}

TEST_F(WindowFixture, KeyEventsReachInputWithGenericCodesAndNoRepeats) {
    Start("");
    PushKey(SDL_SCANCODE_RSHIFT, true);
    PushKey(SDL_SCANCODE_RSHIFT, true, /*repeat=*/true);
    PushKey(SDL_SCANCODE_KP_7, true);
    PushKey(SDL_SCANCODE_KP_7, false);
    PushKey(SDL_SCANCODE_RSHIFT, false);
    PushKey(SDL_SCANCODE_AUDIONEXT, true);  // no code: ignored
    Pump();
    auto keys = messages.Named("KeyTriggered");
    EXPECT_EQ(keys, (std::vector<RecordedMessage>{{"KeyTriggered", 16, 1}, {"KeyTriggered", 103, 1},
                                                  {"KeyTriggered", 103, 0}, {"KeyTriggered", 16, 0}}));
}

TEST_F(WindowFixture, AltKeysAreSystemKeysAndAltAloneIsSwallowed) {
    Start("");
    PushKey(SDL_SCANCODE_LALT, true, false, KMOD_LALT);
    PushKey(SDL_SCANCODE_X, true, false, KMOD_LALT);
    PushKey(SDL_SCANCODE_F10, true);
    Pump();
    auto sys = messages.Named("WindowMessage");
    std::vector<long> sysKeys;
    for (const auto& m : sys) {
        if (m.a == 0x0104) sysKeys.push_back(m.b);
    }
    EXPECT_EQ(sysKeys, (std::vector<long>{'X'}));
    EXPECT_EQ(messages.Named("KeyTriggered").size(), 3u);
}

TEST_F(WindowFixture, TextInputBecomesCharacterMessages) {
    Start("");
    SDL_Event text;
    SDL_zero(text);
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "a\xC3\xA9");
    Push(text);
    Pump();
    EXPECT_EQ(messages.sent, (std::vector<RecordedMessage>{{"WindowMessage", 0x0102, 'a', 1},
                                                           {"WindowMessage", 0x0102, 0xE9, 1}}));
}

TEST_F(WindowFixture, MouseEventsBecomeRelativePacketsAndCursorMoves) {
    Start("");
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 30;
    e.motion.y = 40;
    e.motion.xrel = 3;
    e.motion.yrel = -2;
    Push(e);
    SDL_zero(e);
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    Push(e);
    e.button.button = SDL_BUTTON_MIDDLE;
    Push(e);
    SDL_zero(e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -1;
    Push(e);
    Pump();
    auto moved = messages.Named("MouseMoved");
    EXPECT_EQ(moved, (std::vector<RecordedMessage>{{"MouseMoved", 1, 3, -2}, {"MouseMoved", 0, 30, 40},
                                                   {"MouseMoved", 1, 0, 0}, {"MouseMoved", 1, 0, 0}}));
    EXPECT_EQ(messages.Named("KeyTriggered"), (std::vector<RecordedMessage>{{"KeyTriggered", 2, 1}}));
    EXPECT_EQ(messages.Named("MouseWheel"), (std::vector<RecordedMessage>{{"MouseWheel", -120}}));
}
