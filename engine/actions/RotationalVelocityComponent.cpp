#include "engine/actions/RotationalVelocityComponent.h"

#include "engine/actions/RotationalVelocityAction.h"
#include "engine/actions/StartOnBrain.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::RotationalVelocityComponent);

namespace Ostrel {

namespace {

const char* const kKeys[] = {"RotationalVelocityX", "RotationalVelocityY", "RotationalVelocityZ"};

}  // namespace

void RotationalVelocityComponent::Initialize() {
    if (GetHandle() == 0) return;
    auto* action = new RotationalVelocityAction;
    action->SetRate(m_rotationalVelocity.x, m_rotationalVelocity.y, m_rotationalVelocity.z);
    StartOnBrain(*this, "RotationalVelocityComponent", action);
}

Component* RotationalVelocityComponent::Clone() const {
    auto* copy = NewComponentOf<RotationalVelocityComponent>();
    if (copy) copy->m_rotationalVelocity = m_rotationalVelocity;
    return copy;
}

void RotationalVelocityComponent::Serialize(Serializer* s) {
    for (int axis = 0; axis < 3; ++axis) s->SerializeFloat(kKeys[axis], &m_rotationalVelocity[axis]);
}

void RotationalVelocityComponent::ExposeProperties(TweakBarGroup* panel) {
    for (int axis = 0; axis < 3; ++axis) panel->AddFloat(kKeys[axis], &m_rotationalVelocity[axis], false);
}

Variant RotationalVelocityComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
