#pragma once
// The program's one Lua 5.1 interpreter. ScriptManager owns the Lua state:
// opening it loads the standard libraries, runs the script binder of every
// meta class that has one in ascending name order (ScriptBinding.h: the
// bound classes, the vectors and the enumeration tables), then runs the
// script asset "startup-script". Build it after the resource manager and
// after static initialisation, before anything runs scene scripts.
//
// Every entry point runs protected and leaves the Lua stack as it found it
// (the arguments a caller pushed for CallGlobal are consumed). A failure is
// logged as "lua: <message>" or, while a script asset runs,
// "lua [<name>]: <message>", and the program goes on. Guards end runaway
// scripts with a logged error: an instruction budget per top-level run, a
// quit signal (SIGTERM, SIGINT) seen by the same hook, and a cap on the
// memory the state may hold. Precompiled (binary) chunks are refused: they
// can crash the interpreter. Scripts get only the libraries of
// ScriptLibraries.h: no io, os, debug or package, guarded string patterns.
//
// The manager takes no lock: callers on the loading thread and on the main
// thread keep each other out (the render device lock serves).

#include "engine/base/Types.h"
#include "engine/core/GenericManager.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct lua_State;
struct lua_Debug;

namespace Ostrel {

class IFile;
class MetaClass;
class ScriptOwnership;

// Reads the rest of file into text. False (text empty) when the file cannot
// be measured or read: a failed read is never taken for a length.
bool ReadScriptText(IFile& file, std::string& text);

class ScriptManager : public GenericManager<ScriptManager> {
public:
    struct Limits {
        // Lua instructions one top-level run may execute (0: no limit).
        u64 instructions = 100'000'000;
        // Bytes the Lua state may hold at once (0: no limit).
        std::size_t memoryBytes = std::size_t(512) << 20;
    };

    ScriptManager();
    explicit ScriptManager(const Limits& limits);
    ~ScriptManager() override;

    static ScriptManager* GetInstance() { return Instance(); }
    // The state, or null when it could not be created.
    lua_State* GetState() const { return m_state.get(); }
    bool IsOpen() const { return m_state != nullptr; }

    // Runs Lua text (a chunk with the name of the text itself). False after
    // a load or run error, which is logged.
    bool RunString(const char* text);
    // The same for text that may hold any bytes; chunkName names it in
    // Lua's own messages ("=name" for a plain name).
    bool RunBuffer(std::string_view text, const char* chunkName);
    // Calls the global function name with the nargs values the caller pushed
    // (consumed); results are dropped. A name that is not a function fails
    // like any run error.
    bool CallGlobal(const char* name, int nargs, int nresults);
    // Runs the script asset "startup-script" when there is one.
    void RunStartup();
    // Runs the script resource of that name; a missing resource is silently
    // skipped, an unreadable one is logged. False when nothing ran cleanly.
    bool RunAsset(const std::string& name);

    // Runs one console line; on failure error holds Lua's message (or a note
    // when the error value is not a string). Nothing is logged.
    bool RunConsoleLine(std::string_view line, std::string& error);

    // Objects scripts created that have no owner yet: deleted through their
    // meta class when the state closes, unless ForgetCreated ran for them
    // (ScriptBinding's "new" and ClaimForOwner call these).
    void TrackCreated(const ScriptOwnership* ownership, void* object, const MetaClass& meta);
    void ForgetCreated(const ScriptOwnership* ownership);
    // The manager that owns L's state, or null.
    static ScriptManager* FromState(lua_State* L);

    // Name of the asset being run; empty between runs.
    const std::string& GetCurrentScriptName() const { return m_currentScript; }
    // Names the next run (RunBuffer, RunString, CallGlobal) in its error
    // messages; the run clears it. The scene loader names scene files so.
    void SetCurrentScriptName(const std::string& name) { m_currentScript = name; }
    const Limits& GetLimits() const { return m_limits; }
    void SetInstructionLimit(u64 instructions) { m_limits.instructions = instructions; }
    std::size_t GetMemoryInUse() const { return m_memory.inUse; }

private:
    struct Memory {
        std::size_t inUse = 0;
        std::size_t limit = 0;
    };

    struct StateCloser {
        void operator()(lua_State* L) const;
    };
    class RunScope;

    void Open();
    void RegisterMetaClasses();
    // Loads text as a chunk (refusing binary chunks) and runs it; on failure
    // the message is in error.
    bool Execute(std::string_view text, const char* chunkName, std::string& error);
    bool ProtectedCall(int nargs, int nresults, std::string& error);
    void LogFailure(const std::string& message) const;
    static void CountInstructions(lua_State* L, lua_Debug* ar);
    static void* Allocate(void* userData, void* block, std::size_t oldSize, std::size_t newSize);

    Limits m_limits;
    Memory m_memory;
    struct CreatedObject {
        void* object;
        const MetaClass* meta;
    };

    std::unique_ptr<lua_State, StateCloser> m_state;
    std::unordered_map<const ScriptOwnership*, CreatedObject> m_created;
    std::string m_currentScript;
    int m_runDepth = 0;
    u64 m_instructionsRun = 0;
};

}  // namespace Ostrel
