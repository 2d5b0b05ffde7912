// The shipped scene files of the HUD and the options screen, run by the
// real scene loader: every element the handlers look for exists with the
// kind they need, the handlers are attached, the scripts log no error, and
// the options navigator leaves Left and Right on "btn_res" to the handler.

#include "game/ui/UiEnergyBar.h"
#include "game/ui/UiHudHandler.h"
#include "game/ui/UiOptionsHandler.h"

#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiText.h"
#include "engine/ui/UiToggleImage.h"

#include "tests/game/ui/HudTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Vandle::GameTest {
namespace {

namespace fs = std::filesystem;

class ShippedScenes : public ::testing::Test {
protected:
    ShippedScenes() {
        m_root = fs::path(LV_TEST_TMP) / "hud-scenes";
        fs::remove_all(m_root);
        fs::create_directories(m_root / "ui");
        for (const char* file : {"hud.scn", "options.scn"}) {
            fs::copy_file(fs::path(LV_SOURCE_DIR) / "rsc" / "ui" / file, m_root / "ui" / file);
        }
        RegisterResourceKinds(resources, m_root.string());
        scripts = std::make_unique<ScriptManager>();
        scenes = std::make_unique<UiSceneManager>();
        for (const char* file : {"hud.scn", "options.scn"}) scenes->LoadSceneFile((m_root / "ui" / file).string());
    }
    ~ShippedScenes() override {
        scenes.reset();
        scripts.reset();
    }
    template <class H>
    static H* FindHandler(const UiScene& scene) {
        for (const auto& handler : scene.GetHandlers())
            if (auto* found = dynamic_cast<H*>(handler.get())) return found;
        return nullptr;
    }

    Ostrel::Testing::LogCapture capture;
    UiGameWorld world;
    ResourceManager resources;
    std::unique_ptr<ScriptManager> scripts;
    std::unique_ptr<UiSceneManager> scenes;

private:
    fs::path m_root;
};

TEST_F(ShippedScenes, HoldTheNamedElementsTheirHandlersNeed) {
    UiScene* hud = scenes->InstantiateWithoutEnter("hud");
    UiScene* options = scenes->InstantiateWithoutEnter("options");
    ASSERT_TRUE(hud && options);
    EXPECT_EQ(capture.All().find("lua"), std::string::npos) << capture.All();

    for (const char* name : {"ui-health", "ui-energy", "ui-yak", "ui-bird", "ui-fox0", "ui-fox1"})
        EXPECT_NE(dynamic_cast<UiEnergyBar*>(hud->FindElement(name)), nullptr) << name;
    for (const char* name : {"ui-room-progress", "ui-level-name"})
        EXPECT_NE(dynamic_cast<UiTextArea*>(hud->FindElement(name)), nullptr) << name;
    for (const char* name : {"ui-room-bg", "ui-room-label", "ui-bar", "ui-continue"})
        EXPECT_NE(hud->FindElement(name), nullptr) << name;
    const UiHudHandler* hudHandler = FindHandler<UiHudHandler>(*hud);
    ASSERT_NE(hudHandler, nullptr);
    EXPECT_EQ(hudHandler->GetLoadingScreenName(), "level-loading-ui");

    for (const char* name : {"btn_0", "btn_1", "btn_2", "btn_res", "lbl_lo", "lbl_mid", "lbl_hi", "lbl_lower",
                             "lbl_higher"})
        EXPECT_NE(options->FindElement(name), nullptr) << name;
    for (const char* name : {"cbx_0", "cbx_1", "cbx_2"})
        EXPECT_NE(dynamic_cast<UiToggleImage*>(options->FindElement(name)), nullptr) << name;
    ASSERT_NE(FindHandler<UiOptionsHandler>(*options), nullptr);
    EXPECT_EQ(FindHandler<UiOptionsHandler>(*options)->GetBlink(), 0.5f);

    // Up and Down reach the resolution row; Left and Right go nowhere.
    std::unique_ptr<UiNavigator> nav = options->GetNavigator()->Clone();
    nav->SetCurrentElement("btn_2");
    EXPECT_EQ(nav->Move(int(UiDirection::Down)), "btn_res");
    EXPECT_EQ(nav->Move(int(UiDirection::Left)), "");
    EXPECT_EQ(nav->Move(int(UiDirection::Right)), "");
    EXPECT_EQ(nav->GetCurrentElement(), "btn_res");
}

}  // namespace
}  // namespace Vandle::GameTest
