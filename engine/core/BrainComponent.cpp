#include "engine/core/BrainComponent.h"

#include "engine/base/Log.h"
#include "engine/core/ActionList.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/Reflect.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Ostrel::BrainComponent);

namespace Ostrel {

BrainComponent::BrainComponent() : m_list(std::make_shared<ActionList>()) {}

BrainComponent::~BrainComponent() { ActionList::Abandon(std::move(m_list)); }

Component* BrainComponent::Clone() const {
    CompositionFactory* factory = CompositionFactory::Instance();
    return factory ? factory->CreateComponent(kTypeId) : nullptr;
}

void BrainComponent::Uninitialize() {
    ActionList::Abandon(std::move(m_list));
}

Variant BrainComponent::ToVariant() { return Variant(this); }

void BrainComponent::AddAction(IAction* action) {
    if (!action) return;
    if (!m_list) {
        // The object is being torn down: nothing will ever step the action.
        LogErrorf("BrainComponent: action added to the brain of an object being destroyed, dropped\n");
        delete action;
        return;
    }
    m_list->Add(action);
}

void BrainComponent::Update(f32 dt) {
    // Only the local reference is used: an action may destroy this brain
    // during the update.
    if (std::shared_ptr<ActionList> list = m_list) list->Update(dt);
}

BrainComponent* GetBrainComponentOf(const Composition* object) {
    return object ? object->GetComponentAs<BrainComponent>() : nullptr;
}

}  // namespace Ostrel
