#include "engine/actions/WaveMotionComponent.h"

#include "engine/actions/StartOnBrain.h"
#include "engine/actions/WaveAction.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/base/Log.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"
#include "engine/physics/CollisionData.h"

LV_REFLECT_CLASS(Ostrel::WaveMotionComponent);

namespace Ostrel {

namespace {

void CenterOnPositionButton(void* clientData) { static_cast<WaveMotionComponent*>(clientData)->CenterOnPosition(); }

}  // namespace

void WaveMotionComponent::Initialize() {
    auto* action = new WaveAction;
    action->SetAmplitude(m_amplitude);
    action->SetFrequency(m_frequency);
    action->SetCenter(m_center);
    StartOnBrain(*this, "WaveMotionComponent", action);
    if (GetOwner()) GetOwner()->Listen("CollisionData", MakeDelegate(this, &WaveMotionComponent::OnCollisionData));
    m_collisionCount = 0;
}

void WaveMotionComponent::Uninitialize() {
    // An equal delegate (same target and method) removes the one added.
    if (GetOwner())
        GetOwner()->Unlisten("CollisionData", MakeDelegate(this, &WaveMotionComponent::OnCollisionData));
}

Component* WaveMotionComponent::Clone() const {
    auto* copy = NewComponentOf<WaveMotionComponent>();
    if (!copy) return nullptr;
    copy->m_frequency = m_frequency;
    copy->m_amplitude = m_amplitude;
    return copy;
}

void WaveMotionComponent::Serialize(Serializer* s) {
    s->SerializeFloat("frequency", &m_frequency);
    s->SerializeFloat("amplitude", &m_amplitude);
    s->SerializeFloat("center-x", &m_center.x);
    s->SerializeFloat("center-y", &m_center.y);
    s->SerializeFloat("center-z", &m_center.z);
}

void WaveMotionComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("frequency", &m_frequency, false);
    panel->AddFloat("amplitude", &m_amplitude, false);
    panel->AddFloat("center-x", &m_center.x, false);
    panel->AddFloat("center-y", &m_center.y, false);
    panel->AddFloat("center-z", &m_center.z, false);
    panel->AddButton("Get Position", &CenterOnPositionButton, this);
}

Variant WaveMotionComponent::ToVariant() { return Variant(this); }

void WaveMotionComponent::OnCollisionData(CollisionData* contact) {
    const u32 self = GetOwner() ? GetOwner()->GetId() : 0;
    LogErrorf("ow! I'm 0x%.8x and i've collided %d times, last with 0x%.8x.\n", self, int(m_collisionCount),
              contact ? contact->other : 0u);
    ++m_collisionCount;
}

void WaveMotionComponent::CenterOnPosition() {
    if (const TransformComponent* transform = GetTransform()) m_center = transform->GetPosition();
}

}  // namespace Ostrel
