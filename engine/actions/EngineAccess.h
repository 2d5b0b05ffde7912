#pragma once
// How the engine's actions reach the running engine: they keep ids, never
// pointers to objects, and look objects up each time, so a destroyed object
// is simply not found. Everything answers null without an engine.

#include "engine/core/Types.h"

namespace Ostrel {

class Composition;
class CoreSystem;
class ObjectManager;

ObjectManager* CurrentObjects();
CoreSystem* CurrentCoreSystem();
// The object of that id, or null (id 0, destroyed, no engine).
Composition* FindLiveObject(u32 id);

}  // namespace Ostrel
