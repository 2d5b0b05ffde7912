#include "engine/components/LightComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::LightComponent);

namespace Ostrel {

namespace {

struct FloatKey {
    const char* key;
    f32 Vec3::*member;
    bool color;
};

constexpr FloatKey kKeys[] = {
    {"Color_R", &Vec3::x, true},        {"Color_G", &Vec3::y, true},        {"Color_B", &Vec3::z, true},
    {"Attenuation_X", &Vec3::x, false}, {"Attenuation_Y", &Vec3::y, false}, {"Attenuation_Z", &Vec3::z, false},
};

// The field a key names. (Written in two steps: g++ 12 applies .* to a copy
// when the object expression is a conditional.)
f32* Field(const FloatKey& k, Vec3& color, Vec3& attenuation) {
    Vec3& vector = k.color ? color : attenuation;
    return &(vector.*k.member);
}

}  // namespace

Component* LightComponent::Clone() const {
    auto* copy = NewComponentOf<LightComponent>();
    if (!copy) return nullptr;
    copy->m_color = m_color;
    copy->m_attenuation = m_attenuation;
    return copy;
}

void LightComponent::Serialize(Serializer* s) {
    for (const FloatKey& k : kKeys) s->SerializeFloat(k.key, Field(k, m_color, m_attenuation));
}

void LightComponent::ExposeProperties(TweakBarGroup* panel) {
    for (const FloatKey& k : kKeys) panel->AddFloat(k.key, Field(k, m_color, m_attenuation), false);
}

Variant LightComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
