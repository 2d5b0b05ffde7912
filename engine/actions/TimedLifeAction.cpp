#include "engine/actions/TimedLifeAction.h"

#include "engine/actions/EngineAccess.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"

LV_REFLECT_CLASS(Ostrel::TimedLifeAction);

namespace Ostrel {

void TimedLifeAction::OnStart() {
    ActionBase::OnStart();
    SetFixedStep(true);
    SetStep(m_lifeTime);
}

int TimedLifeAction::OnUpdate(f32) {
    if (ObjectManager* objects = CurrentObjects()) objects->DestroyObject(GetOwner());
    return kActionFinished;
}

}  // namespace Ostrel
