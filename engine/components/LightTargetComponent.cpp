#include "engine/components/LightTargetComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Ostrel::LightTargetComponent);

namespace Ostrel {

Component* LightTargetComponent::Clone() const { return NewComponentOf<LightTargetComponent>(); }

Variant LightTargetComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
