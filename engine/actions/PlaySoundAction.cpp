#include "engine/actions/PlaySoundAction.h"

#include "engine/actions/ActionSupport.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::PlaySoundAction);

namespace Ostrel {

int PlaySoundAction::OnUpdate(f32) {
    if (CoreSystem* core = ActionCore()) core->SendMessageStringValue("PlaySound", m_sound);
    return kActionFinished;
}

}  // namespace Ostrel
