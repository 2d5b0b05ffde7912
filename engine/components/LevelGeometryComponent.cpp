#include "engine/components/LevelGeometryComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Ostrel::LevelGeometryComponent);

namespace Ostrel {

Component* LevelGeometryComponent::Clone() const { return NewComponentOf<LevelGeometryComponent>(); }

Variant LevelGeometryComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
