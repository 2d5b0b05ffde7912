#include "engine/actions/PlaySoundAction.h"

#include "engine/actions/EngineAccess.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::PlaySoundAction);

namespace Ostrel {

int PlaySoundAction::OnUpdate(f32) {
    if (CoreSystem* core = CurrentCoreSystem()) core->SendMessageStringValue("PlaySound", m_sound);
    return kActionFinished;
}

}  // namespace Ostrel
