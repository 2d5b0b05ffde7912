#include "engine/components/PortalComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::PortalComponent);

namespace Ostrel {

namespace {

void SetTypeNameField(const void* value, void* clientData) {
    const auto& text = *static_cast<const std::string*>(value);
    static_cast<PortalComponent*>(clientData)->SetType(StringToPortalType(text));
}

void GetTypeNameField(void* value, void* clientData) {
    const u32 type = static_cast<PortalComponent*>(clientData)->GetType();
    *static_cast<std::string*>(value) = PortalTypeToString(type);
}

}  // namespace

const char* PortalTypeToString(u32 type) {
    switch (type) {
        case kPortalEntrance: return "Entrance";
        case kPortalExit: return "Exit";
        default: return "Unknown";
    }
}

PortalType StringToPortalType(const std::string& text) {
    if (text == "Entrance") return kPortalEntrance;
    if (text == "Exit") return kPortalExit;
    return kPortalUnknown;
}

Component* PortalComponent::Clone() const {
    auto* copy = NewComponentOf<PortalComponent>();
    if (copy) copy->m_type = m_type;
    return copy;
}

void PortalComponent::Serialize(Serializer* s) {
    if (s->IsReading()) {
        s->SerializeString("type-name", &m_typeName);
        m_type = StringToPortalType(m_typeName);
    } else {
        m_typeName = PortalTypeToString(m_type);
        s->SerializeString("type-name", &m_typeName);
    }
}

void PortalComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddCallbackVar("type-name", kTweakString, &SetTypeNameField, &GetTypeNameField, this);
}

Variant PortalComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
