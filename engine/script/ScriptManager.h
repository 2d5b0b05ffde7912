#pragma once
// Placeholder until the scripting subsystem is built: no Lua state is opened
// and "startup-script" is not run.

namespace Ostrel {

class ScriptManager {
public:
    ScriptManager() = default;
    ScriptManager(const ScriptManager&) = delete;
    ScriptManager& operator=(const ScriptManager&) = delete;
};

}  // namespace Ostrel
