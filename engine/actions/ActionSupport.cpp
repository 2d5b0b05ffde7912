#include "engine/actions/ActionSupport.h"

#include "engine/base/Log.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

ObjectManager* ActionObjects() {
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

CoreSystem* ActionCore() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

Composition* FindActionObject(u32 id) {
    ObjectManager* objects = ActionObjects();
    return objects && id != 0 ? objects->GetObject(id) : nullptr;
}

bool IsFiniteKnockback(const Vec3& knockback, const char* message, u32 ownerId) {
    if (std::isfinite(knockback.x) && std::isfinite(knockback.y) && std::isfinite(knockback.z)) return true;
    LogErrorf("%s for object 0x%.8x: knockback vector (%g, %g, %g) is not finite, ignored\n", message, ownerId,
              double(knockback.x), double(knockback.y), double(knockback.z));
    return false;
}

Component* FindComponentByHandle(u32 handle) {
    ObjectManager* objects = ActionObjects();
    return objects ? objects->GetComponentByHandle(handle) : nullptr;
}

OwnerListeners::~OwnerListeners() { UnlistenAll(); }

void OwnerListeners::Listen(Composition& owner, const std::string& name, const FunctionRef& listener) {
    const bool held = std::any_of(m_listeners.begin(), m_listeners.end(),
                                  [&name](const auto& entry) { return entry.first == name; });
    if (held) return;
    m_owner = owner.GetId();
    owner.Listen(name, listener);
    m_listeners.emplace_back(name, listener);
}

void OwnerListeners::UnlistenAll() {
    if (m_listeners.empty()) return;
    if (Composition* owner = FindActionObject(m_owner)) {
        for (const auto& [name, listener] : m_listeners) owner->Unlisten(name, listener);
    }
    m_listeners.clear();
}

}  // namespace Ostrel
