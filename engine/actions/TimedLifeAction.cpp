#include "engine/actions/TimedLifeAction.h"

#include "engine/actions/ActionSupport.h"
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
    if (ObjectManager* objects = ActionObjects()) objects->DestroyObject(GetOwner());
    return kActionFinished;
}

}  // namespace Ostrel
