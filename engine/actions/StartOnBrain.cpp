#include "engine/actions/StartOnBrain.h"

#include "engine/core/ActionBase.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/base/Log.h"

namespace Ostrel {

void StartOnBrain(const Component& component, const char* className, ActionBase* action) {
    const Composition* owner = component.GetOwner();
    BrainComponent* brain = GetBrainComponentOf(owner);
    if (!owner || !brain || !brain->GetActionList()) {
        LogErrorf("%s: object %u ('%s') has no BrainComponent; it does nothing\n", className,
                  owner ? owner->GetId() : 0u, owner ? owner->GetName().c_str() : "");
        delete action;
        return;
    }
    action->SetOwner(owner->GetId());
    brain->AddAction(action);
}

}  // namespace Ostrel
