#pragma once
// Gives an object a life span from its data ('tmlC', "LifeTime" in seconds):
// when a live object is initialised it starts a TimedLifeAction on the
// object's brain, which destroys the object once more than LifeTime has gone
// by. Archetypes start nothing. Changing LifeTime later (the editor) reaches
// the object only when it is initialised again.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

class TimedLifeComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("tmlC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    f32 GetLifeTime() const { return m_lifeTime; }
    void SetLifeTime(f32 seconds) { m_lifeTime = seconds; }

private:
    f32 m_lifeTime = 0.0f;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TimedLifeComponent);
