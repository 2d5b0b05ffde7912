#include "game/objects/GateComponent.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/TimedLifeAction.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/CollisionComponent.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "game/common/GameSupport.h"
#include "game/common/ObjectCreation.h"
#include "game/objects/RumbleSpawnAction.h"

#include <algorithm>

LV_REFLECT_CLASS(Vandle::GateComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kRequester[] = "GateComponent";
const char kRumbleArchetype[] = "rumble-obj";
const char kMoveSound[] = "menhir-move-sfx";

}  // namespace

// Enemies, spawners, wave spawners, birds, foxes and the three bosses, in
// the order an object is tested.
GateComponent::GateComponent()
    : m_watchedTypes{FourCC("emyC"), FourCC("spwC"), FourCC("wspC"), FourCC("birC"),
                     FourCC("foxC"), FourCC("bboC"), FourCC("yboC"), FourCC("fboC")} {}

void GateComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    m_globals.Listen("ObjectCreated", MakeDelegate(this, &GateComponent::OnObjectCreated));
    m_globals.Listen("ObjectDestroyed", MakeDelegate(this, &GateComponent::OnObjectDestroyed));
    const Engine* engine = Engine::Instance();
    if (engine && engine->IsPaused()) {
        m_resumed.Listen("GameResumed", MakeDelegate(this, &GateComponent::OnGameResumed));
        return;
    }
    Rise();
}

void GateComponent::OnGameResumed() {
    if (m_resumed.Empty()) return;
    m_resumed.Clear();
    Rise();
}

void GateComponent::Uninitialize() {
    m_globals.Clear();
    m_resumed.Clear();
}

// Every tuning field is copied: a gate made from an archetype rises over the
// archetype's "GrowthTime", not the constructor's.
Component* GateComponent::Clone() const {
    auto* copy = NewComponentOf<GateComponent>();
    if (!copy) return nullptr;
    copy->m_growthTime = m_growthTime;
    copy->m_amplitude = m_amplitude;
    copy->m_frequency = m_frequency;
    copy->m_riseEffect = m_riseEffect;
    copy->m_watchedTypes = m_watchedTypes;
    return copy;
}

void GateComponent::Serialize(Serializer* s) {
    s->SerializeFloat("GrowthTime", &m_growthTime);
    s->SerializeFloat("Amplitude", &m_amplitude);
    s->SerializeFloat("Frequency", &m_frequency);
    s->SerializeString("RiseEffect", &m_riseEffect);
}

void GateComponent::ExposeProperties(TweakBarGroup* panel) { panel->AddFloat("GrowthTime", &m_growthTime, false); }

Variant GateComponent::ToVariant() { return Variant(this); }

void GateComponent::SunkPose(Vec3& position, Vec3& scale) const {
    const TransformComponent* transform = GetTransform();
    position = transform ? transform->GetPosition() : Vec3();
    scale = transform ? transform->GetScale() : Vec3(1.0f, 1.0f, 1.0f);
    const auto* collider = GetSiblingAs<CollisionComponent>();
    const f32 height = collider ? collider->GetVolume().size.y : 0.0f;
    position.y -= height / 2.0f;
    scale.y /= 2.0f;
}

void GateComponent::Rise() {
    const TransformComponent* transform = GetTransform();
    Vec3 sunkPosition, sunkScale;
    SunkPose(sunkPosition, sunkScale);
    auto* rise = new RumbleSpawnAction;
    rise->SetStartPosition(sunkPosition);
    rise->SetEndPosition(transform ? transform->GetPosition() : Vec3());
    rise->SetStartScale(sunkScale);
    rise->SetEndScale(transform ? transform->GetScale() : Vec3(1.0f, 1.0f, 1.0f));
    rise->SetRising(true);
    rise->SetDuration(m_growthTime);
    const u32 self = GetOwnerId();
    if (!AddToBrain(self, rise))
        LogErrorf("%s: object %u has no BrainComponent; the gate stands without rising\n", kRequester, self);
    CreateGameObject(kRumbleArchetype, GetTransform(), kRequester);
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", kMoveSound);
}

void GateComponent::OnObjectCreated(u32 id) {
    ObjectManager* objects = CurrentObjectManager();
    const Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return;
    const bool watched = std::any_of(m_watchedTypes.begin(), m_watchedTypes.end(),
                                     [object](u32 type) { return object->GetComponent(type) != nullptr; });
    if (watched) m_liveIds.push_back(id);
}

void GateComponent::OnObjectDestroyed(u32 id) {
    const std::size_t counted = m_liveIds.size();
    if (auto it = std::find(m_liveIds.begin(), m_liveIds.end(), id); it != m_liveIds.end()) m_liveIds.erase(it);
    if (m_liveIds.empty() && counted != 0) Sink();
}

// The removal goes on the brain first and the sinking after it: the newest
// action runs first and, blocking the default lane, holds the removal back
// until it has placed the sunk pose.
void GateComponent::Sink() {
    const u32 self = GetOwnerId();
    const TransformComponent* transform = GetTransform();
    Vec3 sunkPosition, sunkScale;
    SunkPose(sunkPosition, sunkScale);
    auto* sink = new RumbleSpawnAction;
    sink->SetEndPosition(sunkPosition);
    sink->SetRising(false);
    sink->SetStartPosition(transform ? transform->GetPosition() : Vec3());
    sink->SetStartScale(transform ? transform->GetScale() : Vec3(1.0f, 1.0f, 1.0f));
    sink->SetEndScale(sunkScale);
    sink->SetDuration(m_growthTime);
    sink->SetBlocking(true);
    GiveTimedLife(self, kRemovalDelay, kRequester);
    AddToBrain(self, sink);
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlaySound", kMoveSound);
}

}  // namespace Vandle
