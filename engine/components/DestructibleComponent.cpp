#include "engine/components/DestructibleComponent.h"

#include "engine/components/ComponentSupport.h"
#include "engine/components/ObjectMessages.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"

LV_REFLECT_CLASS(Ostrel::DestructibleComponent);

namespace Ostrel {

void DestructibleComponent::Initialize() {
    if (!IsOwnerLive(*this)) return;
    GetOwner()->Listen("DamageEnemy", MakeDelegate(this, &DestructibleComponent::OnDamageEnemy));
    GetOwner()->Listen("ObjectDead", MakeDelegate(this, &DestructibleComponent::OnObjectDead));
}

void DestructibleComponent::Uninitialize() {
    if (GetHandle() == 0 || !GetOwner()) return;
    // Equal delegates (same target and method) remove the ones added above.
    GetOwner()->Unlisten("DamageEnemy", MakeDelegate(this, &DestructibleComponent::OnDamageEnemy));
    GetOwner()->Unlisten("ObjectDead", MakeDelegate(this, &DestructibleComponent::OnObjectDead));
}

Component* DestructibleComponent::Clone() const { return NewComponentOf<DestructibleComponent>(); }

Variant DestructibleComponent::ToVariant() { return Variant(this); }

void DestructibleComponent::OnDamageEnemy(float damage, float /*coolDown: every hit counts*/) {
    SendObjectMessageFloat(GetOwner(), "TakeDamage", damage);
}

void DestructibleComponent::OnObjectDead() {
    ObjectManager* objects = CurrentObjectManager();
    if (objects && GetOwner()) objects->DestroyObject(GetOwner()->GetId());
}

}  // namespace Ostrel
