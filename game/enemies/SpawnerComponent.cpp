#include "game/enemies/SpawnerComponent.h"

#include "engine/base/Log.h"
#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/SpawnAction.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/BrainComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/actions/StartOnBrain.h"
#include "game/common/CountField.h"
#include "game/common/GameSupport.h"
#include "game/enemies/SpawnerSupport.h"

LV_REFLECT_CLASS(Vandle::SpawnerComponent);

namespace Vandle {

using namespace Ostrel;

void SpawnerComponent::Initialize() {
    if (!IsOwnerLive(*this)) return;
    StartOnBrain(*this, "SpawnerComponent", new SpawnAction(m_spawnType, m_spawnTime, m_spawnLimit));
    if (m_destroyable) {
        ListenDeath(true);
        AddDestroyableActions(*this, "SpawnerComponent");
    }
    if (m_spawnType == "yak-obj") {
        if (CoreSystem* core = GameCore()) {
            core->SendMessageString("ShowTutorial", "spawner-appears");
            core->SendMessageString("LockTutorial", "spawner-appears");
        }
    }
}

void SpawnerComponent::Uninitialize() { ListenDeath(false); }

void SpawnerComponent::ListenDeath(bool listen) {
    Composition* owner = GetOwner();
    if (listen == m_listeningDeath || !owner || GetOwnerId() == 0) return;
    if (listen)
        owner->Listen("ObjectDead", MakeDelegate(this, &SpawnerComponent::OnObjectDead));
    else
        owner->Unlisten("ObjectDead", MakeDelegate(this, &SpawnerComponent::OnObjectDead));
    m_listeningDeath = listen;
}

Component* SpawnerComponent::Clone() const {
    auto* copy = NewComponentOf<SpawnerComponent>();
    if (!copy) return nullptr;
    copy->m_spawnType = m_spawnType;
    copy->m_hasSpawnEffect = m_hasSpawnEffect;
    copy->m_spawnEffect = m_spawnEffect;
    copy->m_spawnTime = m_spawnTime;
    copy->m_destroyable = m_destroyable;
    copy->m_spawnLimit = m_spawnLimit;
    return copy;
}

void SpawnerComponent::Serialize(Serializer* s) {
    s->SerializeFloat("SpawnTime", &m_spawnTime);
    // 0 spawns once. A period just above it, a negative one or not a number
    // spawns every frame: the data is told (the reading file's name comes
    // with the line) and the period raised to the shortest the game means.
    if (s->IsReading() && m_spawnTime != 0.0f && !(m_spawnTime >= kMinSpawnTime)) {
        LogErrorf("spawner: SpawnTime %g s is below %g s; taken as %g s\n", double(m_spawnTime),
                  double(kMinSpawnTime), double(kMinSpawnTime));
        m_spawnTime = kMinSpawnTime;
    }
    s->SerializeString("SpawnType", &m_spawnType);
    s->SerializeBool("Destroyable", &m_destroyable);
    SerializeCount(s, "SpawnLimit", &m_spawnLimit, "no limit");
    SerializeOptionalString(s, "SpawnEffect", &m_spawnEffect, &m_hasSpawnEffect);
}

void SpawnerComponent::ExposeProperties(TweakBarGroup* panel) {
    panel->AddCallbackVar(
        "SpawnTime", kTweakFloat,
        [](const void* v, void* c) { static_cast<SpawnerComponent*>(c)->SetSpawnTime(*static_cast<const f32*>(v)); },
        [](void* v, void* c) { *static_cast<f32*>(v) = static_cast<const SpawnerComponent*>(c)->GetSpawnTime(); },
        this);
    panel->AddCallbackVar(
        "SpawnType", kTweakString,
        [](const void* v, void* c) {
            static_cast<SpawnerComponent*>(c)->SetSpawnType(*static_cast<const std::string*>(v));
        },
        [](void* v, void* c) {
            *static_cast<std::string*>(v) = static_cast<const SpawnerComponent*>(c)->GetSpawnType();
        },
        this);
    AddIntField<SpawnerComponent, &SpawnerComponent::GetSpawnLimit, &SpawnerComponent::SetSpawnLimit>(
        panel, "SpawnLimit", this);
    panel->AddCallbackVar(
        "Destroyable", kTweakBool,
        [](const void* v, void* c) { static_cast<SpawnerComponent*>(c)->SetDestroyable(*static_cast<const bool*>(v)); },
        [](void* v, void* c) { *static_cast<bool*>(v) = static_cast<const SpawnerComponent*>(c)->GetDestroyable(); },
        this);
}

Variant SpawnerComponent::ToVariant() { return Variant(this); }

void SpawnerComponent::SetSpawnTime(f32 seconds) {
    m_spawnTime = seconds;
    SendUpdate();
}

void SpawnerComponent::SetSpawnType(const std::string& archetype) {
    m_spawnType = archetype;
    SendUpdate();
}

void SpawnerComponent::SetSpawnLimit(s32 limit) {
    m_spawnLimit = limit;
    SendUpdate();
}

void SpawnerComponent::SetDestroyable(bool destroyable) {
    ListenDeath(destroyable);
    m_destroyable = destroyable;
}

void SpawnerComponent::SendUpdate() {
    if (!GetOwner()) return;
    const std::string archetype = m_spawnType;
    const f32 period = m_spawnTime;
    const int limit = m_spawnLimit;
    SendObjectMessageValues(GetOwner(), "UpdateSpawnAction", archetype, period, limit);
}

void SpawnerComponent::OnObjectDead() { DieAsSpawner(*this); }

}  // namespace Vandle
