#pragma once
// A respawn point ('chkC'): every local "TriggerFired" on its object
// (normally from a trigger listener wired to a player trigger, whose
// "NumUses" decides how often) plays "checkpoint-sfx" and sends the global
// "CheckpointUpdated" with the checkpoint's position at that moment, which
// the game system keeps as the player's respawn point. No keys, no editor
// fields.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

namespace Vandle {

using Ostrel::u32;

class CheckpointComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("chkC");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer*) override {}
    void ExposeProperties(Ostrel::TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnTriggerFired();

private:
    Ostrel::OwnerListeners m_listeners;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::CheckpointComponent);
