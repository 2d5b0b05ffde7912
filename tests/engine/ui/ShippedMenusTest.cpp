// The menu scenes the game ships (rsc/ui): every button, reached with the
// arrow keys and chosen with Enter, sends its game messages and asks for its
// scene change; the pause menu also goes back on Escape. The menus that open
// from play take no choice from a key pressed in their first 0.3 s or held
// as they opened. The HUD that opens
// the lost and complete menus is not needed: the scenes are entered here
// directly. A last table plays the menus through the UI system and Input,
// with a key held across each change of scene.

#include "engine/core/Clock.h"
#include "engine/core/ScriptEnums.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/platform/Input.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiSystem.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Ostrel;
using namespace Ostrel::Testing;

// Records the game messages and scene changes the menus send, as
// "Name" and "UiChangeScene(target, method)".
class MenuSendRecorder final : public MessageListenerTable::SendObserver {
public:
    bool Wants(std::string_view name) const override {
        for (const char* wanted : {"GameFreshStart", "StopLoop", "GameLevelRetry", "GameLevelRestart", "GameEnding",
                                   "GameReady", "UiChangeScene", "UiPause", "BackToEditor"})
            if (name == wanted) return true;
        return false;
    }
    void OnSend(std::string_view name, const VariantList& arguments) override {
        std::string text(name);
        if (name == "UiChangeScene" && arguments.Size() == 2) {
            const std::string* target = arguments[0].As<std::string*>();
            text += "(" + (target ? *target : std::string("null")) + ", " +
                    std::to_string(int(arguments[1].As<UiSceneChangeMethod>())) + ")";
        } else if (name == "UiPause" && arguments.Size() == 1) {
            text += arguments[0].As<bool>() ? "(true)" : "(false)";
        }
        sent.push_back(text);
    }
    std::vector<std::string> sent;
};

class ShippedMenuWorld {
public:
    ShippedMenuWorld() {
        RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
        resources.RegisterLoader(kKindImage, LoadTextureResource);
        resources.LoadResource("menu-button");
        scripts = std::make_unique<ScriptManager>();  // runs the shipped start-up script
        scenes->SetInputClock(&clock);
        world.core.GetTable().SetObserver(&recorder);
    }
    ~ShippedMenuWorld() {
        world.core.GetTable().SetObserver(nullptr);
        for (UiScene* scene : live) scenes->Release(scene);
        scenes.reset();
        scripts.reset();
    }
    // The shipped scene's template; false when it is not shipped.
    bool Load(const std::string& name) {
        const FilePath path = resources.GetPath(name);
        if (!path.IsValid()) return false;
        scenes->LoadSceneFile(path.GetString());
        return true;
    }
    // The shipped scene, entered; the recorder starts empty.
    UiScene* Enter(const std::string& name) {
        if (!Load(name)) return nullptr;
        UiScene* scene = scenes->Instantiate(name);
        if (scene) live.push_back(scene);
        recorder.sent.clear();
        return scene;
    }
    // The shipped scene, entered and left to stand past any input delay.
    UiScene* EnterAndWait(const std::string& name) {
        UiScene* scene = Enter(name);
        clock.AdvanceSeconds(1.0);
        return scene;
    }
    // Presses and releases each key on the scene; returns what was sent.
    std::vector<std::string> Press(UiScene* scene, std::initializer_list<int> keys) {
        recorder.sent.clear();
        for (int key : keys) {
            scene->OnKey(key, true);
            scene->OnKey(key, false);
        }
        return recorder.sent;
    }

    UiWorld world;
    ResourceManager resources;
    std::unique_ptr<ScriptManager> scripts;
    std::unique_ptr<UiSceneManager> scenes = std::make_unique<UiSceneManager>();
    MenuSendRecorder recorder;
    std::vector<UiScene*> live;
    ManualClock clock;
};

constexpr int kEnter = 13, kEscape = 27, kDown = 40, kUp = 38, kRight = 39, kAttack = 88, kPadStart = 263;
using Sent = std::vector<std::string>;

// A menu entered fresh, the keys pressed in turn, and what it must send.
struct MenuCase {
    const char* scene;
    std::initializer_list<int> keys;
    Sent expected;
};

// testPlay: the room is tested from the level editor (its main sets the Lua
// global "LevelEditorTestPlay").
template <std::size_t N>
void ExpectMenuCases(const MenuCase (&cases)[N], bool testPlay) {
    for (const MenuCase& c : cases) {
        ShippedMenuWorld menus;
        if (testPlay) menus.scripts->RunString("LevelEditorTestPlay = true");
        UiScene* scene = menus.EnterAndWait(c.scene);
        ASSERT_NE(scene, nullptr) << c.scene;
        EXPECT_EQ(scene->GetName(), c.scene);
        EXPECT_EQ(menus.Press(scene, c.keys), c.expected) << c.scene << ", case with " << c.keys.size() << " keys";
    }
}

TEST(ShippedMenus, EveryButtonSendsItsMessagesAndChangesScene) {
    const std::string gotoCode = std::to_string(int(UiSceneChangeMethod::Goto));
    const std::string popCode = std::to_string(int(UiSceneChangeMethod::Pop));
    const std::string pushCode = std::to_string(int(UiSceneChangeMethod::Push));
    const MenuCase cases[] = {
        {"main-menu", {kEnter}, {"GameFreshStart", "UiChangeScene(level-loading-ui, " + gotoCode + ")"}},
        {"main-menu", {kDown, kEnter}, {"UiChangeScene(options, " + pushCode + ")"}},
        {"main-menu", {kDown, kDown, kEnter}, {"StopLoop"}},
        {"main-menu", {kDown, kDown, kDown, kEnter}, {"StopLoop"}},
        {"main-menu", {kDown, kUp, kEnter}, {"GameFreshStart", "UiChangeScene(level-loading-ui, " + gotoCode + ")"}},
        {"pause-menu", {kEnter}, {"UiChangeScene(, " + popCode + ")"}},
        {"pause-menu", {kEscape}, {"UiChangeScene(, " + popCode + ")"}},
        {"pause-menu", {kDown, kEnter}, {"GameEnding", "UiChangeScene(main-menu, " + gotoCode + ")"}},
        {"game-lost-menu", {kEnter}, {"GameLevelRetry", "UiChangeScene(level-loading-ui, " + gotoCode + ")"}},
        {"game-lost-menu", {kDown, kEnter}, {"GameLevelRestart", "UiChangeScene(level-loading-ui, " + gotoCode + ")"}},
        {"game-lost-menu", {kDown, kDown, kEnter}, {"GameEnding", "UiChangeScene(main-menu, " + gotoCode + ")"}},
        {"game-lost-menu", {kDown, kDown, kDown, kEnter}, {"GameEnding", "UiChangeScene(main-menu, " + gotoCode + ")"}},
        {"game-complete-menu", {kEnter}, {"GameEnding", "UiChangeScene(main-menu, " + gotoCode + ")"}},
        {"level-refused", {kDown}, {"GameEnding", "UiChangeScene(main-menu, " + gotoCode + ")"}},
    };
    ExpectMenuCases(cases, false);
}

// In a room tested from the level editor (its main sets the Lua global
// "LevelEditorTestPlay") every menu that ends the play leads back to the
// editor and none to the main menu; Retry and Restart still play the room.
TEST(ShippedMenus, ATestedRoomsMenusLeadBackToTheEditorOnly) {
    const std::string gotoCode = std::to_string(int(UiSceneChangeMethod::Goto));
    const std::string popCode = std::to_string(int(UiSceneChangeMethod::Pop));
    const MenuCase cases[] = {
        {"pause-menu", {kDown, kEnter}, {"BackToEditor", "UiChangeScene(, " + popCode + ")"}},
        {"game-lost-menu", {kEnter}, {"GameLevelRetry", "UiChangeScene(level-loading-ui, " + gotoCode + ")"}},
        {"game-lost-menu", {kDown, kEnter}, {"GameLevelRestart", "UiChangeScene(level-loading-ui, " + gotoCode + ")"}},
        {"game-lost-menu", {kDown, kDown, kEnter}, {"BackToEditor"}},
        {"game-lost-menu", {kDown, kDown, kDown, kEnter}, {"BackToEditor"}},
        {"game-complete-menu", {kEnter}, {"BackToEditor"}},
        {"level-refused", {kEnter}, {"BackToEditor"}},
    };
    ExpectMenuCases(cases, true);
}

// The pause menu stops the game while it is up and lets it go when it
// leaves; the loading screen tells the game it is ready and goes to the HUD
// when its level is loaded, and the HUD opens the pause menu on Escape.
TEST(ShippedMenus, PauseLoadingAndHudScenes) {
    ShippedMenuWorld menus;
    menus.recorder.sent.clear();
    UiScene* pause = menus.Enter("pause-menu");
    ASSERT_NE(pause, nullptr);
    menus.recorder.sent.clear();
    pause->Leave();
    EXPECT_EQ(menus.recorder.sent, (Sent{"UiPause(false)"}));

    UiScene* loading = menus.Enter("level-loading-ui");
    ASSERT_NE(loading, nullptr);
    loading->RaiseEvent("UiLoadingDone");
    EXPECT_EQ(menus.recorder.sent,
              (Sent{"GameReady", "UiChangeScene(hud, " + std::to_string(int(UiSceneChangeMethod::Goto)) + ")"}));

    UiScene* hud = menus.EnterAndWait("hud");
    ASSERT_NE(hud, nullptr);
    EXPECT_EQ(menus.Press(hud, {kEnter, kDown}), Sent{});
    EXPECT_EQ(menus.Press(hud, {kEscape}),
              (Sent{"UiChangeScene(pause-menu, " + std::to_string(int(UiSceneChangeMethod::Push)) + ")"}));
}

// The attack key (X, a select key) mashed every quarter second while the
// player dies: down as the menu opens, pressed again at 0.25 s, both in the
// first 0.3 s: no choice. The press at 0.5 s chooses.
TEST(ShippedMenus, MenusFromPlayTakeNoChoiceFromAKeyHeldOrPressedAsTheyOpen) {
    const std::string gotoCode = std::to_string(int(UiSceneChangeMethod::Goto));
    const std::string popCode = std::to_string(int(UiSceneChangeMethod::Pop));
    const std::pair<const char*, Sent> menusFromPlay[] = {
        {"game-lost-menu", {"GameLevelRetry", "UiChangeScene(level-loading-ui, " + gotoCode + ")"}},
        {"game-complete-menu", {"GameEnding", "UiChangeScene(main-menu, " + gotoCode + ")"}},
        {"pause-menu", {"UiChangeScene(, " + popCode + ")"}},
    };
    for (const auto& [name, choice] : menusFromPlay) {
        ShippedMenuWorld menus;
        UiScene* menu = menus.Enter(name);
        ASSERT_NE(menu, nullptr) << name;
        // Enter held too, and its release heard elsewhere: its press at
        // 0.25 s is still too early.
        menu->IgnoreHeldKeys({kAttack, kEnter});
        menus.clock.AdvanceSeconds(0.1);
        EXPECT_EQ(menus.Press(menu, {}), Sent{});
        menu->OnKey(kAttack, false);
        menus.clock.AdvanceSeconds(0.15);
        EXPECT_EQ(menus.Press(menu, {kAttack, kEnter}), Sent{}) << name << " at 0.25 s";
        menus.clock.AdvanceSeconds(0.25);
        EXPECT_EQ(menus.Press(menu, {kAttack}), choice) << name << " at 0.5 s";
    }
}

// The shipped menus played through the UI system, keys coming from Input
// frame by frame (0.016 s), and the game's part done here: a level's loading
// screen is done the frame after it comes up, and from "GameReady" the
// camera's fly-over is for 60 frames the one handler of every key.
class MenuPlay : public ShippedMenuWorld {
public:
    MenuPlay() {
        for (const char* name : {"main-menu", "options", "level-loading-ui", "hud", "pause-menu", "game-lost-menu",
                                 "game-complete-menu"})
            Load(name);
        input.Initialize();
        ui.SetClock(clock);
        world.engine.AddSystem(&ui);
        ui.Initialize();
        world.core.Listen("GameReady", MakeDelegate(this, &MenuPlay::OnGameReady));
        Change(UiSceneChangeMethod::Goto, "main-menu");
        Frames(1);
    }
    ~MenuPlay() {
        world.core.Unlisten("GameReady", MakeDelegate(this, &MenuPlay::OnGameReady));
        if (flyOverLeft > 0) world.core.ClearHandler("KeyTriggered");
        ui.Shutdown();
        input.Shutdown();
    }
    void Change(UiSceneChangeMethod method, std::string name) {
        world.core.SendMessageValues("UiChangeScene", &name, method);
    }
    void Frames(int count) {
        for (int i = 0; i < count; ++i) {
            UiScene* before = ui.GetTop();
            clock.AdvanceSeconds(0.016);
            ui.Update(0.016f);
            if (flyOverLeft > 0 && --flyOverLeft == 0) world.core.ClearHandler("KeyTriggered");
            UiScene* top = ui.GetTop();
            if (top && top == before && top->GetName() == "level-loading-ui") top->RaiseEvent("UiLoadingDone");
        }
    }
    // Key down for `frames` frames; the game replaces the HUD by the menu
    // `ending` (when given) in the frame of the press.
    void Hold(int key, int frames, const char* ending = nullptr) {
        input.SetKey(key, true);
        if (ending) Change(UiSceneChangeMethod::Replace, ending);
        Frames(frames);
        input.SetKey(key, false);
        Frames(1);
    }
    // After the menu's first 0.3 s, each key pressed and released by
    // itself; what the presses sent.
    Sent Choose(std::initializer_list<int> keys) {
        Frames(20);
        Sent sent;
        for (int key : keys) {
            recorder.sent.clear();
            input.SetKey(key, true);
            sent.insert(sent.end(), recorder.sent.begin(), recorder.sent.end());
            Frames(1);
            input.SetKey(key, false);
            Frames(1);
        }
        return sent;
    }

    LogCapture log;  // the stack lines, and the textures this world does not load
    Input input;
    UiSystem ui;
    int flyOverLeft = 0;

private:
    void OnGameReady() {
        world.core.SetHandler("KeyTriggered", MakeDelegate(this, &MenuPlay::OnFlyOverKey));
        flyOverLeft = 60;
    }
    void OnFlyOverKey(int, bool) {}
};

// Play chosen with a key, the key that led to a menu from play (the game
// ends as it is down for the lost and complete menus) and, for the main
// menu, the Enter that left that menu, each held 1, 5, 30 or 120 frames
// across the change (let go before, during or after the fly-over): the menu
// then takes Down and Return pressed by themselves every time.
TEST(ShippedMenus, KeysHeldAcrossASceneChangeLeaveTheNextMenuItsChoices) {
    const std::string gotoCode = std::to_string(int(UiSceneChangeMethod::Goto));
    const Sent quit = {"GameEnding", "UiChangeScene(main-menu, " + gotoCode + ")"};
    const Sent restart = {"GameLevelRestart", "UiChangeScene(level-loading-ui, " + gotoCode + ")"};
    const Sent options = {"UiChangeScene(options, " + std::to_string(int(UiSceneChangeMethod::Push)) + ")"};
    const struct {
        int playKey, leadKey;  // the key that chose Play, the key down as play led to the menu
        const char* ending;
        std::initializer_list<int> toMain;  // for the main menu: the keys before Enter
        const char* menu;
        Sent expected;
    } cases[] = {
        {kEnter, kEscape, nullptr, {}, "pause-menu", quit},
        {kPadStart, kPadStart, nullptr, {}, "pause-menu", quit},
        {kEnter, kAttack, "game-lost-menu", {}, "game-lost-menu", restart},
        {kEnter, kRight, "game-complete-menu", {}, "game-complete-menu", quit},
        {kEnter, kEscape, nullptr, {kDown}, "main-menu", options},
        {kEnter, kAttack, "game-lost-menu", {kDown, kDown}, "main-menu", options},
        {kEnter, kRight, "game-complete-menu", {}, "main-menu", options},
    };
    for (const auto& c : cases) {
        for (int frames : {1, 5, 30, 120}) {
            MenuPlay play;
            play.Hold(c.playKey, frames);
            play.Frames(play.flyOverLeft + 5);
            play.Hold(c.leadKey, frames, c.ending);
            if (std::string(c.menu) == "main-menu") {
                play.Choose(c.toMain);
                play.Hold(kEnter, frames);
            }
            const std::string label = std::string(c.menu) + " after " + std::to_string(c.leadKey) + ", held " +
                                      std::to_string(frames) + " frames";
            ASSERT_NE(play.ui.GetTop(), nullptr) << label;
            EXPECT_EQ(play.ui.GetTop()->GetName(), c.menu) << label;
            EXPECT_EQ(play.Choose({kDown, kEnter}), c.expected) << label;
        }
    }
}

}  // namespace
