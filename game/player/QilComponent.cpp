#include "game/player/QilComponent.h"

#include "engine/actions/OrbitAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/LightComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MovementComponent.h"
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
#include "game/common/GameSupport.h"
#include "game/player/ArcAttackAction.h"
#include "game/common/BobAction.h"
#include "game/player/FaceVelocityAction.h"
#include "game/player/FirestarterAttackAction.h"
#include "game/player/MeteorAttackAction.h"
#include "game/player/QilReturnAction.h"
#include "game/player/ShieldAttackAction.h"
#include "game/player/ShootQilAction.h"
#include "game/player/VictoryAction.h"

#include <cmath>
#include <sstream>
#include <vector>

LV_REFLECT_CLASS(Vandle::QilComponent);

namespace Vandle {

using namespace Ostrel;

// ---- life cycle --------------------------------------------------------------

void QilComponent::Initialize() {
    CoreSystem* core = GameCore();
    Composition* owner = GetOwner();
    if (!m_listeners.IsEmpty() || !core || !owner || !IsOwnerLive(*this)) return;
    m_globals.Listen("InitiateVictory", MakeDelegate(this, &QilComponent::OnInitiateVictory));
    m_listeners.Listen(*owner, "LostOrbitTarget", MakeDelegate(this, &QilComponent::OnLostOrbitTarget));
    m_listeners.Listen(*owner, "LostPlayer", MakeDelegate(this, &QilComponent::OnLostPlayer));
    m_listeners.Listen(*owner, "StartedAttack", MakeDelegate(this, &QilComponent::OnStartedAttack));
    m_listeners.Listen(*owner, "FinishedAttack", MakeDelegate(this, &QilComponent::OnFinishedAttack));
    m_globals.Listen("PlayerAttackChanged", MakeDelegate(this, &QilComponent::OnPlayerAttackChanged));
    BindPlayerAttackHandlers();
    CreateActions();
}

void QilComponent::CreateActions() {
    Composition* owner = GetOwner();
    BrainComponent* brain = GetBrainComponentOf(owner);
    if (!brain) {
        LogErrorf("QilComponent: object '%s' has no BrainComponent; the companion stays where it is\n",
                  owner->GetName().c_str());
        return;
    }
    auto* ret = new QilReturnAction(m_playerId);
    auto* bob = new BobAction;
    bob->SetAmplitude(m_bobAmplitude);
    bob->SetFrequency(m_bobFrequency);
    bob->SetOffset(m_bobOffset);
    auto* orbit = new OrbitAction;
    orbit->SetRadius(m_orbitAmplitude);
    orbit->SetSpeed(m_orbitFrequency);
    orbit->SetTarget(m_playerId);
    auto* face = new FaceVelocityAction;
    face->SetLane(FourCC("face"));
    ActionBase* const order[] = {ret, bob, orbit, face};
    for (ActionBase* action : order) {
        action->SetOwner(owner->GetId());
        brain->AddAction(action);
    }
}

void QilComponent::Uninitialize() {
    m_listeners.UnlistenAll();
    m_globals.Clear();
    m_playerListeners.UnlistenAll();
}

Component* QilComponent::Clone() const {
    auto* copy = NewComponentOf<QilComponent>();
    if (!copy) return nullptr;
    copy->m_bobFrequency = m_bobFrequency;
    copy->m_bobAmplitude = m_bobAmplitude;
    copy->m_bobOffset = m_bobOffset;
    copy->m_orbitFrequency = m_orbitFrequency;
    copy->m_orbitAmplitude = m_orbitAmplitude;
    copy->m_shootSpeed = m_shootSpeed;
    return copy;
}

void QilComponent::Serialize(Serializer* s) {
    s->SerializeFloat("bob-frequency", &m_bobFrequency);
    s->SerializeFloat("bob-amplitude", &m_bobAmplitude);
    s->SerializeFloat("bob-offset", &m_bobOffset);
    s->SerializeFloat("orbit-frequency", &m_orbitFrequency);
    s->SerializeFloat("orbit-amplitude", &m_orbitAmplitude);
    s->SerializeFloat("ShootSpeed", &m_shootSpeed);
}

void QilComponent::SetBob(f32 amplitude, f32 frequency, f32 offset) {
    m_bobAmplitude = amplitude;
    m_bobFrequency = frequency;
    m_bobOffset = offset;
    SendObjectMessageFloat3(GetOwner(), "UpdateBobAction", m_bobAmplitude, m_bobFrequency, m_bobOffset);
}

void QilComponent::SetOrbit(f32 amplitude, f32 frequency) {
    m_orbitAmplitude = amplitude;
    m_orbitFrequency = frequency;
    SendObjectMessageFloat2(GetOwner(), "UpdateOrbitAction", m_orbitAmplitude, m_orbitFrequency);
}

void QilComponent::ExposeProperties(TweakBarGroup* panel) {
    auto* self = this;
    panel->AddCallbackVar(
        "bob-frequency", kTweakFloat,
        [](const void* v, void* c) {
            auto* q = static_cast<QilComponent*>(c);
            q->SetBob(q->m_bobAmplitude, *static_cast<const f32*>(v), q->m_bobOffset);
        },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<QilComponent*>(c)->m_bobFrequency; }, self);
    panel->AddCallbackVar(
        "bob-amplitude", kTweakFloat,
        [](const void* v, void* c) {
            auto* q = static_cast<QilComponent*>(c);
            q->SetBob(*static_cast<const f32*>(v), q->m_bobFrequency, q->m_bobOffset);
        },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<QilComponent*>(c)->m_bobAmplitude; }, self);
    panel->AddCallbackVar(
        "bob-offset", kTweakFloat,
        [](const void* v, void* c) {
            auto* q = static_cast<QilComponent*>(c);
            q->SetBob(q->m_bobAmplitude, q->m_bobFrequency, *static_cast<const f32*>(v));
        },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<QilComponent*>(c)->m_bobOffset; }, self);
    panel->AddCallbackVar(
        "orbit-frequency", kTweakFloat,
        [](const void* v, void* c) {
            auto* q = static_cast<QilComponent*>(c);
            q->SetOrbit(q->m_orbitAmplitude, *static_cast<const f32*>(v));
        },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<QilComponent*>(c)->m_orbitFrequency; }, self);
    panel->AddCallbackVar(
        "orbit-amplitude", kTweakFloat,
        [](const void* v, void* c) {
            auto* q = static_cast<QilComponent*>(c);
            q->SetOrbit(*static_cast<const f32*>(v), q->m_orbitFrequency);
        },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<QilComponent*>(c)->m_orbitAmplitude; }, self);
    panel->AddFloat("ShootSpeed", &m_shootSpeed, false);
}

Variant QilComponent::ToVariant() { return Variant(this); }

// ---- the player --------------------------------------------------------------

void QilComponent::BindPlayerAttackHandlers() {
    ObjectManager* objects = CurrentObjectManager();
    if (!objects || objects->GetObject(m_playerId)) return;
    // The old player's table went with it: only the record goes.
    m_playerListeners.UnlistenAll();
    std::vector<u32> players;
    if (!objects->FindPlayerObjects(players)) {
        m_playerId = 0;
        return;
    }
    m_playerId = players.front();
    Composition* player = objects->GetObject(m_playerId);
    m_playerListeners.Listen(*player, "AimQil", MakeDelegate(this, &QilComponent::OnAimQil));
    m_playerListeners.Listen(*player, "ShootQil", MakeDelegate(this, &QilComponent::OnShootQil));
    m_playerListeners.Listen(*player, "ObjectDead", MakeDelegate(this, &QilComponent::OnPlayerDeath));
    m_playerListeners.Listen(*player, "ArcAttack", MakeDelegate(this, &QilComponent::OnArcAttack));
    m_playerListeners.Listen(*player, "MeteorAttack", MakeDelegate(this, &QilComponent::OnMeteorAttack));
    m_playerListeners.Listen(*player, "ShieldAttack", MakeDelegate(this, &QilComponent::OnShieldAttack));
    m_playerListeners.Listen(*player, "FirestarterAttack", MakeDelegate(this, &QilComponent::OnFirestarterAttack));
    m_playerListeners.Listen(*player, "ReleaseAttack", MakeDelegate(this, &QilComponent::OnReleaseAttack));
}

void QilComponent::OnLostOrbitTarget() {
    BindPlayerAttackHandlers();
    if (m_playerId != 0) SendObjectMessageUInt(GetOwner(), "NewOrbitTarget", m_playerId);
}

void QilComponent::OnLostPlayer() {
    BindPlayerAttackHandlers();
    if (m_playerId != 0) SendObjectMessageUInt(GetOwner(), "FoundPlayer", m_playerId);
}

void QilComponent::SendPlayer(const char* message) const {
    ObjectManager* objects = CurrentObjectManager();
    if (Composition* player = objects ? objects->GetObject(m_playerId) : nullptr) player->Send(message);
}

void QilComponent::OnPlayerDeath() {
    Composition* owner = GetOwner();
    ObjectManager* objects = CurrentObjectManager();
    if (!owner || !objects) return;
    objects->CreateRunTimeObject("qil-death-fx", owner->GetTransform());
    objects->DestroyObject(owner->GetId());
}

void QilComponent::OnInitiateVictory() {
    BrainComponent* brain = GetBrainComponentOf(GetOwner());
    if (!brain) return;
    auto* victory = new VictoryAction(m_playerId);
    victory->SetDuration(kVictoryTime);
    victory->SetOwner(GetOwnerId());
    brain->AddAction(victory);
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", "qil-ascent-sfx");
}

// ---- attacks -----------------------------------------------------------------

void QilComponent::OnStartedAttack() {
    if (Composition* owner = GetOwner()) owner->Send("BeganAttack");
    SendPlayer("DecrementEnergy");
}

void QilComponent::OnFinishedAttack() {
    if (auto* movement = Required<MovementComponent>("MovementComponent", m_reportedMovement)) {
        movement->SetVelocity(Vec3(0.0f, 0.0f, 0.0f));
        movement->SetAcceleration(Vec3(0.0f, 0.0f, 0.0f));
    }
    SendPlayer("CheckEnergy");
}

void QilComponent::OnReleaseAttack() {
    if (Composition* owner = GetOwner()) owner->Send("StopAttack");
}

void QilComponent::OnAimQil(Vec3) {
    if (!m_attacking) SendPlayer("AimPlayer");
}

bool QilComponent::IsPlayerInRange() const {
    ObjectManager* objects = CurrentObjectManager();
    Composition* player = objects ? objects->GetObject(m_playerId) : nullptr;
    TransformComponent* playerTransform = player ? player->GetTransform() : nullptr;
    TransformComponent* transform = GetOwner() ? GetOwner()->GetTransform() : nullptr;
    if (!playerTransform || !transform) return false;
    const Vec3 gap = playerTransform->GetPosition() - transform->GetPosition();
    return !(gap.LengthSquared() > kAttackRangeSquared);
}

bool QilComponent::BeginAttack() {
    if (m_attacking) return false;
    OnStartedAttack();
    if (!IsPlayerInRange()) {
        // The charge is spent; a special attack that is now used up must
        // fall back at once, as after a finished attack.
        SendPlayer("CheckEnergy");
        return false;
    }
    if (!GetBrainComponentOf(GetOwner())) return false;
    m_attacking = true;
    return true;
}

namespace {

// The aim as a unit vector; a zero (or non-finite) aim stays zero.
Vec3 AimDirection(const Vec3& aim) {
    const f32 length = std::sqrt(aim.LengthSquared());
    return length > 0.0f && std::isfinite(length) ? aim / length : Vec3(0.0f, 0.0f, 0.0f);
}

}  // namespace

template <class A>
void QilComponent::StartAttack(A* attack) {
    QilAttackFlag flag;
    flag.Bind(*this);
    attack->SetAttackingFlag(flag);
    attack->SetOwner(GetOwnerId());
    GetBrainComponentOf(GetOwner())->AddAction(attack);
}

void QilComponent::OnShootQil(Vec3 aim) {
    if (!BeginAttack()) return;
    const Vec3 direction = AimDirection(aim);
    auto* shot = new ShootQilAction(direction.x, direction.y, direction.z, m_playerId);
    shot->SetSpeed(m_shootSpeed);
    StartAttack(shot);
}

void QilComponent::OnArcAttack(Vec3 aim) {
    if (!BeginAttack()) return;
    const Vec3 direction = AimDirection(aim);
    StartAttack(new ArcAttackAction(direction.x, direction.y, direction.z, m_playerId));
}

void QilComponent::OnMeteorAttack(Vec3 aim) {
    if (!BeginAttack()) return;
    const Vec3 direction = AimDirection(aim);
    StartAttack(new MeteorAttackAction(direction.x, direction.y, direction.z));
    // The facing tumbles the companion through the flight, until "FinishedAttack".
    if (Composition* owner = GetOwner()) owner->Send("UseIncorrectRotation");
}

void QilComponent::OnShieldAttack(Vec3) {
    if (!BeginAttack()) return;
    StartAttack(new ShieldAttackAction(m_playerId));
}

void QilComponent::OnFirestarterAttack(Vec3 aim) {
    if (!BeginAttack()) return;
    const Vec3 direction = AimDirection(aim);
    auto* fire = new FirestarterAttackAction(direction.x, direction.y, direction.z, m_playerId);
    fire->SetSpeed(m_shootSpeed * kFireSpeedFactor);
    StartAttack(fire);
}

// ---- colours -----------------------------------------------------------------

template <class C>
C* QilComponent::Required(const char* className, ReportOnce& reported) const {
    C* component = GetOwner() ? GetOwner()->GetComponentAs<C>() : nullptr;
    if (!component && reported.First()) {
        LogErrorf("QilComponent: object '%s' has no %s; the companion skips what it would change there\n",
                  GetOwner() ? GetOwner()->GetName().c_str() : "", className);
    }
    return component;
}

void QilComponent::OnPlayerAttackChanged(std::string* name) {
    if (!name) return;
    std::string texture;
    if (PropertyManager* pages = PropertyManager::Instance()) pages->GetPageProperty("qil-colors", *name, texture);
    ApplyLight(*name);
    if (auto* mesh = Required<MeshComponent>("MeshComponent", m_reportedMesh)) mesh->SetDiffuseTexture(texture);
}

void QilComponent::ApplyLight(const std::string& attack) {
    auto* light = Required<LightComponent>("LightComponent", m_reportedLight);
    PropertyManager* pages = PropertyManager::Instance();
    std::string entry;
    if (!light || !pages || !pages->GetPageProperty("qil-light", attack, entry)) return;
    std::istringstream in(entry);
    Vec3 color;
    std::string extra;
    if (!(in >> color.x >> color.y >> color.z) || (in >> extra) || !std::isfinite(color.x) ||
        !std::isfinite(color.y) || !std::isfinite(color.z)) {
        LogErrorf("qil-light: entry '%s' (\"%s\") is not \"<red> <green> <blue>\"; the light keeps its colour\n",
                  attack.c_str(), entry.c_str());
        return;
    }
    light->SetColor(color);
}

}  // namespace Vandle
