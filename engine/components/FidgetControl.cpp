#include "engine/components/FidgetControl.h"

#include "engine/core/Component.h"
#include "engine/core/Composition.h"

namespace Ostrel {

FidgetControl* GetFidgetControlOf(const Composition* object) {
    return object ? dynamic_cast<FidgetControl*>(object->GetComponent(FidgetControl::kTypeId)) : nullptr;
}

}  // namespace Ostrel
