#include "game/common/ObjectCreation.h"
#include "game/objects/RumbleEffectComponent.h"

#include "engine/actions/ActionSupport.h"
#include "engine/actions/OrbitAction.h"
#include "engine/base/Log.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Variant.h"
#include "engine/graphics/particles/ParticleEmitterComponent.h"

LV_REFLECT_CLASS(Vandle::RumbleEffectComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kAnchorArchetype[] = "anchor-obj";
const char kRequester[] = "RumbleEffectComponent";

}  // namespace

void RumbleEffectComponent::Initialize() {
    if (!IsOwnerLive(*this)) return;
    const u32 self = GetOwnerId();
    MakeEffect();
    GiveTimedLife(self, kOwnLifeTime, kRequester);
}

bool RumbleEffectComponent::MakeEffect() {
    const u32 self = GetOwnerId();
    Composition* anchor = CreateGameObject(kAnchorArchetype, GetTransform(), kRequester);
    if (!anchor) {
        LogErrorf("%s: object %u: no anchor, so no '%s' is made\n", kRequester, self, m_effectName.c_str());
        return false;
    }
    const u32 anchorId = anchor->GetId();
    if (TransformComponent* at = anchor->GetTransform()) {
        Vec3 position = at->GetPosition();
        position.y = kAnchorHeight;
        at->SetPosition(position);
    }
    Composition* effect = CreateGameObject(m_effectName, anchor->GetTransform(), kRequester);
    if (!effect) {
        LogErrorf("%s: object %u: no effect, so the anchor %u is removed again\n", kRequester, self, anchorId);
        if (ObjectManager* objects = ActionObjects()) objects->DestroyObject(anchorId);
        return false;
    }
    const u32 effectId = effect->GetId();
    f32 life = kEffectLifeExtra;
    if (const auto* emitter = effect->GetComponentAs<ParticleEmitterComponent>())
        life += emitter->GetParameters().effectLifeTime + emitter->GetParameters().particleLifeTime;

    auto* orbit = new OrbitAction;
    orbit->SetTarget(anchorId);
    orbit->SetRadius(m_orbitRadius);
    orbit->SetSpeed(m_orbitSpeed);
    AddToBrain(effectId, orbit);
    GiveTimedLife(effectId, life, kRequester);
    GiveTimedLife(anchorId, life, kRequester);
    return true;
}

Component* RumbleEffectComponent::Clone() const { return NewComponentOf<RumbleEffectComponent>(); }

Variant RumbleEffectComponent::ToVariant() { return Variant(this); }

}  // namespace Vandle
