// The menu scenes the game ships (rsc/ui): every button, reached with the
// arrow keys and chosen with Enter, sends its game messages and asks for its
// scene change; the pause menu also goes back on Escape. The menus that open
// from play take no choice from a key pressed in their first 0.3 s or held
// as they opened. The HUD that opens
// the lost and complete menus is not needed: the scenes are entered here
// directly.

#include "engine/core/Clock.h"
#include "engine/core/ScriptEnums.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
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
    // The shipped scene, entered; the recorder starts empty.
    UiScene* Enter(const std::string& name) {
        const FilePath path = resources.GetPath(name);
        if (!path.IsValid()) return nullptr;
        scenes->LoadSceneFile(path.GetString());
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

constexpr int kEnter = 13, kEscape = 27, kDown = 40, kUp = 38;
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
    constexpr int kAttack = 88;
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
        menu->IgnoreHeldKeys({kAttack});
        menus.clock.AdvanceSeconds(0.1);
        EXPECT_EQ(menus.Press(menu, {}), Sent{});
        menu->OnKey(kAttack, false);
        menus.clock.AdvanceSeconds(0.15);
        EXPECT_EQ(menus.Press(menu, {kAttack, kEnter}), Sent{}) << name << " at 0.25 s";
        menus.clock.AdvanceSeconds(0.25);
        EXPECT_EQ(menus.Press(menu, {kAttack}), choice) << name << " at 0.5 s";
    }
}

}  // namespace
