#include "ScriptTestSupport.h"

#include "engine/io/IFile.h"
#include "engine/platform/QuitSignal.h"
#include "engine/script/ScriptManager.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <algorithm>
#include <csignal>
#include <cstring>

namespace Ostrel {
namespace {

using Testing::Global;
using Testing::OpenTestTools;
using Testing::ScriptFolder;
using Testing::ScriptLog;

// Runs a chunk of assertions; the log says which failed.
void ExpectLua(ScriptManager& scripts, const ScriptLog& log, const char* chunk) {
    EXPECT_TRUE(scripts.RunString(chunk)) << log.All();
}

TEST(ScriptManager, VectorsBehaveAsValuesWithLuaNumberFormatting) {
    ScriptLog log;
    ScriptManager scripts;
    ASSERT_TRUE(scripts.IsOpen());
    ExpectLua(scripts, log, R"lua(
        local v = Vec3.new()
        assert(v.x == 0 and v.y == 0 and v.z == 0)
        v.x = 2
        assert(tostring(v) == "(2, 0, 0)", tostring(v))
        v.q = 5
        assert(v.q == nil)
        v[1] = 7; v[true] = 7
        assert(v[1] == nil and v[false] == nil and v[{}] == nil and tostring(v) == "(2, 0, 0)")
        v.y = "not a number"
        assert(v.y == 0)
        local n = Vec3.new(); n.x = 3; n.z = 4
        n:NormalizeThis()
        assert(math.abs(n.x - 0.6) < 1e-6 and n.y == 0 and math.abs(n.z - 0.8) < 1e-6)
        local zero = Vec3.new(); zero:NormalizeThis()
        assert(tostring(zero) == "(0, 0, 0)")
        local two = Vec2.new(); two.x = 1; two.y = 2.5; two.z = 9
        assert(tostring(two) == "(1, 2.5)" and two.z == nil)
        assert(not pcall(function() two:NormalizeThis() end))
        local four = Vec4.new(); four.w = 0.1
        assert(tostring(four) == "(0, 0, 0, 0.10000000149012)", tostring(four))
        local count = 0
        for key in pairs(Vec3) do count = count + 1; assert(key == "new") end
        assert(count == 1)
    )lua");
    EXPECT_EQ(log.All(), "");
}

TEST(ScriptManager, KeyTableAndEnumerationsArePublished) {
    ScriptLog log;
    ScriptManager scripts;
    ExpectLua(scripts, log, R"lua(
        assert(UiKey.ESCAPE == 27 and UiKey.A == 65 and UiKey.Z == 90 and UiKey["0"] == 48)
        assert(UiKey["9"] == 57 and UiKey.TILDE == 192 and UiKey.GAMEPAD_A == 271)
        assert(UiKey.RETURN == 13 and UiKey.HOME == 36 and UiKey.GAMEPAD_START == 263)
        assert(UiKey.F25 == nil)
        local count, named255 = 0, {}
        for name, value in pairs(UiKey) do
            count = count + 1
            if value == 255 then named255[#named255 + 1] = name end
        end
        assert(count == 148, count)
        assert(#named255 == 1 and named255[1] == "GAMEPAD_DPAD_UP")
        assert(UiDirection.None == 0 and UiDirection.Left == 4)
        assert(UiSceneChangeMethod.Replace == 0 and UiSceneChangeMethod.Goto == 3)
        assert(FontAlignment.Center == 2 and BarDirection.Right == 1)
        assert(SoundFamily == nil and TutorialSceneInput == nil)
    )lua");
}

TEST(ScriptManager, ErrorsAreLoggedWithTheScriptNameAndLeaveTheStackBalanced) {
    ScriptLog log;
    ScriptManager scripts;
    lua_State* L = scripts.GetState();
    lua_pushinteger(L, 99);  // a caller's value below the runs
    const int top = lua_gettop(L);
    const char* failing[] = {"x = ", "error('plain')", "error({})", "local t = nil; return t.x",
                             "Vec3.new().NormalizeThis(5)", "return 1, 2, 3"};
    for (int i = 0; i < 1000; ++i) scripts.RunString(failing[i % 6]);
    for (int i = 0; i < 100; ++i) scripts.CallGlobal("NoSuchFunction", 0, 1);
    lua_pushinteger(L, 1);
    lua_pushinteger(L, 2);
    scripts.CallGlobal("print", 2, 0);  // the arguments are consumed
    scripts.CallGlobal("NoSuchFunction", 5, 0);  // more arguments than the stack holds
    EXPECT_EQ(lua_gettop(L), top - 1) << "only the values the last call claimed are gone";
    lua_settop(L, 0);

    const std::vector<std::string> lines = log.Lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("lua: [string \"x = \"]:1: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "lua: [string \"error('plain')\"]:1: plain\n");
    EXPECT_EQ(lines[2], "lua: (error object is a table value)\n");
    EXPECT_EQ(lines[4], "lua: [string \"Vec3.new().NormalizeThis(5)\"]:1: bad argument #1 to 'NormalizeThis' "
                        "(missing vector instance)\n");
    EXPECT_NE(log.All().find("lua: attempt to call a nil value\n"), std::string::npos);
    EXPECT_TRUE(scripts.GetCurrentScriptName().empty());
    EXPECT_TRUE(scripts.RunString("ok = 1"));
    EXPECT_FALSE(scripts.RunString(nullptr));
}

TEST(ScriptManager, StartupScriptRunsAndItsFailuresNameIt) {
    ScriptLog log;
    {
        ScriptFolder folder("startup-ok", {{"startup-script.lua", "greeting = 'hello' .. #UiKey"},
                                           {"broken.lua", "function ("}});
        ScriptManager scripts;
        EXPECT_EQ(Global(scripts, "greeting"), "hello0") << "the key table is a hash";
        EXPECT_FALSE(scripts.RunAsset("broken"));
        EXPECT_FALSE(scripts.RunAsset("missing-script"));
        EXPECT_TRUE(scripts.GetCurrentScriptName().empty());
    }
    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(lines.size(), 1u) << log.All();
    // The chunk is named by the file's path, so Lua's message says where; a
    // path Lua cuts at its front is given whole by the loader's prefix.
    const std::string path = std::string(LV_TEST_TMP) + "/script-startup-ok/scripts/broken.lua";
    EXPECT_NE(lines[0].find(path), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("lua [broken]: "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("broken.lua:1: '<name>' expected"), std::string::npos) << lines[0];
}

TEST(ScriptManager, RunawayStartupScriptIsStoppedAndTheProgramGoesOn) {
    ScriptLog log;
    ScriptFolder folder("startup-loop", {{"startup-script.lua", "before = 1\nwhile true do end\nafter = 1"}});
    ScriptManager::Limits limits;
    limits.instructions = 200000;
    ScriptManager scripts(limits);
    EXPECT_EQ(Global(scripts, "before"), "1");
    EXPECT_EQ(Global(scripts, "after"), "nil");
    EXPECT_NE(log.All().find("lua [startup-script]: "), std::string::npos) << log.All();
    EXPECT_NE(log.All().find("script stopped: more than 200000 instructions"), std::string::npos);

    // A loop that catches the stop with pcall is still ended; the budget is
    // per run, so the next run starts afresh.
    EXPECT_FALSE(scripts.RunString("while true do pcall(function() while true do end end) end"));
    EXPECT_TRUE(scripts.RunString("for i = 1, 150000 do end"));
    EXPECT_TRUE(scripts.RunString("for i = 1, 150000 do end"));
    EXPECT_FALSE(scripts.RunString("local co = coroutine.wrap(function() while true do end end) co()"));
}

TEST(ScriptManager, MemoryCapStopsARunawayAllocationOnly) {
    ScriptLog log;
    ScriptManager::Limits limits;
    limits.memoryBytes = std::size_t(16) << 20;
    ScriptManager scripts(limits);
    EXPECT_FALSE(scripts.RunString("local s = 'x' while true do s = s .. s end"));
    EXPECT_NE(log.All().find("not enough memory"), std::string::npos) << log.All();
    EXPECT_FALSE(scripts.RunString("local s = string.rep('x', 2^30)"));
    lua_gc(scripts.GetState(), LUA_GCCOLLECT, 0);
    EXPECT_LT(scripts.GetMemoryInUse(), limits.memoryBytes / 2);
    EXPECT_TRUE(scripts.RunString("t = {} for i = 1, 1000 do t[i] = i end"));
}

TEST(ScriptManager, PrecompiledChunksAreRefused) {
    ScriptLog log;
    ScriptManager scripts;
    EXPECT_FALSE(scripts.RunBuffer(std::string_view("\x1bLuaQ\0\1\4\10", 10), "=bytes"));
    EXPECT_EQ(log.All(), "lua: precompiled chunks are not accepted\n");
    std::string error;
    EXPECT_FALSE(scripts.RunConsoleLine("\x1bLua", error));
    EXPECT_TRUE(scripts.RunBuffer(std::string_view("x = 'a\0b'", 9), "=nul"));
    lua_State* L = scripts.GetState();
    lua_getglobal(L, "x");
    EXPECT_EQ(lua_objlen(L, -1), 3u);
    lua_pop(L, 1);
}

// Data files must not end the program, touch files, load code or take away
// the instruction budget: none of what they would need is there.
TEST(ScriptManager, ScriptsGetNoSystemFileOrDebugLibraries) {
    ScriptLog log;
    ScriptFolder folder("startup-exit", {{"startup-script.lua", "started = 1\nos.exit(7)\nafter = 1"}});
    ScriptManager scripts;
    EXPECT_EQ(Global(scripts, "started"), "1") << "os.exit did not end the program";
    EXPECT_EQ(Global(scripts, "after"), "nil");
    EXPECT_NE(log.All().find("lua [startup-script]: "), std::string::npos) << log.All();
    ExpectLua(scripts, log, R"lua(
        for _, name in ipairs({"os", "io", "debug", "package", "dofile", "loadfile", "load", "loadstring",
                               "require", "module", "newproxy"}) do
            assert(_G[name] == nil, name)
        end
        assert(string.dump == nil)
        assert(string.format("%d", 3) == "3" and math.floor(2.5) == 2 and table.concat({1, 2}) == "12")
        assert(coroutine.wrap(function() return 5 end)() == 5)
        assert(getmetatable(Vec3.new()) == false, "class metatables are hidden")
    )lua");
    for (const char* chunk : {"debug.sethook() while true do end", "io.read()", "os.execute('true')",
                              "require('os')", "getmetatable(Vec3.new()).__gc = print"}) {
        log.Clear();
        EXPECT_FALSE(scripts.RunString(chunk)) << chunk;
        EXPECT_EQ(log.Lines().size(), 1u) << chunk << log.All();
    }
}

// Pattern matching runs inside one C call that the instruction budget never
// sees and recurses in C per pattern item: hostile patterns are Lua errors
// at once; everyday ones work on any subject.
TEST(ScriptManager, RunawayPatternsAreRefusedAndEverydayOnesWork) {
    ScriptLog log;
    ScriptManager scripts;
    const std::pair<const char*, const char*> refused[] = {
        {R"(string.find(string.rep("a", 300000), string.rep("a?", 300000) .. string.rep("a", 300000)))",
         "string.find: the pattern is longer than 256 bytes"},
        {R"(string.find(("a"):rep(40), ("a*"):rep(40) .. "b"))", "string.find: the pattern is too costly"},
        {R"(("a"):rep(40):match(("a-"):rep(20) .. "b"))", "string.match: the pattern is too costly"},
        {R"(("x"):rep(1000000):gsub("a*b", ""))", "string.gsub: the pattern is too costly"},
        {R"(for w in ("a"):rep(40):gmatch(("a?"):rep(40) .. "b") do end)", "string.gmatch: the pattern is too"},
    };
    for (const auto& [chunk, message] : refused) {
        log.Clear();
        EXPECT_FALSE(scripts.RunString(chunk)) << chunk;
        EXPECT_NE(log.All().find(message), std::string::npos) << chunk << "\n" << log.All();
    }
    ExpectLua(scripts, log, R"lua(
        local big = ("ab "):rep(300000)
        assert(big:find("zz", 1, true) == nil and big:find("b a", 1, true) == 2)
        assert(big:find("zz") == nil, "no specials: a plain search")
        assert(("key=value"):match("^(%w+)=(%w+)$") == "key")
        assert(select(2, ("a b c"):gsub("%s", "")) == 2)
        local words = 0
        for _ in ("one two three"):gmatch("%a+") do words = words + 1 end
        assert(words == 3)
        assert(("[x]"):find("[]]") == 3 and ("100%"):match("%d+%%") == "100%")
    )lua");
}

// Recursion is stopped with a clear error well before Lua's own limits, and
// a quit (SIGTERM, SIGINT) ends even a script with no instruction budget.
TEST(ScriptManager, DeepRecursionAndAQuitEndARun) {
    ScriptLog log;
    ScriptManager::Limits limits;
    limits.instructions = 0;
    ScriptManager scripts(limits);
    EXPECT_FALSE(scripts.RunString("function LoadScene(s) LoadScene(s) end LoadScene(1)"));
    EXPECT_NE(log.All().find("script stopped: calls nested more than 200 deep"), std::string::npos) << log.All();
    EXPECT_TRUE(scripts.RunString("local function f(n) if n > 0 then return f(n - 1) + 1 end return 0 end "
                                  "assert(f(150) == 150)"))
        << log.All();
    log.Clear();
    QuitSignal::Raise(SIGTERM);
    const bool ran = scripts.RunString("while true do pcall(function() while true do end end) end");
    QuitSignal::Clear();
    EXPECT_FALSE(ran);
    EXPECT_NE(log.All().find("script stopped: a quit was requested"), std::string::npos) << log.All();
    EXPECT_TRUE(scripts.RunString("x = 1"));
}

// A file that cannot be measured, or that reads less than it said.
class StubbornFile final : public IFile {
public:
    StubbornFile(s32 size, s32 read) : m_size(size), m_read(read) {}
    bool Close() override { return true; }
    bool IsEof() override { return false; }
    bool SeekRelative(s32) override { return false; }
    bool SeekAbsolute(s32) override { return false; }
    s32 Tell() override { return 0; }
    u32 Read(void*, u32) override { return 0; }
    s32 ReadAll(void* destination) override {
        if (destination == nullptr) return m_size;
        std::memset(destination, 'a', std::size_t(std::max(m_read, 0)));
        return m_read;
    }

private:
    s32 m_size;
    s32 m_read;
};

TEST(ScriptManager, UnreadableScriptFilesAreNeverTakenForALength) {
    std::string text = "old";
    StubbornFile unmeasurable(-1, 0), failing(8, -1), short_(8, 3), empty(0, 0);
    EXPECT_FALSE(ReadScriptText(unmeasurable, text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(ReadScriptText(failing, text));
    EXPECT_TRUE(ReadScriptText(short_, text));
    EXPECT_EQ(text, "aaa");
    EXPECT_TRUE(ReadScriptText(empty, text));
    EXPECT_EQ(text, "");
}

TEST(ScriptManager, AFinalisedVectorIsNeverFreedTwiceOrRead) {
    ScriptLog log;
    ScriptManager scripts;
    OpenTestTools(scripts);
    ExpectLua(scripts, log, R"lua(
        local v = Vec3.new()
        v:__gc()
        assert(not pcall(function() return v.x end))
        assert(not pcall(function() v.x = 1 end))
        assert(not pcall(function() return tostring(v) end))
        assert(not pcall(function() v:NormalizeThis() end))
        local meta = debug.getmetatable(v)
        meta.__gc(v)
        assert(not pcall(meta.__index, 5, "x"))
        meta.__gc({})
        meta.__gc(Vec2.new())
        local proxy = newproxy()
        debug.setmetatable(proxy, meta)
        assert(not pcall(function() return proxy.x end))
        kept = v
        collectgarbage()
    )lua");
    EXPECT_TRUE(scripts.RunString("kept = nil collectgarbage() collectgarbage()")) << log.All();
}

}  // namespace
}  // namespace Ostrel
