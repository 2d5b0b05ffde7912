#pragma once
// Moves an object on a circle in the x-z plane from its data ('wavC'):
// "frequency" (radians per second), "amplitude" (the radius) and the centre
// "center-x/y/z". Initialising it starts a WaveAction on the object's brain
// and counts the object's contacts ("CollisionData"), logging each one:
//   ow! I'm 0x0000002a and i've collided 0 times, last with 0x00010003.
// Unlike the other motion components it does so for archetypes as well (the
// archetype's brain is never stepped, so nothing moves).
//
// A clone copies frequency and amplitude but not the centre: an object made
// from an archetype circles (0, 0, 0) unless its own data sets the centre.
// The editor's "Get Position" button moves the centre to the object.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

struct CollisionData;

class WaveMotionComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("wavC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    // "frequency", "amplitude", "center-x", "center-y", "center-z".
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    void OnCollisionData(CollisionData* contact);
    // The centre becomes the owner's position (the editor's button).
    void CenterOnPosition();

    const Vec3& GetCenter() const { return m_center; }
    u32 GetCollisionCount() const { return m_collisionCount; }

private:
    f32 m_amplitude = 1.0f;
    f32 m_frequency = 1.0f;
    u32 m_collisionCount = 0;
    Vec3 m_center;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::WaveMotionComponent);
