#include "engine/components/SkyboxComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::SkyboxComponent);

namespace Ostrel {

namespace {

void PressSetSkybox(void* clientData) { static_cast<SkyboxComponent*>(clientData)->SendSetSkybox(); }

}  // namespace

Component* SkyboxComponent::Clone() const {
    auto* copy = NewComponentOf<SkyboxComponent>();
    if (copy) copy->m_baseName = m_baseName;
    return copy;
}

void SkyboxComponent::Serialize(Serializer* s) { s->SerializeString("skybox-base-name", &m_baseName); }

void SkyboxComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("skybox-base-name", &m_baseName, false);
    panel->AddButton("Set Skybox", &PressSetSkybox, this);
}

Variant SkyboxComponent::ToVariant() { return Variant(this); }

void SkyboxComponent::SendSetSkybox() {
    auto* messages = GetOwner() ? GetSiblingAs<MessageComponent>() : nullptr;
    if (messages) messages->GetTable().SendValues("SetSkybox", &m_baseName);
}

}  // namespace Ostrel
