#include "engine/components/MovementComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"
#include "engine/base/Serializer.h"

LV_REFLECT_CLASS(Ostrel::MovementComponent);

namespace Ostrel {

namespace {

// Keys 0..2 are the velocity axes, 3..5 the acceleration axes.
struct AxisKey {
    const char* key;
    float Vec3::*axis;
};

const AxisKey kVectorKeys[] = {
    {"VelX", &Vec3::x},   {"VelY", &Vec3::y},   {"VelZ", &Vec3::z},
    {"AccelX", &Vec3::x}, {"AccelY", &Vec3::y}, {"AccelZ", &Vec3::z},
};

}  // namespace

Component* MovementComponent::Clone() const {
    auto* copy = NewComponentOf<MovementComponent>();
    if (!copy) return nullptr;
    copy->m_velocity = m_velocity;
    copy->m_acceleration = m_acceleration;
    copy->m_drag = m_drag;
    copy->m_gravity = m_gravity;
    return copy;
}

void MovementComponent::Serialize(Serializer* s) {
    for (int i = 0; i < 6; ++i) {
        Vec3& v = i < 3 ? m_velocity : m_acceleration;
        s->SerializeFloat(kVectorKeys[i].key, &(v.*(kVectorKeys[i].axis)));
    }
    s->SerializeBool("Gravity", &m_gravity);
    s->SerializeBool("Drag", &m_drag);
}

void MovementComponent::ExposeProperties(TweakBarGroup* panel) {
    for (int i = 0; i < 6; ++i) {
        Vec3& v = i < 3 ? m_velocity : m_acceleration;
        panel->AddFloat(kVectorKeys[i].key, &(v.*(kVectorKeys[i].axis)), false);
    }
    panel->AddBool("Gravity", &m_gravity, false);
    panel->AddBool("Drag", &m_drag, false);
}

Variant MovementComponent::ToVariant() { return Variant(this); }

}  // namespace Ostrel
