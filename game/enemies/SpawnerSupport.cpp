#include "game/enemies/SpawnerSupport.h"

#include "engine/actions/DamageEnemyAction.h"
#include "engine/actions/StartOnBrain.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/ObjectManager.h"
#include "game/objects/ColorChangeAction.h"
#include "game/common/GameSupport.h"

namespace Vandle {

using namespace Ostrel;

void AddDestroyableActions(const Component& component, const char* className) {
    auto* damage = new DamageEnemyAction;
    damage->SetLane(FourCC("dama"));
    StartOnBrain(component, className, damage);
    auto* flash = ColorChangeAction::HitFlash();
    flash->SetLane(ColorChangeAction::kLane);
    StartOnBrain(component, className, flash);
}

void DieAsSpawner(const Component& component) {
    PlayGameSound("spawner-death-sfx");
    if (ObjectManager* objects = CurrentObjectManager()) objects->DestroyObject(component.GetOwnerId());
}

void SerializeOptionalString(Serializer* s, const char* key, std::string* value, bool* present) {
    if (s->IsReading()) {
        *present = s->SerializeString(key, value);
    } else if (*present) {
        s->SerializeString(key, value);
    }
}

}  // namespace Vandle
