#include "engine/core/MessageComponent.h"

#include "engine/core/CompositionFactory.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/core/Reflect.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Ostrel::MessageComponent);

namespace Ostrel {

MessageComponent::MessageComponent() : m_table(std::make_unique<MessageListenerTable>()) {}

MessageComponent::~MessageComponent() = default;

Component* MessageComponent::Clone() const {
    CompositionFactory* factory = CompositionFactory::Instance();
    return factory ? factory->CreateComponent(kTypeId) : nullptr;
}

Variant MessageComponent::ToVariant() {
    return Variant(this);
}

void MessageComponent::Listen(const std::string& name, const RefPtr<VariantFunction>& listener) {
    m_table->Listen(name, listener);
}

void MessageComponent::Unlisten(const std::string& name, const RefPtr<VariantFunction>& listener) {
    m_table->Unlisten(name, listener);
}

void MessageComponent::Send(const std::string& name) {
    m_table->Send(name);
}

}  // namespace Ostrel
