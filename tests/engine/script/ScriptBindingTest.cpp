// The binding scheme on probe classes: a scripted base with two subclasses
// (one sorting before the base, one after), an owner that takes items, and a
// class scripts cannot create.

#include "ScriptTestSupport.h"

#include "engine/core/Reflect.h"
#include "engine/graphics/text/FontDescription.h"
#include "engine/script/ScriptBinding.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <vector>

namespace Ostrel::Testing {

struct ProbeBase {
    virtual ~ProbeBase() = default;
    std::string label = "base";
    ScriptOwnership ownership;
};
struct ProbeAlpha : ProbeBase {
    int alphaCalls = 0;
};
struct ProbeZulu : ProbeBase {};
struct ProbeBox {
    std::vector<ProbeBase*> items;
    ScriptOwnership ownership;
    ~ProbeBox() {
        for (ProbeBase* item : items) delete item;
    }
};

}  // namespace Ostrel::Testing

namespace {

using namespace Ostrel;
using namespace Ostrel::Testing;

std::vector<std::string> s_baseBinderCalls;

int SetLabel(lua_State* L);
int GetLabel(lua_State* L);
int AlphaOnly(lua_State* L);
int Take(lua_State* L);
int Count(lua_State* L);
int ReadFont(lua_State* L);
int SumColor(lua_State* L);

constexpr ScriptMethod kBaseMethods[] = {{"SetLabel", &SetLabel}, {"GetLabel", &GetLabel}};
constexpr ScriptMethod kAlphaMethods[] = {{"AlphaOnly", &AlphaOnly}};
constexpr ScriptMethod kBoxMethods[] = {
    {"Take", &Take}, {"Count", &Count}, {"ReadFont", &ReadFont}, {"SumColor", &SumColor}};

ScriptOwnership* OwnershipOf(void* object) {
    return &static_cast<ProbeBase*>(object)->ownership;
}

constexpr ScriptClass kBaseScript{"ProbeBase", "missing probebase instance", kBaseMethods};
constexpr ScriptClass kAlphaScript{"ProbeAlpha", "missing probealpha instance", kAlphaMethods,
                                   ScriptClass::kCreatable, "ProbeBase", "Ostrel.", &OwnershipOf};
constexpr ScriptClass kZuluScript{"ProbeZulu", "missing probezulu instance", {}, ScriptClass::kCreatable,
                                  "ProbeBase", "Ostrel.", &OwnershipOf};
ScriptOwnership* BoxOwnershipOf(void* object) {
    return &static_cast<ProbeBox*>(object)->ownership;
}

// Boxes are never handed over: the state's close frees them, and their items.
constexpr ScriptClass kBoxScript{"ProbeBox", "missing probebox instance", kBoxMethods, ScriptClass::kCreatable,
                                 nullptr, "Ostrel.", &BoxOwnershipOf};

int SetLabel(lua_State* L) {
    ScriptArgs args(L);
    args.Self<ProbeBase>(kBaseScript).label = args.Text(2);
    return 0;
}
int GetLabel(lua_State* L) {
    ScriptArgs args(L);
    lua_pushstring(L, args.Self<ProbeBase>(kBaseScript).label.c_str());
    return 1;
}
int AlphaOnly(lua_State* L) {
    ScriptArgs args(L);
    ++args.Self<ProbeAlpha>(kAlphaScript).alphaCalls;
    return 0;
}
int Take(lua_State* L) {
    ScriptArgs args(L);
    ProbeBox& box = args.Self<ProbeBox>(kBoxScript);
    ProbeBase& item = args.Object<ProbeBase>(2, kBaseScript);
    ClaimForOwner(L, item.ownership, "ProbeBase");
    box.items.push_back(&item);
    return 0;
}
int Count(lua_State* L) {
    ScriptArgs args(L);
    lua_pushinteger(L, lua_Integer(args.Self<ProbeBox>(kBoxScript).items.size()));
    return 1;
}
int ReadFont(lua_State* L) {
    ScriptArgs args(L);
    args.Self<ProbeBox>(kBoxScript);
    args.CheckTable(2);
    LuaTableView table(L, 2);
    FontDescription font;
    ScriptTable::ScopedTop top(table);
    MetaClassOf<FontDescription>()->FromScript(&font);
    lua_pushfstring(L, "%s %d %d", font.name.c_str(), font.height, font.weight);
    return 1;
}
int SumColor(lua_State* L) {
    ScriptArgs args(L);
    args.Self<ProbeBox>(kBoxScript);
    args.CheckTable(2);
    float sum = 0;
    for (int i = 1; i <= 4; ++i) sum += args.TableNumber(2, i);
    lua_pushnumber(L, sum);
    return 1;
}

void CountingBaseBinder(ScriptManager* scripts, const MetaClass& meta) {
    const bool registered = RegisterScriptClass(*scripts, meta, kBaseScript);
    s_baseBinderCalls.push_back(registered ? "registered" : "skipped");
}

}  // namespace

LV_REFLECT_OPAQUE(Ostrel::Testing::ProbeBase, [](Ostrel::MetaClass& m) {
    Ostrel::BindScriptClass(m, kBaseScript);
    m.SetScriptBinder(&CountingBaseBinder);
});
LV_REFLECT_CLASS(Ostrel::Testing::ProbeAlpha, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, kAlphaScript); });
LV_REFLECT_CLASS(Ostrel::Testing::ProbeZulu, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, kZuluScript); });
LV_REFLECT_CLASS(Ostrel::Testing::ProbeBox, [](Ostrel::MetaClass& m) { Ostrel::BindScriptClass(m, kBoxScript); });

namespace Ostrel::Testing {
namespace {

TEST(ScriptBinding, BaseIsRegisteredOnceBeforeTheSubclassesThatReachIt) {
    s_baseBinderCalls.clear();
    ScriptLog log;
    ScriptManager scripts;
    // ProbeAlpha sorts before ProbeBase and registers it; the walk's own
    // visit and ProbeZulu find it in place.
    EXPECT_EQ(s_baseBinderCalls, (std::vector<std::string>{"registered", "skipped"}));
    OpenTestTools(scripts);
    EXPECT_TRUE(scripts.RunString(R"lua(
        local a, z = ProbeAlpha.new(), ProbeZulu.new()
        a:SetLabel("alpha"); z:SetLabel("zulu")
        assert(a:GetLabel() == "alpha" and z:GetLabel() == "zulu")
        a:AlphaOnly()
        assert(z.AlphaOnly == nil)
        local baseMeta = debug.getregistry()["Ostrel.ProbeBase"]
        assert(getmetatable(a) == false, "scripts cannot reach a class's metatable")
        assert(debug.getmetatable(debug.getmetatable(a).__index) == baseMeta)
        assert(debug.getmetatable(debug.getmetatable(z).__index) == baseMeta)
        assert(ProbeBase.new == nil, "scripts cannot create the base")
        assert(ProbeAlpha.SetLabel == nil, "the global table holds only new")
        held = { a, z }
    )lua")) << log.All();
}

TEST(ScriptBinding, WrongReceiversAndArgumentsAreLuaErrorsNotCrashes) {
    ScriptLog log;
    ScriptManager scripts;
    OpenTestTools(scripts);
    const char* failing[] = {
        "ProbeAlpha.new().AlphaOnly(5)",                     // a dot instead of a colon
        "local z = ProbeZulu.new(); ProbeAlpha.new().AlphaOnly(z)",  // a sibling class
        "ProbeAlpha.new().AlphaOnly(Vec3.new())",            // a userdata of another scheme
        "local a = ProbeAlpha.new(); a.GetLabel(newproxy(true))",
        "ProbeBox.new():Take(Vec3.new())",                   // wrong class in argument 2
        "ProbeBox.new():Take()",
        "ProbeBox.new():SumColor(5)",                        // not a table
        "ProbeBox.new():ReadFont('Arial')",
    };
    for (const char* chunk : failing) {
        log.Clear();
        EXPECT_FALSE(scripts.RunString(chunk)) << chunk;
        EXPECT_EQ(log.Lines().size(), 1u) << chunk;
    }
    EXPECT_TRUE(scripts.RunString("ProbeBox.new():Take(ProbeAlpha.new())"));
    log.Clear();
    scripts.RunString("ProbeAlpha.new().AlphaOnly(5)");
    EXPECT_EQ(log.All(), "lua: [string \"ProbeAlpha.new().AlphaOnly(5)\"]:1: bad argument #1 to 'AlphaOnly' "
                         "(missing probealpha instance)\n");
    // Method calls number the arguments after the receiver, as Lua does.
    log.Clear();
    scripts.RunString("ProbeBox.new():Take(Vec3.new())");
    EXPECT_NE(log.All().find("bad argument #1 to 'Take' (ProbeBase expected, got userdata)"), std::string::npos)
        << log.All();
    log.Clear();
    scripts.RunString("ProbeBox.new():SumColor(5)");
    EXPECT_NE(log.All().find("bad argument #1 to 'SumColor' (table expected, got number)"), std::string::npos);
}

TEST(ScriptBinding, AnObjectHasOneOwnerAndASecondHandOverChangesNothing) {
    ScriptLog log;
    ScriptManager scripts;
    EXPECT_TRUE(scripts.RunString(R"lua(
        first, second = ProbeBox.new(), ProbeBox.new()
        item = ProbeAlpha.new()
        first:Take(item)
        local ok, message = pcall(second.Take, second, item)
        assert(not ok and message:find("ProbeBase already has an owner"), message)
        ok = pcall(first.Take, first, item)
        assert(not ok)
        assert(first:Count() == 1 and second:Count() == 0)
        first:Take(ProbeZulu.new())
        assert(first:Count() == 2)
    )lua")) << log.All();
    // Closing the state deletes the two boxes, which delete their two items;
    // the sanitizer reports a leak or a double delete.
}

TEST(ScriptBinding, TablesReadThroughTheScriptTableView) {
    ScriptLog log;
    ScriptManager scripts;
    EXPECT_TRUE(scripts.RunString(R"lua(
        local box = ProbeBox.new()
        local text = box:ReadFont({ name = "DejaVu Sans", height = 24, bold = true, title = {} })
        assert(text == "DejaVu Sans 24 1000", text)
        assert(box:SumColor({ 1, 0.5, 0, 0.25 }) == 1.75)
        -- A number field holding anything else, or a missing entry, is an
        -- argument error that names the field or entry.
        local ok, err = pcall(function() box:ReadFont({ name = "DejaVu Sans", width = "x" }) end)
        assert(not ok and err:find("bad argument #1 to 'ReadFont' %(field 'width': number expected, got string%)"), err)
        ok, err = pcall(function() box:SumColor({ 1, 0.5, "junk", 0.25 }) end)
        assert(not ok and err:find("entry 3: number expected, got string"), err)
        ok, err = pcall(function() box:SumColor({}) end)
        assert(not ok and err:find("entry 1: number expected, got nil"), err)
        ProbeBox = nil
    )lua")) << log.All();
    EXPECT_EQ(ToObject(scripts.GetState(), 1, kBoxScript), nullptr);
}

}  // namespace
}  // namespace Ostrel::Testing
