#pragma once
// Placeholder for the scripting subsystem's ScriptManager. As it stands, no
// Lua state is opened and "startup-script" is not run. It records itself as
// the instance (GenericManager), so look-ups find it.

#include "engine/core/GenericManager.h"

namespace Ostrel {

class ScriptManager : public GenericManager<ScriptManager> {};

}  // namespace Ostrel
