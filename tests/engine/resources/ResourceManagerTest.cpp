#include "engine/base/Logger.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "tests/engine/io/XmlTestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <thread>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

fs::path FreshRoot(const std::string& name) {
    fs::path dir = fs::path(LV_TEST_TMP) / "resources" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

struct Recorder {
    std::vector<std::string> calls;
    ResourceManager::LoadCallback For(const std::string& kind) {
        return [this, kind](const std::string& path) {
            calls.push_back(kind + " " + FilePath(path).GetFileName());
        };
    }
};

class ResourceWalk : public testing::Test {
protected:
    void Build(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) {
        m_root = FreshRoot(name);
        for (const auto& [file, text] : files) WriteBytes(m_root / file, text);
        RegisterResourceKinds(m_manager, m_root.string());
    }
    fs::path m_root;
    ResourceManager m_manager;
    Recorder m_recorder;
};

TEST_F(ResourceWalk, RecordsKeysByLowerCaseBaseNameAndSkipsUnknownAndDotNames) {
    Build("walk", {{"misc/Rock.PNG", "png"}, {"misc/readme.txt", "t"}, {".hidden/ghost.xobj", "g"},
                   {"level/.keep", ""}, {"CoreSystem.XCFG", "<c/>"}});
    EXPECT_EQ(ResourceManager::Instance(), &m_manager);
    FilePath rock = m_manager.GetPath("ROCK");
    ASSERT_TRUE(rock.IsValid());
    EXPECT_EQ(rock.GetString(), (m_root / "misc/Rock.PNG").string());
    EXPECT_EQ(m_manager.GetNamesOfKind(kKindImage), std::vector<std::string>{"rock"});
    EXPECT_TRUE(m_manager.GetPath("coresystem").IsValid());
    EXPECT_FALSE(m_manager.GetPath("readme").IsValid());
    EXPECT_EQ(m_manager.Open("readme"), nullptr);
    EXPECT_FALSE(m_manager.GetPath("ghost").IsValid());
    EXPECT_FALSE(m_manager.GetPath("keep").IsValid());
    FilePath unknown = m_manager.GetPath("nothing");
    EXPECT_FALSE(unknown.IsValid());
    EXPECT_EQ(unknown.GetString(), "./");
}

TEST_F(ResourceWalk, DuplicateKeysKeepTheFirstPathButEnterTheKindListPerFile) {
    Build("dupes", {{"a/tree.png", "1"}, {"b/tree.png", "2"}, {"a.xobj", "o"}, {"c/a.png", "p"}});
    m_manager.RegisterLoader(kKindImage, m_recorder.For("IMAGE"));
    m_manager.RegisterLoader(kKindArchetype, m_recorder.For("ARCHETYPE"));
    m_manager.RegisterLoader(kKindImage, [](const std::string&) { FAIL() << "second loader"; });
    m_manager.LoadAllOfKind(kKindImage);
    m_manager.LoadAllOfKind(kKindArchetype);
    // Sorted walk: "a.xobj" < "a/" < "b/" < "c/"; "a" maps to a.xobj for both kinds.
    EXPECT_EQ(m_recorder.calls,
              (std::vector<std::string>{"IMAGE tree.png", "IMAGE tree.png", "IMAGE a.xobj",
                                        "ARCHETYPE a.xobj"}));
    EXPECT_EQ(m_manager.GetPath("tree").GetString(), (m_root / "a/tree.png").string());
}

// A room (named by a designer) never hides a file of another kind, whichever
// the walk meets first or when it is recorded later; a room replaces a room,
// but a file spelled as its key is never hidden by one that only folds to
// it ("Room-Gate.xrm" sorts before "room-gate.xrm").
TEST_F(ResourceWalk, ARoomNeverHidesAFileOfAnotherKindNorOneSpelledAsItsKey) {
    XmlTest::LogCapture log;
    Build("rooms", {{"level/hud.xrm", "<Level/>"}, {"ui/hud.scn", "-- scene"}, {"states.xstt", "<States/>"},
                    {"zz/states.xrm", "<Level/>"}, {"level/Room-Gate.xrm", "<Level/>"},
                    {"level/room-gate.xrm", "<Level/>"}, {"level/ROOM-GATE.xrm", "<Level/>"}});
    EXPECT_EQ(m_manager.PathOf("Room-Gate"), (m_root / "level/room-gate.xrm").string());
    // Sorted: "ROOM-GATE" < "Room-Gate" < "room-gate".
    EXPECT_NE(log.Text().find("Resource 'room-gate': '" + (m_root / "level/ROOM-GATE.xrm").string() +
                              "' is hidden by '" + (m_root / "level/room-gate.xrm").string() +
                              "', whose name is the key itself"),
              std::string::npos)
        << log.Text();
    EXPECT_NE(log.Text().find("'" + (m_root / "level/Room-Gate.xrm").string() + "' is hidden by"), std::string::npos);
    m_manager.AddResourcePath((m_root / "level/Room-GATE.xrm").string());
    EXPECT_EQ(m_manager.PathOf("room-gate"), (m_root / "level/room-gate.xrm").string());
    m_manager.RegisterLoader(kKindScene, m_recorder.For("SCENE"));
    m_manager.LoadAllOfKind(kKindScene);
    EXPECT_EQ(m_recorder.calls, std::vector<std::string>{"SCENE hud.scn"});
    EXPECT_EQ(m_manager.PathOf("states"), (m_root / "states.xstt").string());
    const std::string line = "Resource 'hud': the room '" + (m_root / "level/hud.xrm").string() + "' is hidden by '" +
                             (m_root / "ui/hud.scn").string() + "'";
    EXPECT_NE(log.Text().find(line), std::string::npos) << log.Text();
    m_manager.AddResourcePath((m_root / "level/Hud.xrm").string());
    EXPECT_EQ(m_manager.PathOf("HUD"), (m_root / "ui/hud.scn").string());
    m_manager.AddResourcePath((m_root / "level/room.xrm").string());
    m_manager.AddResourcePath((m_root / "other/room.xrm").string());
    EXPECT_EQ(m_manager.PathOf("room"), (m_root / "other/room.xrm").string());
}

TEST_F(ResourceWalk, OpenAnswersNullForAFileRemovedAfterTheWalk) {
    Build("removed", {{"gone.xcfg", "<c/>"}, {"here.xcfg", "<c/>"}});
    fs::remove(m_root / "gone.xcfg");
    EXPECT_EQ(m_manager.Open("gone"), nullptr);
    auto here = m_manager.Open("HERE");
    ASSERT_NE(here, nullptr);
    EXPECT_EQ(here->ReadAll(nullptr), 4);
}

TEST_F(ResourceWalk, AddResourcePathLowerCasesAndMakeRootPathJoins) {
    Build("added", {});
    FilePath target = m_manager.MakeRootPath("\\level\\Temple-Entry.xrm");
    EXPECT_EQ(target.GetString(), (m_root / "level/Temple-Entry.xrm").string());
    WriteBytes(target.GetString(), "<Level/>");
    m_manager.AddResourcePath(target.GetString());
    EXPECT_EQ(m_manager.GetPath("temple-entry").GetString(), target.GetString());
    EXPECT_NE(m_manager.Open("Temple-Entry"), nullptr);
}

TEST_F(ResourceWalk, PackagesLoadTheirEntriesNestedAndCyclesEnd) {
    Build("packages", {{"loading-pkg.pkg", "a\r\n\r\nnested-pkg\nself-pkg"},
                       {"nested-pkg.pkg", "b\rloading-pkg\r\n"},
                       {"self-pkg.pkg", "self-pkg\nc"},
                       {"a.xobj", ""}, {"b.xobj", ""}, {"c.xobj", ""}});
    m_manager.RegisterLoader(kKindArchetype, m_recorder.For("ARCHETYPE"));
    testing::internal::CaptureStderr();
    m_manager.LoadResource(kLoadingPackage);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string>{"ARCHETYPE a.xobj", "ARCHETYPE b.xobj",
                                                           "ARCHETYPE c.xobj"}));
    EXPECT_THAT(log, testing::HasSubstr("Package 'loading-pkg' lists itself"));
    EXPECT_THAT(log, testing::HasSubstr("Package 'self-pkg' lists itself"));
}

TEST_F(ResourceWalk, PackageEntriesNamingUnknownResourcesAreLoggedAndSkipped) {
    Build("unknown", {{"p.pkg", "missing-thing\na"}, {"a.xobj", ""}});
    m_manager.RegisterLoader(kKindArchetype, m_recorder.For("ARCHETYPE"));
    testing::internal::CaptureStderr();
    m_manager.LoadResource("p");
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                testing::HasSubstr("Package 'p': unknown resource 'missing-thing', skipped"));
    EXPECT_EQ(m_recorder.calls, std::vector<std::string>{"ARCHETYPE a.xobj"});
}

TEST(ParsePackageText, SplitsAtCrLfAndCrLfDroppingEmptyLinesKeepingBlanks) {
    auto parse = [](const std::string& text) { return ParsePackageText(text.data(), text.size()); };
    EXPECT_EQ(parse("a\r\n\r\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(parse("a\rb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(parse(" a b \n\n\n"), (std::vector<std::string>{" a b "}));
    EXPECT_EQ(parse(std::string("a\0b", 3)), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(ParsePackageText(nullptr, 5).empty());
}

TEST(ResourceManagerBackground, DoneFlipsOnceAfterTheLoadOnAnotherThread) {
    fs::path root = FreshRoot("background");
    WriteBytes(root / "one.xobj", "");
    WriteBytes(root / "pic.png", "");
    ResourceManager manager;
    RegisterResourceKinds(manager, root.string());
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    int archetypeCalls = 0;
    std::vector<std::string> order;
    manager.RegisterLoader(kKindArchetype, [&](const std::string&) {
        std::unique_lock lock(mutex);
        ++archetypeCalls;
        order.push_back("ARCHETYPE");
        released.wait(lock, [&] { return open; });
    });
    manager.RegisterLoader(kKindImage, [&](const std::string&) {
        std::lock_guard lock(mutex);
        order.push_back("IMAGE");
    });
    std::thread worker([&] { manager.BackgroundLoad(); });
    // The worker holds the first loader until released.
    EXPECT_FALSE(manager.IsBackgroundLoadDone());
    {
        std::lock_guard lock(mutex);
        open = true;
    }
    released.notify_all();
    worker.join();
    EXPECT_TRUE(manager.IsBackgroundLoadDone());
    manager.BackgroundLoad();
    EXPECT_TRUE(manager.IsBackgroundLoadDone());
    EXPECT_EQ(archetypeCalls, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"ARCHETYPE", "IMAGE"}));
}

// A quit requested while loading stops every loop between two resources:
// the kinds of the background load, the files of a kind, and a package's
// entries; the loads done so far stay done and the load still reports done.
TEST(ResourceManagerBackground, StopCheckEndsTheLoadsBetweenResources) {
    fs::path root = FreshRoot("stop");
    for (const char* name : {"a.xobj", "b.xobj", "c.xobj", "pic.png"}) WriteBytes(root / name, "");
    WriteBytes(root / "list.pkg", "a\nb\nc\n");
    ResourceManager manager;
    RegisterResourceKinds(manager, root.string());
    std::vector<std::string> loaded;
    bool quit = false;
    manager.SetStopCheck([&] { return quit; });
    manager.RegisterLoader(kKindArchetype, [&](const std::string& path) {
        loaded.push_back(FilePath(path).GetFileName());
        quit = loaded.size() == 2;  // the signal arrives during the second file
    });
    manager.RegisterLoader(kKindImage, [&](const std::string& path) { loaded.push_back(path); });
    manager.BackgroundLoad();
    EXPECT_EQ(loaded, (std::vector<std::string>{"a.xobj", "b.xobj"}));
    EXPECT_TRUE(manager.IsBackgroundLoadDone());
    manager.LoadAllOfKind(kKindArchetype);
    manager.LoadResource("list");
    EXPECT_EQ(loaded.size(), 2u);
    quit = false;
    loaded.clear();
    manager.LoadResource("list");
    EXPECT_EQ(loaded.size(), 2u);  // stops again after the second entry
}

TEST(ResourceManagerDeathTest, SecondHierarchyIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    fs::path root = FreshRoot("second");
    ResourceManager manager;
    manager.LoadHierarchy(root.string());
    EXPECT_EXIT(manager.LoadHierarchy("other"), testing::ExitedWithCode(3),
                "ResourceManager\\.cpp\\([0-9]+\\):Attempt to load multiple resource hierarchies\\.  "
                "First loaded .*second, now attempting to load other");
}

}  // namespace
}  // namespace Ostrel
