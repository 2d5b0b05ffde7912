#pragma once
// Shared by the scripting tests: a log capture, a resource folder of script
// files, and a Lua helper that runs a chunk and reads a global.

#include "engine/base/Logger.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/script/ScriptManager.h"

#include <lua.hpp>

#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel::Testing {

// Collects every logged line while it lives.
class ScriptLog {
public:
    ScriptLog() : m_previous(Logger::Current()) {
        m_logger.AddProvider(std::make_unique<Provider>(this));
        Logger::SetCurrent(&m_logger);
    }
    ~ScriptLog() { Logger::SetCurrent(m_previous); }

    std::vector<std::string> Lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    std::string All() const {
        std::string all;
        for (const std::string& line : Lines()) all += line;
        return all;
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

private:
    class Provider : public ILogProvider {
    public:
        explicit Provider(ScriptLog* owner) : m_owner(owner) {}
        void Write(const char* text) override {
            std::lock_guard lock(m_owner->m_mutex);
            m_owner->m_lines.push_back(text);
        }

    private:
        ScriptLog* m_owner;
    };

    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    Logger m_logger;
    Logger* m_previous;
};

// A resource tree in a fresh temporary folder, walked by a live manager.
class ScriptFolder {
public:
    explicit ScriptFolder(const std::string& name,
                          const std::vector<std::pair<std::string, std::string>>& files) {
        m_root = std::filesystem::path(LV_TEST_TMP) / ("script-" + name);
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "scripts");
        for (const auto& [file, text] : files) std::ofstream(m_root / "scripts" / file, std::ios::binary) << text;
        m_resources = std::make_unique<ResourceManager>();
        RegisterResourceKinds(*m_resources, m_root.string());
    }

private:
    std::filesystem::path m_root;
    std::unique_ptr<ResourceManager> m_resources;
};

// The value of a global as text ("nil" when unset).
inline std::string Global(ScriptManager& scripts, const char* name) {
    lua_State* L = scripts.GetState();
    lua_getglobal(L, name);
    std::string text = lua_isnil(L, -1) ? "nil" : lua_tostring(L, -1) ? lua_tostring(L, -1) : "?";
    lua_pop(L, 1);
    return text;
}

// Gives the state the full base library (newproxy, loadstring) and the debug
// library, which scripts never get: for tests that forge userdata or look at
// the registry.
inline void OpenTestTools(ScriptManager& scripts) {
    lua_cpcall(
        scripts.GetState(),
        [](lua_State* L) {
            luaopen_base(L);
            luaopen_debug(L);
            return 0;
        },
        nullptr);
    lua_settop(scripts.GetState(), 0);
}

}  // namespace Ostrel::Testing
