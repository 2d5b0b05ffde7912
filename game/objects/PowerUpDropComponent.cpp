#include "game/objects/PowerUpDropComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/io/PropertyManager.h"
#include "game/common/GameSupport.h"
#include "game/common/LogOnce.h"
#include "game/common/ObjectCreation.h"

#include <vector>

LV_REFLECT_CLASS(Vandle::PowerUpDropComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

const char kDropMap[] = "powerup-drop-map";
const char kTutorial[] = "power-up-appears";
const char kRequester[] = "PowerUpDropComponent";

}  // namespace

void PowerUpDropComponent::Initialize() {
    if (!m_listeners.IsEmpty() || !IsOwnerLive(*this)) return;
    m_listeners.Listen(*GetOwner(), "ObjectDead", MakeDelegate(this, &PowerUpDropComponent::OnObjectDead));
}

void PowerUpDropComponent::Uninitialize() {
    m_listeners.UnlistenAll();
}

Component* PowerUpDropComponent::Clone() const {
    auto* copy = NewComponentOf<PowerUpDropComponent>();
    if (!copy) return nullptr;
    copy->m_dropChance = m_dropChance;
    copy->m_positionModifier = m_positionModifier;
    return copy;
}

void PowerUpDropComponent::Serialize(Serializer* s) {
    s->SerializeInt("DropChance", &m_dropChance);
    s->SerializeFloat("PositionModifierX", &m_positionModifier.x);
    s->SerializeFloat("PositionModifierY", &m_positionModifier.y);
    s->SerializeFloat("PositionModifierZ", &m_positionModifier.z);
}

void PowerUpDropComponent::ExposeProperties(TweakBarGroup* panel) {
    AddIntField<PowerUpDropComponent, &PowerUpDropComponent::GetDropChance, &PowerUpDropComponent::SetDropChance>(
        panel, "DropChance", this);
    panel->AddFloat("PositionModifierX", &m_positionModifier.x, false);
    panel->AddFloat("PositionModifierY", &m_positionModifier.y, false);
    panel->AddFloat("PositionModifierZ", &m_positionModifier.z, false);
}

Variant PowerUpDropComponent::ToVariant() { return Variant(this); }

void PowerUpDropComponent::OnObjectDead() {
    if (Rand() % 100 >= m_dropChance) return;
    const std::string archetype = DrawPowerUp();
    if (!archetype.empty()) SpawnPowerUp(archetype);
}

std::string PowerUpDropComponent::DrawPowerUp() const {
    PropertyManager* properties = PropertyManager::Instance();
    if (!properties || !GetOwner()) return {};
    const std::string& name = GetOwner()->GetName();
    std::string pageName;
    // A missing map or entry is logged by the property manager.
    if (!properties->GetPageProperty(kDropMap, name, pageName)) return {};
    // Selecting an unknown page keeps the page selected before.
    properties->SelectPage(pageName);
    if (properties->GetSelectedPageName() != pageName) {
        LogSourceScope source(properties->GetPageSource(kDropMap));  // the map names the missing page
        LogErrorf("%s: '%s' drops from page '%s', which is not loaded; nothing dropped\n", kRequester, name.c_str(),
                  pageName.c_str());
        return {};
    }
    LogSourceScope source(properties->GetPageSource(pageName));  // its faults name its file
    std::vector<std::string> names;
    properties->GetPropertyNames(names);
    std::vector<long long> weights;
    long long total = 0;
    for (const std::string& entry : names) {
        int weight = 0;
        properties->GetPropertyInt(entry, weight);
        std::string text;
        properties->GetProperty(entry, text);
        if (weight == 0 && text.find_first_of("0123456789") == std::string::npos &&
            FirstReport("drop page " + pageName + ": " + entry)) {
            LogErrorf("%s: drop page '%s': weight '%s' of '%s' is no number; counted as 0\n", kRequester,
                      pageName.c_str(), text.c_str(), entry.c_str());
        }
        if (weight < 0) {
            LogErrorf("%s: drop page '%s': weight %d of '%s' is below 0; counted as 0\n", kRequester,
                      pageName.c_str(), weight, entry.c_str());
            weight = 0;
        }
        weights.push_back(weight);
        total += weight;
    }
    if (total <= 0) {
        LogErrorf("%s: drop page '%s' of '%s' has no weights above 0; nothing dropped\n", kRequester,
                  pageName.c_str(), name.c_str());
        return {};
    }
    long long r = Rand() % total;
    for (std::size_t i = 0; i < names.size(); ++i) {
        r -= weights[i];
        if (r < 0) return names[i];
    }
    return {};
}

void PowerUpDropComponent::SpawnPowerUp(const std::string& archetype) {
    const TransformComponent* own = GetTransform();
    const Vec3 at = own ? own->GetPosition() + m_positionModifier : Vec3();
    Composition* powerUp = CreateGameObject(archetype, nullptr, kRequester);
    if (!powerUp) return;
    // Cleared whether or not this object has a place: a dropped power-up is
    // never written into a room.
    powerUp->SetSaveFlag(false);
    // A dying object without a place leaves the power-up at its archetype's
    // position and shows no tutorial for it.
    if (!own) return;
    if (TransformComponent* transform = powerUp->GetTransform()) transform->SetPosition(at);
    if (CoreSystem* core = GameCore()) {
        core->SendMessageString("ShowTutorial", kTutorial);
        core->SendMessageString("LockTutorial", kTutorial);
    }
}

}  // namespace Vandle
