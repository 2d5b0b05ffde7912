#include "game/player/PlayerComponent.h"

#include "engine/actions/DamagePlayerAction.h"
#include "engine/actions/ImpulseAction.h"
#include "engine/actions/KnockbackPlayerAction.h"
#include "engine/actions/VelocityMovementAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/AimerComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/io/PropertyManager.h"
#include "engine/core/MathFunctions.h"
#include "game/objects/ColorChangeAction.h"
#include "game/common/GameSupport.h"
#include "game/player/DashActions.h"

#include <cmath>
#include <sstream>

LV_REFLECT_CLASS(Vandle::PlayerComponent);

namespace Vandle {

using namespace Ostrel;

namespace {
}

PlayerComponent* GetPlayerComponentOf(const Composition* object) {
    return object ? object->GetComponentAs<PlayerComponent>() : nullptr;
}

void PlayerComponent::Initialize() {
    m_aiming = false;
    CoreSystem* core = GameCore();
    Composition* owner = GetOwner();
    if (!m_listeners.IsEmpty() || !core || !owner || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*owner, "AimPlayer", MakeDelegate(this, &PlayerComponent::OnAimPlayer));
    m_listeners.Listen(*owner, "ReleaseAim", MakeDelegate(this, &PlayerComponent::OnReleaseAim));
    m_listeners.Listen(*owner, "HealthChanged", MakeDelegate(this, &PlayerComponent::OnHealthChanged));
    m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &PlayerComponent::OnObjectDead));
    m_listeners.Listen(*owner, "UpdatePlayerDirection", MakeDelegate(this, &PlayerComponent::OnUpdatePlayerDirection));
    m_listeners.Listen(*owner, "UpdatePlayerAnimation", MakeDelegate(this, &PlayerComponent::OnUpdatePlayerAnimation));
    m_listeners.Listen(*owner, "LockAttacks", MakeDelegate(this, &PlayerComponent::OnLockAttacks));
    m_listeners.Listen(*owner, "UnlockAttacks", MakeDelegate(this, &PlayerComponent::OnUnlockAttacks));
    m_listeners.Listen(*owner, "PlayerAttack", MakeDelegate(this, &PlayerComponent::OnPlayerAttack));
    m_listeners.Listen(*owner, "ChangePlayerAttack", MakeDelegate(this, &PlayerComponent::OnChangePlayerAttack));
    m_listeners.Listen(*owner, "ResetPlayerAttack", MakeDelegate(this, &PlayerComponent::OnResetPlayerAttack));
    m_listeners.Listen(*owner, "DecrementEnergy", MakeDelegate(this, &PlayerComponent::OnDecrementEnergy));
    m_listeners.Listen(*owner, "CheckEnergy", MakeDelegate(this, &PlayerComponent::OnCheckEnergy));
    m_globals.Listen("InitiateVictory", MakeDelegate(this, &PlayerComponent::OnLockAttacks));
    CreateActions();
    SendEnergy();
    if (TransformComponent* transform = owner->GetTransform()) {
        Vec3 position = transform->GetPosition();
        core->SendMessageValues("DeactivateLeftOf", position);
    }
}

void PlayerComponent::CreateActions() {
    Composition* owner = GetOwner();
    BrainComponent* brain = GetBrainComponentOf(owner);
    if (!brain) {
        LogErrorf("PlayerComponent: object '%s' has no BrainComponent; the player cannot move\n",
                  owner->GetName().c_str());
        return;
    }
    auto* velocity = new VelocityMovementAction;
    auto* impulse = new ImpulseAction;
    auto* jump = new JumpAction;
    auto* dash = new DodgeRollAction;
    auto* flash = new ColorChangeAction;
    flash->SetFlashColor(1.0f, 0.0f, 0.0f);
    flash->SetToggleInterval(0.075f);
    flash->SetFlashDuration(0.5f);
    flash->SetLane(ColorChangeAction::kLane);
    auto* damage = new DamagePlayerAction;
    damage->SetLane(FourCC("dama"));
    auto* knockback = new KnockbackPlayerAction;
    knockback->SetLane(FourCC("knoc"));
    ActionBase* const order[] = {impulse, jump, dash, velocity, flash, damage, knockback};
    for (ActionBase* action : order) {
        action->SetOwner(owner->GetId());
        brain->AddAction(action);
    }
}

void PlayerComponent::Uninitialize() {
    m_listeners.UnlistenAll();
    m_globals.Clear();
}

Component* PlayerComponent::Clone() const {
    auto* copy = NewComponentOf<PlayerComponent>();
    if (!copy) return nullptr;
    copy->m_moveSpeed = m_moveSpeed;
    copy->m_defaultAttack = m_defaultAttack;
    return copy;
}

void PlayerComponent::Serialize(Serializer* s) {
    s->SerializeFloat("MoveSpeed", &m_moveSpeed);
    s->SerializeString("DefaultAttack", &m_defaultAttack);
    if (s->IsReading()) m_currentAttack = m_defaultAttack;
}

void PlayerComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddFloat("MoveSpeed", &m_moveSpeed, false);
    panel->AddString("DefaultAttack", &m_defaultAttack, false);
    panel->AddString("CurrentAttack", &m_currentAttack, false);
}

Variant PlayerComponent::ToVariant() { return Variant(this); }

void PlayerComponent::OnHealthChanged(f32 fraction) {
    if (CoreSystem* core = GameCore()) core->SendMessageFloat("PlayerHealthChanged", fraction);
}

void PlayerComponent::OnObjectDead() {
    Composition* owner = GetOwner();
    if (!owner) return;
    const unsigned id = owner->GetId();
    if (CoreSystem* core = GameCore()) {
        core->SendMessageString("PlaySound", "player-death-sfx");
        core->SendMessageFloat("PlayerHealthChanged", 0.0f);
        core->SendMessageUInt("PlayerDeath", id);
    }
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(id);
}

void PlayerComponent::OnUpdatePlayerDirection(Vec3 direction) {
    if (!m_moveTutorialLocked) {
        m_moveTutorialLocked = true;
        if (CoreSystem* core = GameCore()) core->SendMessageString("LockTutorial", "move-basic");
    }
    m_velocity = direction;
    UpdateMovement();
    if ((direction.x != 0.0f || direction.z != 0.0f) && !m_aiming) {
        if (!m_walking) SendObjectMessageValues(GetOwner(), "SetAnimation", "luvo-walk-anim");
        m_walking = true;
    } else {
        if (m_walking) SendObjectMessageValues(GetOwner(), "SetAnimation", "luvo");
        m_walking = false;
    }
}

void PlayerComponent::UpdateMovement() {
    const f32 squared = m_velocity.Dot(m_velocity);
    if (!std::isfinite(squared)) {
        // A non-finite direction would poison the transform and the
        // velocity for good: the player stops instead.
        if (m_loggedBadFacing.First()) {
            LogErrorf("PlayerComponent: ignoring a non-finite direction on object '%s'\n",
                      GetOwner() ? GetOwner()->GetName().c_str() : "");
        }
        m_velocity = Vec3(0.0f, 0.0f, 0.0f);
    }
    TransformComponent* transform = GetOwner() ? GetOwner()->GetTransform() : nullptr;
    if (squared > 0.0f && std::isfinite(squared) && transform) {
        const Vec3 n = m_velocity / std::sqrt(squared);
        transform->Rotation().y = std::atan2(-n.x, -n.z) * kDegreesPerRadian;
    }
    m_velocity = m_aiming ? Vec3(0.0f, 0.0f, 0.0f) : m_velocity * m_moveSpeed;
    SendObjectMessageVec3(GetOwner(), "UpdateVelocityMoveAction", m_velocity);
}

void PlayerComponent::OnUpdatePlayerAnimation() {
    SendObjectMessageValues(GetOwner(), "SetAnimation", m_walking ? "luvo-walk-anim" : "luvo");
}

void PlayerComponent::OnPlayerAttack(Vec3 direction) {
    if (!m_attackTutorialLocked) {
        m_attackTutorialLocked = true;
        if (CoreSystem* core = GameCore()) core->SendMessageString("LockTutorial", "use-qil-basic");
    }
    if (m_attacksLocked) return;
    SendObjectMessageVec3(GetOwner(), m_currentAttack, direction);
}

void PlayerComponent::OnChangePlayerAttack(std::string* name, int charges) {
    if (name) ChangeAttack(*name, charges);
}

void PlayerComponent::ChangeAttack(const std::string& name, int charges) {
    if (name != m_currentAttack) {
        CoreSystem* core = GameCore();
        if (core) core->SendMessageStringValue("PlayerAttackChanged", name);
        ApplyAimerLook(name);
        if (core && name == "ShieldAttack") core->SendMessageString("ShowTutorial", "use-shield");
    }
    m_currentAttack = name;
    m_maxEnergy = charges;
    m_energy = charges;
    SendEnergy();
}

void PlayerComponent::ApplyAimerLook(const std::string& attack) {
    auto* aimer = GetOwner() ? GetOwner()->GetComponentAs<AimerComponent>() : nullptr;
    PropertyManager* pages = PropertyManager::Instance();
    std::string entry;
    if (!aimer || !pages || !pages->GetPageProperty("player-aimer", attack, entry)) return;
    std::istringstream in(entry);
    std::string texture;
    f32 scaleX = 0.0f, scaleZ = 0.0f, radius = 0.0f;
    std::string extra;
    if (!(in >> texture >> scaleX >> scaleZ >> radius) || (in >> extra) || !std::isfinite(scaleX) ||
        !std::isfinite(scaleZ) || !std::isfinite(radius)) {
        LogErrorf("player-aimer: entry '%s' (\"%s\") is not \"<texture> <ScaleX> <ScaleZ> <AdjustRadius>\"; "
                  "the aimer is left as it was\n",
                  attack.c_str(), entry.c_str());
        return;
    }
    aimer->SetLook(texture, scaleX, scaleZ, radius);
}

void PlayerComponent::OnResetPlayerAttack() { ChangeAttack(m_defaultAttack, 0); }

void PlayerComponent::OnDecrementEnergy() {
    // The count stops at 0: a late decrement must not leave a negative
    // count that the reset at exactly 0 would never see.
    if (m_maxEnergy <= 0 || m_energy <= 0) return;
    --m_energy;
    SendEnergy();
}

void PlayerComponent::OnCheckEnergy() {
    if (m_energy == 0) OnResetPlayerAttack();
}

void PlayerComponent::SendEnergy() {
    const f32 fraction = m_maxEnergy > 0 ? f32(m_energy) / f32(m_maxEnergy) : 0.0f;
    if (CoreSystem* core = GameCore()) core->SendMessageFloat("PlayerEnergyChanged", fraction);
}

}  // namespace Vandle
