#pragma once
// What the game components share: integer fields in the editor's panel
// (the panel group has no plain int entry, so an int is a callback field,
// kTweakInt, read and written through the component's own accessors) and
// the running engine's core system, and the tolerance of timed effects.

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/TweakBarGroup.h"

namespace Vandle {

// Frame steps summed in floats drift from the exact time (five steps of
// 0.05 s leave 7e-9 s of a 0.25 s flash). Timed effects count a time within
// this tolerance of a limit as having reached it, so a flash of 0.25 s ends
// at the step that reaches 0.25 s and a 0.1 s tick at 60 frames per second
// comes every 6 frames, not every 7.
inline constexpr Ostrel::f32 kTimeTolerance = 1e-5f;

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

// Plays a sound effect through the running engine's "PlaySound" (nothing
// without an engine).
inline void PlayGameSound(const char* sound) {
    if (Ostrel::CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", sound);
}

}  // namespace Vandle
