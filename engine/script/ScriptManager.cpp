#include "engine/script/ScriptManager.h"

#include "engine/base/Log.h"
#include "engine/core/MetaClass.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/io/IFile.h"
#include "engine/platform/QuitSignal.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptLibraries.h"

#include <lua.hpp>

#include <algorithm>
#include <cstdlib>

namespace Ostrel {

namespace {

// The count hook runs every this many instructions.
constexpr int kHookInterval = 1000;
// Lua calls one run may nest (a scene's LoadScene calling itself): checked by
// the count hook, so a recursion is stopped within an interval of passing it.
constexpr int kMaxCallDepth = 200;
constexpr const char* kStartupScript = "startup-script";

// The error value at the top of the stack as text.
std::string ErrorText(lua_State* L) {
    if (lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER) {
        std::size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        return std::string(text, length);
    }
    return std::string("(error object is a ") + luaL_typename(L, -1) + " value)";
}

// Errors outside a protected call end the program in Lua; every call of ours
// is protected, so this only reports what should never happen.
int Panic(lua_State* L) {
    LogErrorf("lua: unprotected error: %s\n", ErrorText(L).c_str());
    return 0;
}

struct BinderCall {
    ScriptManager* scripts;
    const MetaClass* meta;
};

int RunBinder(lua_State* L) {
    const auto* call = static_cast<const BinderCall*>(lua_touserdata(L, 1));
    call->meta->RunScriptBinder(call->scripts);
    return 0;
}

}  // namespace

// Counts nested runs: the outermost one starts the instruction count and, on
// leaving, restores the stack and clears the script name.
class ScriptManager::RunScope {
public:
    RunScope(ScriptManager& scripts, int base) : m_scripts(scripts), m_base(base) {
        if (m_scripts.m_runDepth++ == 0) {
            m_scripts.m_instructionsRun = 0;
            lua_sethook(m_scripts.GetState(), &ScriptManager::CountInstructions, LUA_MASKCOUNT, kHookInterval);
        }
    }
    ~RunScope() {
        lua_settop(m_scripts.GetState(), m_base);
        if (--m_scripts.m_runDepth == 0) m_scripts.m_currentScript.clear();
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    ScriptManager& m_scripts;
    int m_base;
};

void ScriptManager::StateCloser::operator()(lua_State* L) const {
    if (L != nullptr) lua_close(L);
}

ScriptManager::ScriptManager() : ScriptManager(Limits{}) {}

ScriptManager::ScriptManager(const Limits& limits) : m_limits(limits) {
    m_memory.limit = limits.memoryBytes;
    Open();
}

ScriptManager::~ScriptManager() {
    if (lua_State* L = GetState()) {
        // Finalisers that lua_close runs count as one run: a budget of their
        // own, and a quit ends them, so teardown cannot hang in a script.
        ++m_runDepth;
        m_instructionsRun = 0;
        lua_sethook(L, &ScriptManager::CountInstructions, LUA_MASKCOUNT, kHookInterval);
    }
    m_state.reset();
    m_runDepth = 0;
    // No script can reach these any more, and no owner took them.
    for (auto& [ownership, created] : m_created) created.meta->Delete(created.object);
    m_created.clear();
}

void ScriptManager::TrackCreated(const ScriptOwnership* ownership, void* object, const MetaClass& meta) {
    m_created[ownership] = CreatedObject{object, &meta};
}

void ScriptManager::ForgetCreated(const ScriptOwnership* ownership) {
    m_created.erase(ownership);
}

ScriptManager* ScriptManager::FromState(lua_State* L) {
    void* userData = nullptr;
    if (L == nullptr || lua_getallocf(L, &userData) != &ScriptManager::Allocate) return nullptr;
    return static_cast<ScriptManager*>(userData);
}

void ScriptManager::Open() {
    lua_State* L = lua_newstate(&ScriptManager::Allocate, this);
    if (L == nullptr) {
        LogErrorf("lua: the Lua state could not be created; scripts will not run\n");
        return;
    }
    m_state.reset(L);
    lua_atpanic(L, &Panic);
    if (lua_cpcall(L, &OpenScriptLibraries, nullptr) != 0) {
        LogFailure(ErrorText(L));
        lua_settop(L, 0);
    }
    // Threads made later (coroutines) inherit the hook; each run sets it again
    // on the main thread.
    lua_sethook(L, &ScriptManager::CountInstructions, LUA_MASKCOUNT, kHookInterval);
    RegisterMetaClasses();
    RunStartup();
}

void ScriptManager::RegisterMetaClasses() {
    lua_State* L = GetState();
    for (const MetaClass* meta : MetaRegistryInst::Instance().GetAll()) {
        if (meta->GetScriptBinder() == nullptr) continue;
        BinderCall call{this, meta};
        if (lua_cpcall(L, &RunBinder, &call) != 0) {
            LogErrorf("lua: binding %s failed: %s\n", meta->GetName().c_str(), ErrorText(L).c_str());
        }
        lua_settop(L, 0);
    }
}

void ScriptManager::CountInstructions(lua_State* L, lua_Debug*) {
    ScriptManager* self = FromState(L);
    if (self == nullptr || self->m_runDepth == 0) return;
    // A quit (SIGTERM, SIGINT) ends a script that would not end by itself.
    if (QuitSignal::Received() != 0) {
        lua_sethook(L, &ScriptManager::CountInstructions, LUA_MASKCOUNT, 1);
        luaL_error(L, "script stopped: a quit was requested");
    }
    lua_Debug frame;
    if (lua_getstack(L, kMaxCallDepth, &frame) != 0) {
        lua_sethook(L, &ScriptManager::CountInstructions, LUA_MASKCOUNT, 1);
        luaL_error(L, "script stopped: calls nested more than %d deep", kMaxCallDepth);
    }
    if (self->m_limits.instructions == 0) return;
    self->m_instructionsRun += u64(std::max(lua_gethookcount(L), 1));
    if (self->m_instructionsRun <= self->m_limits.instructions) return;
    // Over the budget the hook runs at every instruction, so a script that
    // catches the error with pcall meets it again at its next instruction,
    // at each level, until the run ends. The next run restores the interval.
    lua_sethook(L, &ScriptManager::CountInstructions, LUA_MASKCOUNT, 1);
    luaL_error(L, "script stopped: more than %d instructions in one run",
               int(std::min<u64>(self->m_limits.instructions, 0x7fffffff)));
}

bool ScriptManager::RunString(const char* text) {
    if (!IsOpen()) return false;
    if (text == nullptr) {
        LogFailure("no script text");
        m_currentScript.clear();
        return false;
    }
    return RunBuffer(text, text);
}

bool ScriptManager::RunBuffer(std::string_view text, const char* chunkName) {
    if (!IsOpen()) return false;
    RunScope scope(*this, lua_gettop(GetState()));
    std::string error;
    if (Execute(text, chunkName, error)) return true;
    LogFailure(error);
    return false;
}

bool ScriptManager::CallGlobal(const char* name, int nargs, int nresults) {
    lua_State* L = GetState();
    if (L == nullptr) return false;
    const int top = lua_gettop(L);
    if (nargs < 0 || nargs > top) nargs = nargs < 0 ? 0 : top;
    RunScope scope(*this, top - nargs);
    // A raw look-up: a metatable a script set on the globals cannot raise an
    // error outside the protected call.
    lua_pushstring(L, name != nullptr ? name : "");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_insert(L, -(nargs + 1));
    std::string error;
    if (ProtectedCall(nargs, nresults, error)) return true;
    LogFailure(error);
    return false;
}

void ScriptManager::RunStartup() {
    const ResourceManager* resources = ResourceManager::Instance();
    if (IsOpen() && resources != nullptr && !resources->GetPath(kStartupScript).IsValid()) {
        // Named where the game keeps it, the file a person looks for; the
        // scenes that call its helpers fail one by one after this.
        const std::string path = resources->GetRoot() + "/ui/" + kStartupScript + ".lua";
        LogSourceScope source(path);
        LogErrorf("%s: no such file: the start-up script is missing, so the helpers it defines for the scenes "
                  "are missing too\n", path.c_str());
        return;
    }
    RunAsset(kStartupScript);
}

bool ScriptManager::RunAsset(const std::string& name) {
    if (!IsOpen()) return false;
    ResourceManager* resources = ResourceManager::Instance();
    if (resources == nullptr) return false;
    std::unique_ptr<IFile> file = resources->Open(name);
    if (!file) return false;
    std::string text;
    const bool read = ReadScriptText(*file, text);
    file->Close();
    if (!read) {
        LogErrorf("lua [%s]: the script file could not be read, skipped\n", name.c_str());
        return false;
    }
    const std::string path = resources->GetPath(name).GetString();
    LogSourceScope source(path);
    RunScope scope(*this, lua_gettop(GetState()));
    m_currentScript = name;
    std::string error;
    // Named by its file, so that Lua's messages (also from functions the
    // script defines and that run later) say "rsc/ui/startup-script.lua:7:".
    const std::string chunkName = "@" + path;
    if (Execute(text, chunkName.c_str(), error)) return true;
    LogFailure(error);
    return false;
}

bool ReadScriptText(IFile& file, std::string& text) {
    text.clear();
    const s32 size = file.ReadAll(nullptr);
    if (size < 0) return false;
    text.resize(std::size_t(size));
    const s32 read = size > 0 ? file.ReadAll(text.data()) : 0;
    if (read < 0 || read > size) return false;
    text.resize(std::size_t(read));
    return true;
}

bool ScriptManager::RunConsoleLine(std::string_view line, std::string& error) {
    if (!IsOpen()) {
        error = "no Lua state";
        return false;
    }
    RunScope scope(*this, lua_gettop(GetState()));
    return Execute(line, nullptr, error);
}

bool ScriptManager::Execute(std::string_view text, const char* chunkName, std::string& error) {
    lua_State* L = GetState();
    if (!text.empty() && text.front() == LUA_SIGNATURE[0]) {
        error = "precompiled chunks are not accepted";
        return false;
    }
    if (luaL_loadbuffer(L, text.data(), text.size(), chunkName) != 0) {
        error = ErrorText(L);
        return false;
    }
    return ProtectedCall(0, LUA_MULTRET, error);
}

bool ScriptManager::ProtectedCall(int nargs, int nresults, std::string& error) {
    lua_State* L = GetState();
    if (lua_pcall(L, nargs, nresults, 0) == 0) return true;
    error = ErrorText(L);
    return false;
}

void ScriptManager::LogFailure(const std::string& message) const {
    if (m_currentScript.empty()) {
        LogErrorf("lua: %s\n", message.c_str());
    } else {
        LogErrorf("lua [%s]: %s\n", m_currentScript.c_str(), message.c_str());
    }
}

// Counts what the state holds and, inside a run, refuses to grow past the
// limit (Lua then raises "not enough memory"). Allocations outside runs (the
// bindings, values pushed by callers) are not capped, so they cannot fail
// unprotected. Lua never asks to shrink a block in a way that may fail.
void* ScriptManager::Allocate(void* userData, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* self = static_cast<ScriptManager*>(userData);
    Memory& memory = self->m_memory;
    if (newSize == 0) {
        std::free(block);
        memory.inUse -= oldSize;
        return nullptr;
    }
    if (memory.limit != 0 && self->m_runDepth > 0 && newSize > oldSize &&
        memory.inUse - oldSize + newSize > memory.limit) {
        return nullptr;
    }
    void* grown = std::realloc(block, newSize);
    if (grown == nullptr) return nullptr;
    memory.inUse = memory.inUse - oldSize + newSize;
    return grown;
}

}  // namespace Ostrel
