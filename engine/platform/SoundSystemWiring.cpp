// The sound system's connections to the rest of the engine: the global
// message table, the user settings and the resource manager's debug reload.
// Not connected yet: the message table and the settings manager land next;
// until then the handlers are reached by direct calls only.
#include "engine/platform/SoundSystem.h"

namespace Ostrel {

void SoundSystem::Subscribe() {}
void SoundSystem::Unsubscribe() {}
void SoundSystem::ReadUserSettings() {}
void SoundSystem::WriteUserSettings() {}
void SoundSystem::OnKeyTriggered(int, bool) {}

}  // namespace Ostrel
