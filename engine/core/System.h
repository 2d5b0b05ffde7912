#pragma once
// A System takes part in the frame: the Engine calls its operations at fixed
// points of the run, always in update order (the order of Engine::AddSystem):
//   LoadConfig  - Engine::LoadSystemConfigs, with the system's configuration
//                 (the resource named after GetName, lower-cased) or null
//                 when there is none; the serializer lives only for the call
//   Create      - Engine::CreateSystems, after every configuration
//   Initialize  - start of Engine::Run; subscribe to messages here
//   Update(dt)  - every frame, with the clamped (and, when paused, zero) step
//   Shutdown    - after the last frame, in update order (not reversed);
//                 unsubscribe here
// Systems are owned by the mains; the engine only points to them.
//
// A system's name is its class name ("CoreSystem"): the key of its
// configuration and the name of its profiler section. Its id is a small
// number or a four-character code (FourCC("core")).

#include "engine/base/Types.h"

#include <string>

namespace Ostrel {

class Engine;
class Serializer;

class System {
public:
    System() = default;
    virtual ~System() = default;
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    virtual void Update(f32 dt) = 0;
    virtual void Create() {}
    virtual void Initialize() {}
    // config is null when the system has no configuration resource; keep the
    // defaults then.
    virtual void LoadConfig(Serializer* config) { (void)config; }
    virtual std::string GetName() const = 0;
    virtual u32 GetId() const = 0;
    virtual void Shutdown() {}

    // Null until Engine::AddSystem; a system never added has none.
    Engine* GetEngine() const { return m_engine; }
    void SetEngine(Engine* engine) { m_engine = engine; }

protected:
    Engine* m_engine = nullptr;
};

}  // namespace Ostrel
