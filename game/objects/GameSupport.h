#pragma once
// What the game components share: integer fields in the editor's panel
// (the panel group has no plain int entry, so an int is a callback field,
// kTweakInt, read and written through the component's own accessors) and
// the running engine's core system.

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/TweakBarGroup.h"

namespace Vandle {

template <class C, Ostrel::s32 (C::*Get)() const, void (C::*Set)(Ostrel::s32)>
void AddIntField(Ostrel::TweakBarGroup* panel, const char* label, C* component) {
    Ostrel::TweakBarSetter setter = [](const void* value, void* client) {
        (static_cast<C*>(client)->*Set)(*static_cast<const int*>(value));
    };
    Ostrel::TweakBarGetter getter = [](void* value, void* client) {
        *static_cast<int*>(value) = (static_cast<const C*>(client)->*Get)();
    };
    panel->AddCallbackVar(label, Ostrel::kTweakInt, setter, getter, component);
}

// The running engine's core system (global messages), or null.
inline Ostrel::CoreSystem* GameCore() {
    Ostrel::Engine* engine = Ostrel::Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

}  // namespace Vandle
