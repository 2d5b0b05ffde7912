// The parts of Composition and Component that reach the stock components:
// the typed look-ups of the transform and the message component, and the
// object's own messages.

#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/TransformComponent.h"

namespace Ostrel {

TransformComponent* Component::GetTransform() const {
    return m_owner->GetTransform();
}

TransformComponent* Composition::GetTransform() const {
    return static_cast<TransformComponent*>(GetComponent(TransformComponent::kTypeId));
}

MessageComponent* Composition::GetMessageComponent() const {
    return static_cast<MessageComponent*>(GetComponent(MessageComponent::kTypeId));
}

void Composition::Send(const std::string& name) {
    if (MessageComponent* messages = GetMessageComponent()) messages->Send(name);
}

void Composition::Listen(const std::string& name, const RefPtr<VariantFunction>& listener) {
    if (MessageComponent* messages = GetMessageComponent()) messages->Listen(name, listener);
}

void Composition::Unlisten(const std::string& name, const RefPtr<VariantFunction>& listener) {
    if (MessageComponent* messages = GetMessageComponent()) messages->Unlisten(name, listener);
}

}  // namespace Ostrel
