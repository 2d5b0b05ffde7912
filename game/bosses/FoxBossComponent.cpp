#include "game/bosses/FoxBossComponent.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/ImmovableAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/physics/CollisionData.h"
#include "game/bosses/FoxBossAIAction.h"
#include "game/common/ContactDamage.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/common/PlayerLookup.h"
#include "game/objects/ColorChangeAction.h"

LV_REFLECT_CLASS(Vandle::FoxBossComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char* const kDamageSounds[] = {"fox-boss-dmg-1-sfx", "fox-boss-dmg-2-sfx", "fox-boss-dmg-3-sfx"};


}  // namespace

void FoxBossComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    Composition* owner = GetOwner();
    AddActions(*owner);
    PlayGameSound("fox-boss-spawn-sfx");
    m_listeners.Listen(*owner, "ObjectDead", MakeDelegate(this, &FoxBossComponent::OnObjectDead));
    m_listeners.Listen(*owner, "CollisionData", MakeDelegate(this, &FoxBossComponent::OnCollision));
    m_listeners.Listen(*owner, "HealthChanged", MakeDelegate(this, &FoxBossComponent::OnHealthChanged));
    OnHealthChanged(1.0f);
}

void FoxBossComponent::AddActions(Composition& owner) {
    auto* brain = owner.GetComponentAs<BrainComponent>();
    if (!brain) {
        LogErrorf("FoxBossComponent: object %u ('%s') has no BrainComponent; it will not fight\n", owner.GetId(),
                  owner.GetName().c_str());
        return;
    }
    const u32 id = owner.GetId();
    auto* ai = new FoxBossAIAction;
    ai->SetCircling(m_moveCircleDist, m_moveCircleWeight);
    ai->SetMovement(m_moveSectionTime, m_moveSpeed, m_maxTurnAngle, m_moveTime);
    ai->SetCycleLength(m_slamsBetweenRests + 1);
    ai->SetRockShower(m_projectileName, m_rockShowerMinRadius, m_rockShowerMaxRadius, m_rockShowerMinRocks,
                      m_rockShowerMaxRocks);
    ai->SetAnimLengths(m_digUpAnimLength, m_tailSlamAnimLength, m_tailBurrowAnimLength, m_tailFlourishAnimLength,
                       m_lookAroundAnimLength);
    ai->SetTailScaleModifier(m_tailScaleModifier);
    AddOwnedAction(*brain, id, ai, 0);
    AddOwnedAction(*brain, id, new DamageEnemyAction, FourCC("dama"));
    AddOwnedAction(*brain, id, new ImmovableAction, 0);
    AddOwnedAction(*brain, id, ColorChangeAction::HitFlash(), ColorChangeAction::kLane);
}

void FoxBossComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* FoxBossComponent::Clone() const {
    auto* copy = NewComponentOf<FoxBossComponent>();
    if (!copy) return nullptr;
    copy->m_projectileName = m_projectileName;
    copy->m_firstFox = m_firstFox;
    copy->m_damage = m_damage;
    copy->m_moveCircleDist = m_moveCircleDist;
    copy->m_moveCircleWeight = m_moveCircleWeight;
    copy->m_moveTime = m_moveTime;
    copy->m_moveSpeed = m_moveSpeed;
    copy->m_moveSectionTime = m_moveSectionTime;
    copy->m_maxTurnAngle = m_maxTurnAngle;
    copy->m_slamsBetweenRests = m_slamsBetweenRests;
    copy->m_rockShowerMinRocks = m_rockShowerMinRocks;
    copy->m_rockShowerMaxRocks = m_rockShowerMaxRocks;
    copy->m_rockShowerMinRadius = m_rockShowerMinRadius;
    copy->m_rockShowerMaxRadius = m_rockShowerMaxRadius;
    copy->m_tailBurrowAnimLength = m_tailBurrowAnimLength;
    copy->m_tailFlourishAnimLength = m_tailFlourishAnimLength;
    copy->m_tailSlamAnimLength = m_tailSlamAnimLength;
    copy->m_digUpAnimLength = m_digUpAnimLength;
    copy->m_lookAroundAnimLength = m_lookAroundAnimLength;
    copy->m_tailScaleModifier = m_tailScaleModifier;
    return copy;
}

void FoxBossComponent::Serialize(Serializer* s) {
    s->SerializeBool("FirstFox", &m_firstFox);
    s->SerializeString("ProjectileName", &m_projectileName);
    s->SerializeFloat("Damage", &m_damage);
    s->SerializeFloat("MoveCircleDist", &m_moveCircleDist);
    s->SerializeFloat("MoveCircleWeight", &m_moveCircleWeight);
    s->SerializeFloat("MoveTime", &m_moveTime);
    s->SerializeFloat("MoveSpeed", &m_moveSpeed);
    s->SerializeFloat("MoveSectionTime", &m_moveSectionTime);
    s->SerializeFloat("MaxTurnAngle", &m_maxTurnAngle);
    s->SerializeInt("SlamsBetweenRests", &m_slamsBetweenRests);
    s->SerializeInt("RockShowerMinRocks", &m_rockShowerMinRocks);
    s->SerializeInt("RockShowerMaxRocks", &m_rockShowerMaxRocks);
    s->SerializeFloat("RockShowerMinRadius", &m_rockShowerMinRadius);
    s->SerializeFloat("RockShowerMaxRadius", &m_rockShowerMaxRadius);
    s->SerializeFloat("TailBurrowAnimLength", &m_tailBurrowAnimLength);
    s->SerializeFloat("TailFlourishAnimLength", &m_tailFlourishAnimLength);
    s->SerializeFloat("TailSlamAnimLength", &m_tailSlamAnimLength);
    s->SerializeFloat("DigUpAnimLength", &m_digUpAnimLength);
    s->SerializeFloat("LookAroundAnimLength", &m_lookAroundAnimLength);
    s->SerializeFloat("TailScaleModifier", &m_tailScaleModifier);
}

Variant FoxBossComponent::ToVariant() { return Variant(this); }

void FoxBossComponent::OnCollision(CollisionData* contact) {
    if (!contact || !GetOwner()) return;
    HitPlayer(*GetOwner(), contact->other,
              {.damage = m_damage, .coolDown = kContactCoolDown, .push = PushRule::AwayOnGround,
               .strength = kKnockback});
}

void FoxBossComponent::OnHealthChanged(f32 fraction) {
    CoreSystem* core = GameCore();
    const char* bar = m_firstFox ? "ui-fox0" : "ui-fox1";
    if (core) core->SendMessageString("PlaySound", kDamageSounds[Rand() % 3]);
    if (m_firstFox && fraction <= 0.5f && m_lastHealth > 0.5f) BringSecondFox();
    m_lastHealth = fraction;
    if (core) core->SendMessageStringFloat("BossHealthChanged", bar, fraction);
}

void FoxBossComponent::BringSecondFox() {
    CoreSystem* core = GameCore();
    ObjectManager* objects = CurrentObjectManager();
    u32 tile = 0;
    if (core) core->SendMessageUIntPtr("GetFoxEmergePoint", &tile);
    Composition* place = tile != 0 && objects ? objects->GetObject(tile) : nullptr;
    // The tile is only borrowed for its place.
    if (tile != 0 && core) core->SendMessageUInt("ReleaseFoxEmergePoint", tile);
    if (!place || !place->GetTransform()) place = GetOwner();
    CreateGameObject("fox-boss-second-obj", place ? place->GetTransform() : nullptr, "FoxBossComponent");
}

void FoxBossComponent::OnObjectDead() {
    OnHealthChanged(0.0f);
    PlayGameSound("fox-boss-death-sfx");
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(GetOwnerId());
}

}  // namespace Vandle
