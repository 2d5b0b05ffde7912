#include "game/bosses/YakTileComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Vandle::YakTileComponent);

namespace Vandle {

Ostrel::Component* YakTileComponent::Clone() const { return Ostrel::NewComponentOf<YakTileComponent>(); }

Ostrel::Variant YakTileComponent::ToVariant() { return Ostrel::Variant(this); }

}  // namespace Vandle
