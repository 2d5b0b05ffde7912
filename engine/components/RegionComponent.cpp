#include "engine/components/RegionComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Ostrel::RegionComponent);

namespace Ostrel {

Component* RegionComponent::Clone() const { return NewComponentOf<RegionComponent>(); }

Variant RegionComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
