#pragma once
// Placeholder until the scripting subsystem is built: no Lua state is opened
// and "startup-script" is not run. Like the real one, it records itself as the
// instance.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class ScriptManager : public GenericManager<ScriptManager> {};

}  // namespace Ostrel
