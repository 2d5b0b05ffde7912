// Scene files: templates built by Lua through the bindings, failing files
// that leave their template empty, script misuse refused with Lua errors
// that change nothing, clones of script-built templates, and scene files
// loaded on a worker thread while the main thread instantiates and draws
// (scripts/tsan.sh runs the last one under ThreadSanitizer).

#include "engine/core/Reflect.h"
#include "engine/io/IFile.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"
#include "engine/ui/UiButton.h"
#include "engine/ui/UiDrawContext.h"
#include "engine/ui/UiImage.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/ui/UiScriptClasses.h"
#include "engine/ui/UiScrollGroup.h"

#include "tests/engine/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace Ostrel::Testing {

// A handler scripts can create ("TestUiHandler.new()"), tagged by
// "SetTag"; it logs Attach and Start into Log().
class TaggedHandler : public UiEventHandler {
public:
    static std::vector<std::string>& Log() {
        static std::vector<std::string> s_log;
        return s_log;
    }
    void Attach(UiBase*) override { Log().push_back("attach " + tag); }
    void Start() override { Log().push_back("start " + tag); }
    std::unique_ptr<UiEventHandler> Clone() const override {
        auto copy = std::make_unique<TaggedHandler>();
        copy->tag = tag + "'";
        return copy;
    }
    void SetActive(bool) override {}

    std::string tag;
};

}  // namespace Ostrel::Testing

namespace {

using namespace Ostrel;
using namespace Ostrel::Testing;

int SetTag(lua_State* L);
constexpr ScriptMethod kTaggedMethods[] = {{"SetTag", &SetTag}};
constexpr ScriptClass kTaggedScript{"TaggedHandler", "missing taggedhandler instance", kTaggedMethods,
                                    ScriptClass::kCreatable};
int SetTag(lua_State* L) {
    ScriptArgs args(L);
    args.Self<TaggedHandler>(kTaggedScript).tag = args.Text(2);
    return 0;
}

}  // namespace

LV_REFLECT_CLASS(Ostrel::Testing::TaggedHandler, [](Ostrel::MetaClass& m) {
    Ostrel::BindScriptClass(m, kTaggedScript);
    Ostrel::RegisterUiHandlerClass(kTaggedScript);
});

namespace {

namespace fs = std::filesystem;

// A resource folder of scene files, the script manager and the scene
// manager over the UI world.
class SceneFiles {
public:
    SceneFiles(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) {
        m_root = fs::path(LV_TEST_TMP) / ("ui-scenes-" + name);
        fs::remove_all(m_root);
        fs::create_directories(m_root / "ui");
        for (const auto& [file, text] : files) std::ofstream(m_root / "ui" / file, std::ios::binary) << text;
        RegisterResourceKinds(resources, m_root.string());
        scripts = std::make_unique<ScriptManager>();
        TaggedHandler::Log().clear();
    }
    ~SceneFiles() {
        scenes.reset();
        scripts.reset();
    }
    std::string Path(const std::string& file) const { return (m_root / "ui" / file).string(); }
    void Load(const std::string& file) { scenes->LoadSceneFile(Path(file)); }
    void Remove(const std::string& file) { fs::remove(m_root / "ui" / file); }

    UiWorld world;
    ResourceManager resources;
    std::unique_ptr<ScriptManager> scripts;
    std::unique_ptr<UiSceneManager> scenes = std::make_unique<UiSceneManager>();

private:
    fs::path m_root;
};

const char* kMenuScene = R"(
function LoadScene(scene)
  scene:SetName("main")
  scene:SetColor({0, 0, 0.5, 1})
  scene:SetInputDelay(0.5)
  scene:SetBgmName("theme")
  for i = 1, 3 do scene:AddElement(UiSolid.new()) end
  local play = UiButton.new()
  play:SetName("play")
  play:SetTexture("img-64x32")
  scene:AddElement(play)
  local pic = UiImage.new()
  pic:SetTexture("img-16x8")
  pic:SetX(10)
  pic:SetColor({1, 0, 0})
  scene:AddElement(pic)
  local nav = UiNavigator.new()
  nav:AddNavigation("play", UiDirection.Down, "el_4")
  nav:AddNavigation("el_4", UiDirection.Up, "play")
  scene:SetNavigator(nav)
  for _, tag in ipairs({"a", "b"}) do
    local h = TaggedHandler.new()
    h:SetTag(tag)
    scene:AddHandler(h)
  end
  local onPlay = TaggedHandler.new()
  onPlay:SetTag("p")
  play:AddHandler(onPlay)
  assert(play:GetName() == "play" and play:GetHeight() == 32 and scene:GetName() == "main")
end
)";

}  // namespace

TEST(UiSceneFiles, AScriptBuildsATemplateThatInstancesCopy) {
    SceneFiles f("menu", {{"menu.scn", kMenuScene}});
    f.Load("menu.scn");
    UiScene* t = f.scenes->Find("menu");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetName(), "main");
    EXPECT_EQ(t->GetPath(), f.Path("menu.scn"));
    ASSERT_EQ(t->GetElements().size(), 5u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(t->GetElements()[std::size_t(i)]->GetName(), "el_" + std::to_string(i));
    EXPECT_EQ(t->GetElements()[3]->GetName(), "play");
    EXPECT_EQ(t->GetElements()[4]->GetName(), "el_4");
    EXPECT_EQ(t->GetElements()[4]->GetWidth(), 16.0f);
    EXPECT_EQ(t->GetElements()[4]->GetX(), 10.0f);
    EXPECT_EQ(t->GetElements()[4]->GetColor().w, 0.0f) << "a missing colour entry reads 0";
    EXPECT_EQ(t->GetColor().z, 0.5f);
    EXPECT_EQ(t->GetInputDelay(), 0.5f);
    ASSERT_NE(t->GetNavigator(), nullptr);
    EXPECT_EQ(t->GetNavigator()->GetCurrentElement(), "play");
    EXPECT_EQ(t->GetHandlers().size(), 2u);

    UiScene* live = f.scenes->Instantiate("menu");
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(TaggedHandler::Log(), (std::vector<std::string>{"attach p'", "start p'", "attach a'", "attach b'",
                                                              "start a'", "start b'"}));
    EXPECT_TRUE(live->FindElement("play")->IsSelected());
    live->Leave();
    f.scenes->Release(live);

    f.Load("menu.scn");  // the same name again: ignored
    EXPECT_EQ(f.scenes->Find("menu"), t);
    EXPECT_EQ(t->GetElements().size(), 5u);
}

TEST(UiSceneFiles, FailingFilesLeaveTheirTemplateEmptyAndLogged) {
    LogCapture log;
    SceneFiles f("failing", {{"good.scn", kMenuScene},
                             {"broken.scn", "function LoadScene(scene) scene:AddElement(UiSolid.new() end"},
                             {"plain.scn", "x = 1"},
                             {"gone.scn", kMenuScene},
                             {"half.scn", "function LoadScene(scene)\n scene:AddElement(UiSolid.new())\n"
                                          " error('stop here')\nend"}});
    f.world.engine.SetLog(&log.GetLogger());
    f.Load("good.scn");
    f.Remove("gone.scn");
    for (const char* file : {"broken.scn", "plain.scn", "gone.scn", "half.scn"}) f.Load(file);
    EXPECT_EQ(f.scenes->Find("good")->GetElements().size(), 5u);
    // Neither a file that does not compile nor one without LoadScene runs the
    // previous file's LoadScene into its template.
    EXPECT_TRUE(f.scenes->Find("broken")->GetElements().empty());
    EXPECT_TRUE(f.scenes->Find("plain")->GetElements().empty());
    EXPECT_TRUE(f.scenes->Find("gone")->GetElements().empty());
    EXPECT_EQ(f.scenes->Find("half")->GetElements().size(), 1u) << "what was built before the error stays";
    const std::string all = log.All();
    EXPECT_NE(all.find("lua [broken]:"), std::string::npos) << all;
    EXPECT_NE(all.find("lua [plain]:"), std::string::npos) << all;
    EXPECT_NE(all.find("scene 'gone'"), std::string::npos) << all;
    EXPECT_NE(all.find("stop here"), std::string::npos) << all;
    f.world.engine.SetLog(nullptr);
}

TEST(UiSceneFiles, ScriptMisuseIsALuaErrorThatChangesNothing) {
    // Each attempt runs protected; the results go into the scene's name.
    SceneFiles f("misuse", {{"misuse.scn", R"(
function LoadScene(scene)
  local results = {}
  local function try(f, ...)
    local ok, err = pcall(f, ...)
    results[#results + 1] = ok and "ok" or tostring(err)
  end
  local el = UiSolid.new()
  local h = TaggedHandler.new()
  local nav = UiNavigator.new()
  try(scene.SetName, "x")                       -- dot instead of colon
  try(scene.AddElement, scene, nav)              -- not an element
  try(scene.AddElement, scene, 7)
  try(scene.AddHandler, scene, el)               -- not a handler
  try(scene.SetNavigator, scene, el)             -- not a navigator
  try(scene.SetColor, scene, 5)                  -- not a table
  try(el.SetColor, el, "red")
  try(el.SetWidth, el, "wide")
  try(el.SetName, el, {})
  try(UiSolid.new().SetX, scene, 1)              -- a scene is no element
  try(scene.AddElement, scene, el)
  try(scene.AddElement, scene, el)               -- twice
  try(scene.AddHandler, scene, h)
  try(el.AddHandler, el, h)                      -- a second owner
  try(scene.SetNavigator, scene, nav)
  try(scene.SetNavigator, scene, nav)
  scene:SetName(table.concat(results, "\n"))
end
)"}});
    f.Load("misuse.scn");
    UiScene* t = f.scenes->Find("misuse");
    ASSERT_NE(t, nullptr);
    std::vector<std::string> results;
    std::string name = t->GetName();
    for (std::size_t start = 0, end; start <= name.size(); start = end + 1) {
        end = name.find('\n', start);
        if (end == std::string::npos) end = name.size();
        results.push_back(name.substr(start, end - start));
    }
    ASSERT_EQ(results.size(), 16u) << name;
    EXPECT_NE(results[0].find("missing uiscene instance"), std::string::npos) << results[0];
    for (int i : {1, 2}) EXPECT_NE(results[std::size_t(i)].find("UiElementBase expected"), std::string::npos) << results[std::size_t(i)];
    EXPECT_NE(results[3].find("UiEventHandler expected"), std::string::npos) << results[3];
    EXPECT_NE(results[4].find("UiNavigator expected"), std::string::npos) << results[4];
    for (int i : {5, 6}) EXPECT_NE(results[std::size_t(i)].find("table expected"), std::string::npos) << results[std::size_t(i)];
    EXPECT_NE(results[7].find("number expected"), std::string::npos) << results[7];
    EXPECT_NE(results[8].find("string expected"), std::string::npos) << results[8];
    EXPECT_NE(results[9].find("missing uielementbase instance"), std::string::npos) << results[9];
    EXPECT_EQ(results[10], "ok");
    EXPECT_NE(results[11].find("element already has an owner"), std::string::npos) << results[11];
    EXPECT_EQ(results[12], "ok");
    EXPECT_NE(results[13].find("handler already has an owner"), std::string::npos) << results[13];
    EXPECT_EQ(results[14], "ok");
    EXPECT_NE(results[15].find("navigator already has an owner"), std::string::npos) << results[15];
    EXPECT_EQ(t->GetElements().size(), 1u);
    EXPECT_EQ(t->GetHandlers().size(), 1u);
    EXPECT_NE(t->GetNavigator(), nullptr);
}

// Values no engine field holds: each call is a Lua error that names the
// scene file and line, the function and the argument; nothing is changed.
TEST(UiSceneFiles, BadNumbersAreLuaErrorsNamingTheFileFunctionAndArgument) {
    SceneFiles f("numbers", {{"numbers.scn", R"(
function LoadScene(scene)
  local results = {}
  local el, keys, label = UiSolid.new(), UiKeyHandler.new(), UiLabel.new()
  local function try(f)
    local ok, err = pcall(f)
    results[#results + 1] = ok and "ok" or tostring(err)
  end
  try(function() el:SetWidth(0/0) end)
  try(function() el:SetHeight(1/0) end)
  try(function() el:SetX({}) end)
  try(function() el:SetColor({}) end)
  try(function() el:SetColor({1, 1, "x"}) end)
  try(function() keys:AddKey(2^40) end)
  try(function() label:SetFont("DejaVu Sans", 0/0) end)
  try(function() label:SetFontIndirect({name = "DejaVu Sans", height = 0/0}) end)
  try(function() el:SetWidth(12) el:SetColor({1, 0, 0}) keys:AddKey(27) end)
  scene:AddElement(el)
  scene:SetName(table.concat(results, "\n"))
end
)"}});
    f.Load("numbers.scn");
    UiScene* t = f.scenes->Find("numbers");
    ASSERT_NE(t, nullptr);
    std::vector<std::string> results;
    std::istringstream lines(t->GetName());
    for (std::string line; std::getline(lines, line);) results.push_back(line);
    const std::string file = "ui-scenes-numbers/ui/numbers.scn:";
    const char* const expected[] = {
        "bad argument #1 to 'SetWidth' (finite number expected, got nan)",
        "bad argument #1 to 'SetHeight' (finite number expected, got inf)",
        "bad argument #1 to 'SetX' (number expected, got table)",
        "bad argument #1 to 'SetColor' (entry 1: number expected, got nil)",
        "bad argument #1 to 'SetColor' (entry 3: number expected, got string)",
        "bad argument #1 to 'AddKey' (32-bit integer expected, got 1099511627776)",
        "bad argument #2 to 'SetFont' (32-bit integer expected, got nan)",
        "bad argument #1 to 'SetFontIndirect' (field 'height': 32-bit integer expected)",
    };
    ASSERT_EQ(results.size(), std::size(expected) + 1) << t->GetName();
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_NE(results[i].find(file), std::string::npos) << results[i];
        EXPECT_NE(results[i].find(expected[i]), std::string::npos) << results[i];
    }
    EXPECT_EQ(results.back(), "ok");
    const auto& element = *t->GetElements().at(0);
    EXPECT_EQ(element.GetWidth(), 12.0f);
    EXPECT_EQ(element.GetColor().w, 0.0f) << "a missing alpha reads 0";
}

// The stock handlers from a scene file: created with "new", configured by
// their setters and accepted by "AddHandler"; a timer chained to a scene
// change. Misused setters are Lua errors.
TEST(UiSceneFiles, StockHandlersAreConfiguredFromScriptsAndChainThroughEvents) {
    LogCapture log;
    SceneFiles f("handlers", {{"splash.scn", R"(
function LoadScene(scene)
  local t = UiTimerHandler.new()
  t:SetTimeout(0.05)
  t:SetRaiseEvent("SplashDone")
  scene:AddHandler(t)
  local c = UiSceneChangeHandler.new()
  c:SetResponseEvent("SplashDone")
  c:SetTargetScene("title")
  c:SetSceneChangeMethod(UiSceneChangeMethod.Goto)
  scene:AddHandler(c)
  local k = UiKeyHandler.new()
  k:AddKey(UiKey.RETURN)
  k:SetRaiseEvent("SplashDone")
  scene:AddHandler(k)
  local s = UiSendMessageHandler.new()
  s:SetResponseEvent("Never")
  s:SetRaiseEvent("StopLoop")
  s:SetDeactivateOnSend(false)
  scene:AddHandler(s)
  local bob = UiBobHandler.new()
  bob:SetLength(2) bob:SetHeight(4) bob:ForceSign(1)
  local el = UiSolid.new()
  el:AddHandler(bob)
  scene:AddElement(el)
  scene:AddHandler(UiPauseHandler.new())
  scene:AddHandler(UiAnyKeyHandler.new())
  local a = UiAutoMessageHandler.new()
  a:SetRaiseEvent("Shown")
  scene:AddHandler(a)
  local function refused(f, ...) assert(not pcall(f, ...)) end
  refused(k.AddKey, k, "enter")
  refused(c.SetSceneChangeMethod, c, 9)
  refused(t.SetTimeout, t, "soon")
  refused(UiTimerHandler.SetTimeout, 1)
  refused(scene.AddHandler, scene, t)
end
)"}});
    f.world.engine.SetLog(&log.GetLogger());
    f.Load("splash.scn");
    UiScene* splash = f.scenes->Find("splash");
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(log.All(), "");
    struct Changes {
        void On(std::string* name, UiSceneChangeMethod method) { lines.push_back(*name + " " + std::to_string(int(method))); }
        std::vector<std::string> lines;
    } changes;
    Core().Listen("UiChangeScene", MakeDelegate(&changes, &Changes::On));
    UiScene* live = f.scenes->Instantiate("splash");
    ASSERT_NE(live, nullptr);
    Core().SendMessageFloat("UiTimeUpdate", 0.05f);
    EXPECT_TRUE(changes.lines.empty()) << "0.05 is not past 0.05";
    Core().SendMessageFloat("UiTimeUpdate", 0.01f);
    EXPECT_EQ(changes.lines, std::vector<std::string>{"title 3"});
    live->OnKey(13, true);
    EXPECT_EQ(changes.lines.size(), 1u) << "the change handler deactivated its scene";
    live->Leave();
    f.scenes->Release(live);
    Core().Unlisten("UiChangeScene", MakeDelegate(&changes, &Changes::On));
    f.world.engine.SetLog(nullptr);
}

TEST(UiSceneFiles, ScenesLoadOnAWorkerWhileTheMainThreadInstantiatesAndDraws) {
    std::vector<std::pair<std::string, std::string>> files = {{"menu.scn", kMenuScene}};
    const std::string big = R"(
function LoadScene(scene)
  for i = 1, 40 do
    local e = (i % 2 == 0) and UiImage.new() or UiSolid.new()
    if i % 2 == 0 then e:SetTexture("img-16x8") end
    e:SetX(i)
    scene:AddElement(e)
  end
  local h = TaggedHandler.new()
  h:SetTag("w")
  scene:AddHandler(h)
end
)";
    for (int i = 0; i < 12; ++i) files.push_back({"load-" + std::to_string(i) + ".scn", big});
    SceneFiles f("threads", files);
    f.Load("menu.scn");
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 12; ++i) f.Load("load-" + std::to_string(i) + ".scn");
        done.store(true, std::memory_order_release);
    });
    RecordingDrawTarget target;
    UiDrawContext context(target);
    int rounds = 0;
    while (!done.load(std::memory_order_acquire) || rounds < 3) {
        UiScene* live = f.scenes->Instantiate(rounds % 2 ? "menu" : "load-0");
        if (live != nullptr) {
            live->Draw(context);
            live->Leave();
            f.scenes->Release(live);
        }
        ++rounds;
    }
    worker.join();
    for (int i = 0; i < 12; ++i) {
        const UiScene* t = f.scenes->Find("load-" + std::to_string(i));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->GetElements().size(), 40u);
    }
    EXPECT_EQ(f.scenes->GetLiveCount(), 0u);
    EXPECT_GT(target.quads.size(), 0u);
}

// Scene files written to crash or hang the program end with a logged Lua
// error; the program, and the scenes loaded after them, go on.
TEST(UiSceneFiles, HostileSceneFilesEndWithALuaErrorAndLoadingGoesOn) {
    LogCapture log;
    const std::vector<std::pair<std::string, std::string>> hostile = {
        // Groups nested 200,000 deep, built from the bottom.
        {"deep.scn", "function LoadScene(s) local g = UiScrollGroup.new() for i = 1, 200000 do "
                     "local p = UiScrollGroup.new(); p:AddElement(g); g = p end s:AddElement(g) end"},
        // A chain of 100,000 built from the top: refused at the depth limit,
        // not walked up at every step.
        {"chain.scn", "function LoadScene(s) local g = UiScrollGroup.new(); s:AddElement(g) for i = 1, 100000 do "
                      "local c = UiScrollGroup.new(); g:AddElement(c); g = c end end"},
        {"pattern.scn", "function LoadScene(s) string.find(string.rep('a', 300000), "
                        "string.rep('a?', 300000) .. string.rep('a', 300000)) end"},
        {"backtrack.scn", "function LoadScene(s) string.find(('a'):rep(40), ('a*'):rep(40) .. 'b') end"},
        {"recurse.scn", "function LoadScene(s) LoadScene(s) end"},
        {"exit.scn", "function LoadScene(s) os.exit(7) end"},
        {"unhook.scn", "function LoadScene(s) debug.sethook() while true do end end"},
        {"finaliser.scn", "function LoadScene(s) local l = UiLabel.new() "
                          "getmetatable(l).__gc = function(u) u:SetText('x') end s:AddElement(l) end"},
    };
    std::vector<std::pair<std::string, std::string>> files = hostile;
    files.push_back({"menu.scn", kMenuScene});
    SceneFiles f("hostile", files);
    f.world.engine.SetLog(&log.GetLogger());
    for (const auto& [file, text] : hostile) f.Load(file);
    f.Load("menu.scn");
    const std::string all = log.All();
    const std::pair<const char*, const char*> expected[] = {
        {"lua [deep]:", "UiScrollGroup:AddElement: groups nested more than 32 deep"},
        {"lua [chain]:", "UiScrollGroup:AddElement: groups nested more than 32 deep"},
        {"lua [pattern]:", "the pattern is longer than 256 bytes"},
        {"lua [backtrack]:", "the pattern is too costly"},
        {"lua [recurse]:", "calls nested more than 200 deep"},
        {"lua [exit]:", "attempt to index global 'os'"},
        {"lua [unhook]:", "attempt to index global 'debug'"},
        {"lua [finaliser]:", "attempt to index a boolean value"},
    };
    for (const auto& [scene, message] : expected) {
        const std::size_t at = all.find(scene);
        ASSERT_NE(at, std::string::npos) << scene << "\n" << all;
        EXPECT_NE(all.find(message, at), std::string::npos) << scene << ": " << message << "\n" << all;
    }
    EXPECT_TRUE(f.scenes->Find("deep")->GetElements().empty());
    const UiScene* chain = f.scenes->Find("chain");
    ASSERT_EQ(chain->GetElements().size(), 1u);
    EXPECT_EQ(UiScrollGroup::NestingBelow(*chain->GetElements()[0]), UiScrollGroup::kMaxNesting);
    // The longest chain allowed copies and goes like any other.
    UiScene* live = f.scenes->Instantiate("chain");
    ASSERT_NE(live, nullptr);
    live->Leave();
    f.scenes->Release(live);
    EXPECT_EQ(f.scenes->Find("menu")->GetElements().size(), 5u);
    f.world.engine.SetLog(nullptr);
}

// A script that keeps a scene's element, handler or the scene itself in a
// global and uses it after the scene is gone meets a Lua error that names
// the call, not freed memory (the ASan build checks the latter).
TEST(UiSceneFiles, ObjectsAScriptKeptPastTheirSceneAreLuaErrorsNamingTheCall) {
    LogCapture log;
    SceneFiles f("kept", {{"keep.scn", R"(
function LoadScene(scene)
  keptLabel = UiLabel.new()
  scene:AddElement(keptLabel)
  keptHandler = UiTimerHandler.new()
  scene:AddHandler(keptHandler)
  keptScene = scene
  keptLabel:SetText("while the scene lives")
end
)"}});
    f.world.engine.SetLog(&log.GetLogger());
    f.Load("keep.scn");
    EXPECT_EQ(f.scenes->Find("keep")->GetElements().size(), 1u) << log.All();
    f.scenes.reset();  // every template goes, with its elements and handlers
    const std::pair<const char*, const char*> calls[] = {
        {"keptLabel:SetText('x')", "SetText: argument 1: the UiLabel it names no longer exists"},
        {"keptLabel:SetX(3)", "SetX: argument 1: the UiElementBase it names no longer exists"},
        {"keptHandler:SetTimeout(1)", "SetTimeout: argument 1: the UiTimerHandler it names no longer exists"},
        {"keptScene:SetName('y')", "SetName: argument 1: the UiScene it names no longer exists"},
        {"UiScrollGroup.new():AddElement(keptLabel)", "AddElement: argument 2: the UiElementBase it names"},
    };
    for (const auto& [chunk, message] : calls) {
        log.Clear();
        EXPECT_FALSE(f.scripts->RunString(chunk)) << chunk;
        EXPECT_NE(log.All().find(message), std::string::npos) << chunk << "\n" << log.All();
    }
    EXPECT_TRUE(f.scripts->RunString("local l = UiLabel.new(); l:SetText('a new one works')"));
    f.world.engine.SetLog(nullptr);
}
