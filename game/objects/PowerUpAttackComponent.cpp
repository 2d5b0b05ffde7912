#include "game/objects/PowerUpAttackComponent.h"

#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/common/CountField.h"
#include "game/common/GameSupport.h"
#include "game/common/PlayerLookup.h"

LV_REFLECT_CLASS(Vandle::PowerUpAttackComponent);

namespace Vandle {

using namespace Ostrel;

void PowerUpAttackComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "CollisionData", MakeDelegate(this, &PowerUpAttackComponent::OnCollisionData));
}

void PowerUpAttackComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* PowerUpAttackComponent::Clone() const {
    auto* copy = NewComponentOf<PowerUpAttackComponent>();
    if (!copy) return nullptr;
    copy->m_newAttack = m_newAttack;
    copy->m_numAttacks = m_numAttacks;
    return copy;
}

void PowerUpAttackComponent::Serialize(Serializer* s) {
    s->SerializeString("NewAttack", &m_newAttack);
    SerializeCount(s, "NumAttacks", &m_numAttacks, "no attacks");
}

void PowerUpAttackComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddString("NewAttack", &m_newAttack, false);
    AddIntField<PowerUpAttackComponent, &PowerUpAttackComponent::GetNumAttacks,
                &PowerUpAttackComponent::SetNumAttacks>(panel, "NumAttacks", this);
}

Variant PowerUpAttackComponent::ToVariant() { return Variant(this); }

// Taken once: the object lives on until the next update, and the player may
// touch it on every physics step until then.
void PowerUpAttackComponent::OnCollisionData(CollisionData* contact) {
    if (m_taken || !contact || !FindLivePlayer(contact->other)) return;
    m_taken = true;
    const u32 playerId = contact->other;
    const u32 self = GetOwnerId();
    GetOwner()->Send("TriggerFired");
    PlayGameSound("powerup-attack-sfx");
    const std::string attack = m_newAttack;
    const int uses = m_numAttacks;
    SendObjectMessageStringInt(FindLivePlayer(playerId), "ChangePlayerAttack", attack.c_str(), uses);
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(self);
}

}  // namespace Vandle
