#pragma once
// Makes its object fire its own local "TriggerFired" every "RepeatTime"
// seconds ('timC', 1.0 by default): when a live object is initialised it
// starts a TimedTriggerAction on the object's brain, which does the counting
// (see there; the wave spawner pauses, resets and resumes it by message).
// The editor's "RepeatTime" field sends "UpdateTimedTriggerAction" to the
// object, so an edit reaches the running action at once.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class TimedTriggerComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("timC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    f32 GetRepeatTime() const { return m_repeatTime; }
    // Stores the period and sends "UpdateTimedTriggerAction"(period) to the
    // object (the running action restarts its count).
    void SetRepeatTime(f32 seconds);

private:
    f32 m_repeatTime = 1.0f;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::TimedTriggerComponent);
