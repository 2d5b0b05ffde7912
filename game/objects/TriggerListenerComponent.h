#pragma once
// Triggers connect places in a level to things that happen elsewhere. A
// trigger id is a plain 32-bit integer: a level designer's number, or a
// four-character code read as an integer ('BRD1'). Anyone may send the
// global "TriggerActivated"(int id); every TriggerListenerComponent ('tliC')
// whose "TriggerId" equals it answers, every time, with the local
// "TriggerFired" on its own object, where the object's other components take
// it up. The level builder renumbers ids per room copy through
// Get/SetTriggerId.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/world/TriggerIdHolder.h"

namespace Vandle {

using Ostrel::s32;
using Ostrel::u32;

class TriggerListenerComponent final : public Ostrel::Component, public Ostrel::TriggerIdHolder {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("tliC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnTriggerActivated(int id);

    s32 GetTriggerId() const override { return m_triggerId; }
    void SetTriggerId(s32 id) override { m_triggerId = id; }

private:
    s32 m_triggerId = 0;
    Ostrel::SubscriptionList m_globals;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::TriggerListenerComponent);
