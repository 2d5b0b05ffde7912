// Every asset the game's code asks for by a fixed name is shipped and loads:
// rsc/ is loaded the way the game loads it (its loaders, "loading-pkg", then
// the background load) and each name is looked up where the game keeps it.
// Names reached through data (the pages' tables, the scenes' images) are
// followed from the fixed ones.
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/particles/ParticleEmitterComponent.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/text/FontTemplateManager.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/PropertyManager.h"
#include "engine/platform/SoundAsset.h"
#include "engine/platform/audio/AudioClip.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiToggleImage.h"
#include "engine/world/TutorialManager.h"
#include "game/RegisterComponentTypes.h"
#include "game/RegisterResourceLoaders.h"
#include "game/bosses/FoxBossComponent.h"
#include "game/objects/PowerUpAttackComponent.h"
#include "game/objects/TriggerListenerComponent.h"
#include "game/ui/UiEnergyBar.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace Ostrel;

// The names the game's code holds, by kind.
const char* const kFixedArchetypes[] = {
    "yak-obj", "yak-fx-obj", "spawner-yak-obj", "moving-spawner-yak-obj", "yak-mini-boss-obj",
    "yak-boss-projectile-obj", "yak-boss-fx", "fox-projectile-obj", "fox-boss-second-obj",
    "fox-boss-projectile-obj", "fox-boss-tremor-obj", "fox-boss-tremor-trail-obj", "fox-boss-mound-fx-obj",
    "fox-boss-tail-mound-fx-obj", "burn-fx", "rumble-obj", "rumble-fx", "anchor-obj", "healthpack-fx"};
// Pages whose names are archetypes, each naming a page of weighted archetypes.
const char* const kFixedMapPages[] = {"bird-split-map", "powerup-drop-map"};
// Pages whose values are texture names (the player aimer's first word).
const char* const kFixedTexturePages[] = {"hud-bar-fills", "hud-bar-borders", "qil-colors", "player-aimer"};
const char* const kFixedOtherPages[] = {"qil-light"};
// Clips the actions play; the two meshes are also named as clips.
const char* const kFixedClips[] = {"yak-headshake-anim", "yak-charge-anim", "yak-mesh", "boxfox-dig-up-anim",
                                   "boxfox-look-anim", "boxfox-dig-down-anim", "boxfox-tail-mesh",
                                   "foxtail-attack-anim", "foxtail-flourish-anim", "foxtail-down-anim",
                                   "luvo-walk-anim", "brisa-dodge-anim", "brisa-ouch-anim"};
const char* const kFixedMeshes[] = {"yak-mesh", "boxfox-tail-mesh"};
const char* const kFixedSounds[] = {
    "battle-bgm", "boss-battle-bgm", "light-thud-sfx", "checkpoint-sfx", "menhir-move-sfx", "new-menu-click-sfx",
    "powerup-health-sfx", "powerup-attack-sfx", "spawner-death-sfx", "yak-spawn-sfx", "yak-death-sfx",
    "yak-charge-sfx", "yak-slam-sfx", "yak-brood-death-sfx", "yak-boss-dmg-1-sfx", "yak-boss-dmg-2-sfx",
    "yak-boss-dmg-3-sfx", "fox-spawn-sfx", "fox-death-sfx", "fox-pant-sfx", "fox-burrow-sfx", "fox-surface-sfx",
    "fox-slam-sfx", "fox-boss-spawn-sfx", "fox-boss-pant-sfx", "fox-boss-death-sfx", "fox-boss-dmg-1-sfx",
    "fox-boss-dmg-2-sfx", "fox-boss-dmg-3-sfx", "bird-spawn-sfx", "bird-death-sfx", "bird-split-sfx",
    "bird-boss-death-sfx", "bird-boss-dmg-1-sfx", "bird-boss-dmg-2-sfx", "bird-boss-dmg-3-sfx",
    // The player's and the companion's.
    "dash-sfx", "low-thud-sfx", "whoosh-sfx", "player-death-sfx", "attack-arc-sfx", "attack-meteor-sfx",
    "qil-ascent-sfx"};
const char* const kFixedScenes[] = {"level-loading-ui", "game-lost-menu", "game-complete-menu"};
const char* const kFixedHudBars[] = {"ui-health", "ui-energy", "ui-yak", "ui-bird", "ui-fox0", "ui-fox1"};
const char* const kFixedHudOthers[] = {"ui-room-bg", "ui-room-label", "ui-room-progress",
                                  "ui-level-name", "ui-bar", "ui-continue"};
// The tutorial prompts the code asks for: the game system's five periodic
// ones (in the order a new player should meet them), then those sent when a
// nest, a dropped power-up or the shield first shows.
const char* const kFixedTutorials[] = {"move-basic", "use-qil-basic", "use-dash", "use-qil-advanced",
                                       "use-dash-advanced", "spawner-appears", "power-up-appears", "use-shield"};
const char* const kFixedOptionsBoxes[] = {"cbx_0", "cbx_1", "cbx_2"};
const char* const kFixedOptionsOthers[] = {"btn_0", "btn_1", "btn_2", "btn_res", "lbl_lo",
                                      "lbl_mid", "lbl_hi", "lbl_lower", "lbl_higher"};

// The game's managers that hold loaded data (those that need no window),
// with rsc/ loaded into them as the game loads it at start-up.
class ShippedContentWorld {
public:
    ShippedContentWorld() {
        engine.SetLog(&log.GetLogger());
        engine.AddSystem(&core);
        Vandle::RegisterComponentTypes(factory);
        RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
        RegisterResourceLoaders(resources);
        scripts = std::make_unique<ScriptManager>();
        testing::internal::CaptureStdout();
        resources.LoadRequiredResource(kLoadingPackage);
        resources.BackgroundLoad();
        factoryOutput = testing::internal::GetCapturedStdout();
    }
    ~ShippedContentWorld() {
        scenes.reset();
        scripts.reset();
    }

    bool HasPage(const std::string& name) {
        properties.SelectPage(name);
        return properties.GetSelectedPageName() == name;
    }
    // The names of a page's entries (none when the page is missing).
    std::vector<std::string> Entries(const std::string& page) {
        std::vector<std::string> names;
        if (HasPage(page)) properties.GetPropertyNames(names);
        return names;
    }
    std::string Value(const std::string& page, const std::string& name) {
        std::string value;
        properties.GetPageProperty(page, name, value);
        return value;
    }
    bool HasTexture(const std::string& name) const {
        const Texture* texture = textures.Find(name);
        return texture && texture->GetWidth() > 0 && texture->GetHeight() > 0;
    }
    UiScene* Scene(const std::string& name) const { return scenes ? scenes->Find(name) : nullptr; }

    Testing::LogCapture log;
    Engine engine;
    CoreSystem core;
    CompositionFactory factory;
    ResourceManager resources;
    MeshManager meshes;
    TextureManager textures;
    AnimationManager animations;
    FontTemplateManager fontTemplates;
    FontManager fonts;
    SkeletonManager skeletons;
    std::unique_ptr<ScriptManager> scripts;
    UiElementManager elements;
    std::unique_ptr<UiSceneManager> scenes = std::make_unique<UiSceneManager>();
    SoundDeviceManager soundDevices{AudioSystem::OutputKind::None};
    SoundManager sounds;
    PropertyManager properties;
    TutorialManager tutorials;
    std::string factoryOutput;
};

TEST(ShippedContent, EveryFixedNameIsLoadedWhereTheGameLooksForIt) {
    ShippedContentWorld world;
    EXPECT_EQ(world.factoryOutput, "") << "the factory complained while rsc loaded";

    // Archetypes, with what the code that makes them relies on.
    for (const char* name : kFixedArchetypes) EXPECT_NE(world.factory.FindArchetype(name), nullptr) << name;
    for (const char* name : {"spawner-yak-obj", "moving-spawner-yak-obj"}) {
        const Composition* spawner = world.factory.FindArchetype(name);
        if (!spawner) continue;
        EXPECT_NE(spawner->GetComponent(Vandle::TriggerListenerComponent::kTypeId), nullptr) << name;
        EXPECT_NE(spawner->GetComponent(BrainComponent::kTypeId), nullptr) << name;
        EXPECT_NE(spawner->GetComponent(TransformComponent::kTypeId), nullptr) << name;
    }
    if (const Composition* second = world.factory.FindArchetype("fox-boss-second-obj")) {
        const auto* fox = static_cast<const Vandle::FoxBossComponent*>(
            second->GetComponent(Vandle::FoxBossComponent::kTypeId));
        ASSERT_NE(fox, nullptr);
        EXPECT_FALSE(fox->IsFirstFox()) << "the second fox must not report on the first fox's bar";
    }
    const Composition* rumble = world.factory.FindArchetype("rumble-fx");
    EXPECT_TRUE(rumble && rumble->GetComponent(ParticleEmitterComponent::kTypeId)) << "rumble-fx is no particle effect";

    // Pages, and what their entries name.
    for (const char* map : kFixedMapPages) {
        const std::vector<std::string> owners = world.Entries(map);
        EXPECT_FALSE(owners.empty()) << map;
        for (const std::string& owner : owners) {
            EXPECT_NE(world.factory.FindArchetype(owner), nullptr) << map << ": " << owner;
            const std::string table = world.Value(map, owner);
            const std::vector<std::string> picks = world.Entries(table);
            EXPECT_FALSE(picks.empty()) << map << ": " << owner << " names the missing or empty page '" << table << "'";
            for (const std::string& pick : picks)
                EXPECT_NE(world.factory.FindArchetype(pick), nullptr) << table << ": " << pick;
        }
    }
    for (const char* page : kFixedTexturePages) {
        const std::vector<std::string> attacks = world.Entries(page);
        EXPECT_EQ(attacks.size(), 5u) << page << ": one entry per companion attack";
        for (const std::string& attack : attacks) {
            std::string texture;
            std::istringstream(world.Value(page, attack)) >> texture;
            EXPECT_TRUE(world.HasTexture(texture)) << page << ": " << attack << " names '" << texture << "'";
        }
    }
    for (const char* page : kFixedOtherPages) EXPECT_FALSE(world.Entries(page).empty()) << page;

    // Clips, meshes and skeletons.
    for (const char* name : kFixedClips) EXPECT_NE(world.animations.Find(name), nullptr) << name;
    for (const char* name : kFixedMeshes) {
        EXPECT_NE(world.meshes.Find(name), nullptr) << name;
        EXPECT_NE(world.skeletons.Find(name), nullptr) << name;
    }

    // Sounds: a manifest record and a decoded file for each.
    for (const char* name : kFixedSounds) {
        EXPECT_NE(world.soundDevices.GetDefinitions().Find(name), nullptr) << name << " has no manifest record";
        const SoundAsset* sound = world.sounds.Find(name);
        EXPECT_TRUE(sound && sound->GetClip() && sound->GetClip()->Frames() > 0) << name << " did not decode";
    }

    // Scenes, and the elements the HUD and options handlers bind by name,
    // with the images their scripts gave them.
    for (const char* name : kFixedScenes) EXPECT_NE(world.Scene(name), nullptr) << name;
    UiScene* hud = world.Scene("hud");
    ASSERT_NE(hud, nullptr);
    for (const char* name : kFixedHudBars) {
        const auto* bar = dynamic_cast<Vandle::UiEnergyBar*>(hud->FindElement(name));
        ASSERT_NE(bar, nullptr) << name << " is not an energy bar of the HUD";
        EXPECT_TRUE(bar->GetBorder() && bar->GetBar()) << name << " lacks its border or fill image";
    }
    for (const char* name : kFixedHudOthers) EXPECT_NE(hud->FindElement(name), nullptr) << name;
    UiScene* options = world.Scene("options");
    ASSERT_NE(options, nullptr);
    for (const char* name : kFixedOptionsOthers) EXPECT_NE(options->FindElement(name), nullptr) << name;
    for (const char* name : kFixedOptionsBoxes) {
        auto* box = dynamic_cast<UiToggleImage*>(options->FindElement(name));
        ASSERT_NE(box, nullptr) << name << " is not a check box";
        for (int look : {0, 1}) {
            box->SetCurrentTexture(look);
            EXPECT_TRUE(box->GetCurrentIndex() == look && box->GetCurrentTexture()) << name << " image " << look;
        }
    }
    EXPECT_EQ(world.log.All(), "") << "loading rsc logged problems";
}

// Each special attack of the companion has a power-up that gives it, with
// charges, and a fill of its own for the HUD's energy bar.
TEST(ShippedContent, EverySpecialAttackHasItsPowerUpAndItsEnergyFill) {
    ShippedContentWorld world;
    for (const char* attack : {"ArcAttack", "MeteorAttack", "ShieldAttack", "FirestarterAttack"}) {
        SCOPED_TRACE(attack);
        int givers = 0;
        for (const std::string& name : world.factory.GetArchetypeNames()) {
            const Composition* archetype = world.factory.FindArchetype(name);
            const auto* power = archetype ? static_cast<const Vandle::PowerUpAttackComponent*>(
                                                archetype->GetComponent(Vandle::PowerUpAttackComponent::kTypeId))
                                          : nullptr;
            if (power && power->GetNewAttack() == attack) {
                ++givers;
                EXPECT_GT(power->GetNumAttacks(), 0) << name;
            }
        }
        EXPECT_GE(givers, 1) << "no power-up gives it";
        EXPECT_TRUE(world.HasTexture(world.Value("hud-bar-fills", attack))) << "no energy fill";
    }
}

// Each prompt has a page for the keyboard and one for the pad, both scenes
// that load; the periodic ones come one after the other from "move-basic"
// on, and each stops after a few showings even where the player's device
// never locks it (a keyboard cannot lock the pad's aiming prompts).
TEST(ShippedContent, EveryTutorialPromptHasItsPagesAndItsPlaceInTheOrder) {
    ShippedContentWorld world;
    const TutorialRecord* previous = nullptr;
    for (const char* name : kFixedTutorials) {
        SCOPED_TRACE(name);
        const TutorialRecord* record = world.tutorials.FindRecord(name);
        ASSERT_NE(record, nullptr) << "no tutorial record";
        bool keyboard = false, pad = false;
        for (const auto& page : record->GetScenes()) {
            keyboard = keyboard || page->input == TutorialSceneInputs::Keyboard;
            pad = pad || page->input == TutorialSceneInputs::Controller;
            EXPECT_NE(world.Scene(page->sceneName), nullptr) << page->sceneName << " is no loaded scene";
            EXPECT_GE(page->delay, 3000) << page->sceneName << " shows too briefly to be read";
        }
        EXPECT_TRUE(keyboard && pad);
        EXPECT_GE(record->GetShowLimit(), 1);
        EXPECT_LE(record->GetShowLimit(), 3);
        const bool periodic = std::string(name).rfind("use-", 0) == 0 || std::string(name) == "move-basic";
        if (periodic && std::string(name) != "use-shield") {
            const std::vector<std::string> after =
                previous ? std::vector<std::string>{previous->GetName()} : std::vector<std::string>{};
            EXPECT_EQ(record->GetDepends(), after);
            previous = record;
        }
    }
    EXPECT_EQ(world.log.All(), "");
}

}  // namespace
