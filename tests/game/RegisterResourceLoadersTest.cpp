// Bad game data run through the real loaders the game registers: every case
// must leave a log line that names the bad file by its path under the
// resource folder, so that whoever made the data can find what to mend.

#include "game/RegisterResourceLoaders.h"

#include "tests/engine/world/LevelWorld.h"

#include "engine/graphics/textures/TextureManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiElementManager.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/TutorialManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

namespace Ostrel {
namespace {

using LevelTest::kNone;
using LevelTest::LevelWorld;
using LevelTest::PortalRoom;
using LevelTest::Room;

// What a case does after the tree is walked (and its palettes read).
enum class Step { Walk, Tutorials, FreshStart, SelectPalette, Startup, Scenes, TilePalettes };

constexpr const char* kFolder = "<a folder>";

struct BadData {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;  // under rsc/level/; kFolder makes a folder
    Step step;
    const char* named;  // the file the log must name (under rsc/level/), or "" for the folder itself
};

std::string Bytes(std::initializer_list<int> values) {
    std::string text;
    for (int value : values) text += char(value);
    return text;
}

const std::string kStart = PortalRoom(0, kNone, 0);
const std::string kEnd = PortalRoom(0, 0, kNone);
const char* const kGoodScene = "function LoadScene(scene) scene:SetName('page') end";
// A scene whose loading calls one bound function with a bad argument.
std::string SceneCalling(const std::string& call) {
    return "function LoadScene(scene)\n  local e = UiSolid.new()\n  " + call + "\n  scene:AddElement(e)\nend\n";
}

std::vector<BadData> Cases() {
    return {
        // Tutorial files.
        {"tutorial of random bytes", {{"bytes.tut", Bytes({0x9c, 0x01, 0xff, 0x00, 0x7b, 0x13})}}, Step::Tutorials, "bytes.tut"},
        {"tutorial holding NUL", {{"nul.tut", std::string("prompt {\0 }", 11)}}, Step::Tutorials, "nul.tut"},
        {"tutorial without braces", {{"page.scn", kGoodScene}, {"nobrace.tut", "prompt page delay: 3"}}, Step::Tutorials, "nobrace.tut"},
        {"tutorial unterminated", {{"page.scn", kGoodScene}, {"open.tut", "prompt { page { delay: 3 }"}}, Step::Tutorials, "open.tut"},
        {"tutorial record cut short", {{"cut.tut", "prompt { show-limit: 2"}}, Step::Tutorials, "cut.tut"},
        {"tutorial delay -1", {{"page.scn", kGoodScene}, {"delay.tut", "prompt { page { delay: -1 } }"}}, Step::Tutorials, "delay.tut"},
        {"tutorial show limit -1", {{"page.scn", kGoodScene}, {"limit.tut", "prompt { show-limit: -1 page { } }"}}, Step::Tutorials, "limit.tut"},
        {"tutorial malformed delay", {{"page.scn", kGoodScene}, {"nan.tut", "prompt { page { delay: soon } }"}}, Step::Tutorials, "nan.tut"},
        {"tutorial unknown scene", {{"noscene.tut", "prompt { no-such-page { } }"}}, Step::Tutorials, "noscene.tut"},
        {"tutorial unknown dependency", {{"page.scn", kGoodScene}, {"dep.tut", "prompt { depends: nobody page { } }"}}, Step::Tutorials, "dep.tut"},
        {"tutorial unknown input word", {{"page.scn", kGoodScene}, {"input.tut", "prompt { page { input: joystick } }"}}, Step::Tutorials, "input.tut"},
        {"tutorial folder", {{"prompts.tut", kFolder}}, Step::Walk, "prompts.tut"},
        {"tutorial name in two files", {{"page.scn", kGoodScene}, {"one.tut", "prompt { page { } }"}, {"two.tut", "prompt { page { } }"}}, Step::Tutorials, "two.tut"},
        // Level lists.
        {"level list missing", {}, Step::FreshStart, ""},
        {"level list folder", {{"order.xlod", kFolder}}, Step::Walk, "order.xlod"},
        {"level list of comments only", {{"order.xlod", "<!-- no levels yet -->"}}, Step::FreshStart, "order.xlod"},
        {"second level list", {{"a-order.xlod", "<lvl/>"}, {"b-order.xlod", "<lvl/>"}}, Step::FreshStart, "b-order.xlod"},
        {"level list malformed", {{"order.xlod", "<lvl>"}}, Step::FreshStart, "order.xlod"},
        // Room palettes and rooms.
        {"empty palette", {{"lvl.rmp", ""}}, Step::SelectPalette, "lvl.rmp"},
        {"name-only palette", {{"lvl.rmp", "name: Lonely_Temple"}}, Step::SelectPalette, "lvl.rmp"},
        {"random group without counts", {{"lvl.rmp", "random room-a"}}, Step::SelectPalette, "lvl.rmp"},
        {"palette naming a missing room", {{"room-s.xrm", kStart}, {"lvl.rmp", "ordered room-s no-such-room"}}, Step::SelectPalette, "lvl.rmp"},
        {"random group min above max", {{"room-s.xrm", kStart}, {"lvl.rmp", "random 3 1 room-s"}}, Step::SelectPalette, "lvl.rmp"},
        {"room of broken XML", {{"room-b.xrm", "<Level><Objects>"}, {"lvl.rmp", "ordered room-b"}}, Step::SelectPalette, "room-b.xrm"},
        {"room without portals", {{"room-b.xrm", Room(0, "")}, {"lvl.rmp", "ordered room-b"}}, Step::SelectPalette, "room-b.xrm"},
        {"room with two entrances", {{"room-b.xrm", PortalRoom(0, 0, kNone, LevelTest::Portal("Entrance", 5))}, {"lvl.rmp", "ordered room-b"}}, Step::SelectPalette, "room-b.xrm"},
        {"two start rooms", {{"room-s.xrm", kStart}, {"room-t.xrm", kStart}, {"room-e.xrm", kEnd}, {"lvl.rmp", "ordered room-s room-t room-e"}}, Step::SelectPalette, "lvl.rmp"},
        {"room with an unknown archetype", {{"room-b.xrm", PortalRoom(0, kNone, 0, LevelTest::Object("no-such-obj", 0, 0, 0))}, {"lvl.rmp", "ordered room-b"}}, Step::SelectPalette, "room-b.xrm"},
        // Scripts and scenes.
        {"startup script that does not compile", {{"startup-script.lua", "function ("}}, Step::Startup, "startup-script.lua"},
        {"startup script that fails", {{"startup-script.lua", "local t = nil\nprint(t.field)"}}, Step::Startup, "startup-script.lua"},
        {"scene that does not compile", {{"menu.scn", "function LoadScene(scene"}}, Step::Scenes, "menu.scn"},
        {"scene without LoadScene", {{"menu.scn", "x = 1"}}, Step::Scenes, "menu.scn"},
        {"SetColor({})", {{"menu.scn", SceneCalling("e:SetColor({})")}}, Step::Scenes, "menu.scn"},
        {"SetWidth(0/0)", {{"menu.scn", SceneCalling("e:SetWidth(0/0)")}}, Step::Scenes, "menu.scn"},
        {"SetWidth({})", {{"menu.scn", SceneCalling("e:SetWidth({})")}}, Step::Scenes, "menu.scn"},
        {"AddKey(2^40)", {{"menu.scn", SceneCalling("local k = UiKeyHandler.new() k:AddKey(2^40)")}}, Step::Scenes, "menu.scn"},
        {"font size NaN", {{"menu.scn", SceneCalling("local l = UiLabel.new() l:SetFont('DejaVu Sans', 0/0)")}}, Step::Scenes, "menu.scn"},
        {"font table height NaN", {{"menu.scn", SceneCalling("local l = UiLabel.new() l:SetFontIndirect({name = 'DejaVu Sans', height = 0/0})")}}, Step::Scenes, "menu.scn"},
        // Tile palettes.
        {"tile palette of broken XML", {{"tiles.xpal", "<Palette><TileDimensionX>8"}}, Step::TilePalettes, "tiles.xpal"},
        {"tile palette with no tiles", {{"tiles.xpal", "<Palette><NumberOfTilesX>0</NumberOfTilesX></Palette>"}}, Step::TilePalettes, "tiles.xpal"},
        {"tile palette naming a missing atlas", {{"tiles.xpal", "<Palette><AtlasName>no-atlas</AtlasName></Palette>"}}, Step::TilePalettes, "tiles.xpal"},
    };
}

// Runs one case in a tree of its own; answers the log.
std::string RunCase(const BadData& bad, std::string& root) {
    std::map<std::string, std::string> files;
    std::vector<std::string> folders;
    for (const auto& [name, text] : bad.files) {
        if (text == kFolder) {
            folders.push_back(name);
        } else {
            files[name] = text;
        }
    }
    // Folders must exist before the walk: made in a tree of the world's own
    // naming scheme would be too late, so the world walks an existing tree.
    static int s_tree = 0;
    root = (std::filesystem::path(LV_TEST_TMP) / ("bad-data-" + std::to_string(getpid()) + "-" + std::to_string(++s_tree)) / "rsc").string();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "/level");
    for (const auto& [name, text] : files) std::ofstream(root + "/level/" + name, std::ios::binary) << text;
    for (const std::string& name : folders) std::filesystem::create_directories(root + "/level/" + name + "/inside");

    std::string log;
    {
        LevelWorld world({}, root);
        world.engine.AddSystem(&world.game);
        TutorialManager tutorials;
        PaletteRegistry tilePalettes;
        TextureManager textures;
        UiElementManager elements;
        RegisterResourceLoaders(world.resources);
        switch (bad.step) {
        case Step::Walk: break;
        case Step::Tutorials: world.resources.LoadAllOfKind(kKindTutorial); break;
        case Step::FreshStart:
            world.game.Initialize();
            world.core.Send("GameFreshStart");
            world.game.Shutdown();
            break;
        case Step::SelectPalette: world.palettes.Select("lvl"); break;
        case Step::Startup: ScriptManager(); break;
        case Step::Scenes: {
            ScriptManager scripts;
            UiSceneManager scenes;
            world.resources.LoadAllOfKind(kKindScene);
            break;
        }
        case Step::TilePalettes:
            world.resources.LoadAllOfKind(kKindTilePalette);
            tilePalettes.Shutdown();
            break;
        }
        log = world.log;
    }
    std::filesystem::remove_all(std::filesystem::path(root).parent_path());
    return log;
}

TEST(RegisterResourceLoaders, BadGameDataIsLoggedWithItsFilesPath) {
    int named = 0;
    std::ostringstream missed;
    const std::vector<BadData> cases = Cases();
    for (const BadData& bad : cases) {
        std::string root;
        const std::string log = RunCase(bad, root);
        const std::string path = *bad.named ? root + "/level/" + bad.named : "'" + root + "'";
        if (log.find(path) != std::string::npos) {
            ++named;
        } else {
            missed << "  " << bad.what << " (" << path << "):\n" << log << "\n";
        }
    }
    // Every case is expected to name its file; the bar below is the least a
    // release may ship with.
    EXPECT_GE(named * 10, int(cases.size()) * 9) << named << " of " << cases.size() << " named the file; missed:\n"
                                                 << missed.str();
    EXPECT_EQ(named, int(cases.size())) << "missed:\n" << missed.str();
}

}  // namespace
}  // namespace Ostrel
