#include "engine/actions/OrbitObjectComponent.h"

#include "engine/actions/OrbitAction.h"
#include "engine/actions/StartOnBrain.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

#include <vector>

LV_REFLECT_CLASS(Ostrel::OrbitObjectComponent);

namespace Ostrel {

void OrbitObjectComponent::Initialize() {
    if (GetHandle() == 0) return;
    m_target = FindTarget();
    auto* action = new OrbitAction;
    action->SetSpeed(m_frequency);
    action->SetRadius(m_amplitude);
    action->SetTarget(m_target);
    StartOnBrain(*this, "OrbitObjectComponent", action);
}

u32 OrbitObjectComponent::FindTarget() const {
    CompositionFactory* factory = CompositionFactory::Instance();
    ObjectManager* objects = CurrentObjectManager();
    const u32 typeId = factory ? factory->GetComponentTypeId(m_orbitType) : 0;
    std::vector<u32> ids;
    if (!objects || typeId == 0 || !objects->FindObjectsWithComponent(typeId, ids)) return 0;
    return ids.front();
}

Component* OrbitObjectComponent::Clone() const {
    auto* copy = NewComponentOf<OrbitObjectComponent>();
    if (!copy) return nullptr;
    copy->m_orbitType = m_orbitType;
    copy->m_frequency = m_frequency;
    copy->m_amplitude = m_amplitude;
    copy->m_target = m_target;
    return copy;
}

void OrbitObjectComponent::Serialize(Serializer* s) {
    s->SerializeString("OrbitType", &m_orbitType);
    s->SerializeFloat("Frequency", &m_frequency);
    s->SerializeFloat("Amplitude", &m_amplitude);
}

void OrbitObjectComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("OrbitType", &m_orbitType, false);
}

Variant OrbitObjectComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
