#pragma once
// What the two spawners share: the damage gate and red flash of a
// destroyable nest, its death, and the "SpawnEffect" key that is written
// back only when it was read.

#include <string>

namespace Ostrel {
class Component;
class Serializer;
}  // namespace Ostrel

namespace Vandle {

// Adds a DamageEnemyAction ('dama') and a red ColorChangeAction ('flas')
// to the component's object's brain.
void AddDestroyableActions(const Ostrel::Component& component, const char* className);
// Plays "spawner-death-sfx" and queues the component's object for
// destruction.
void DieAsSpawner(const Ostrel::Component& component);
// Reading: present tells whether the key was there (its text going into
// value). Writing: the key is written only when present is true.
void SerializeOptionalString(Ostrel::Serializer* serializer, const char* key, std::string* value, bool* present);

}  // namespace Vandle
