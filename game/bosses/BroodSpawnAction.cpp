#include "game/bosses/BroodSpawnAction.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/bosses/BroodMotherComponent.h"
#include "game/common/GameSupport.h"
#include "game/common/Heading.h"
#include "game/common/PlayerLookup.h"

LV_REFLECT_CLASS(Vandle::BroodSpawnAction);

namespace Vandle {

using namespace Ostrel;

void BroodSpawnAction::OnStart() {
    Composition* owner = FindActionObject(GetOwner());
    if (!owner) return;
    ActionBase::OnStart();
    m_transform.Bind(owner);
    m_listeners.Listen(*owner, "ResetSpawnTimer", MakeDelegate(this, &BroodSpawnAction::OnResetSpawnTimer));
    m_timer = 0.0f;
    m_firstUpdate = true;
}

void BroodSpawnAction::OnEnd() {
    m_listeners.UnlistenAll();
    ActionBase::OnEnd();
}

int BroodSpawnAction::OnUpdate(f32 dt) {
    TransformComponent* player = FindPlayerTransform(m_targetId);
    TransformComponent* own = m_transform.Get();
    if (!player || !own) return kActionRunning;
    const Vec3 d = player->GetPosition() - own->GetPosition();
    // Standing on the player gives no direction: keep the last facing.
    if (d.x != 0.0f || d.z != 0.0f) {
        Vec3 rotation = own->GetRotation();
        rotation.y = HeadingTowards(d.x, d.z);
        own->SetRotation(rotation);
    }
    if (m_firstUpdate) {
        m_firstUpdate = false;
        Composition* owner = FindActionObject(GetOwner());
        if (auto* mother = owner ? owner->GetComponentAs<BroodMotherComponent>() : nullptr) {
            mother->PlaceFixedSpawners();
            mother->AddWanderingSpawner();
        }
    }
    m_timer += dt;
    if (m_timer + kTimeTolerance >= m_spawnTime) {
        m_timer = 0.0f;
        if (CoreSystem* core = GameCore()) core->SendMessageInt("TriggerActivated", BroodMotherComponent::kWanderingTrigger);
    }
    return kActionRunning;
}

}  // namespace Vandle
