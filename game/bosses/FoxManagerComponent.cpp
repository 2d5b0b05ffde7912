#include "game/bosses/FoxManagerComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "game/bosses/FoxBossComponent.h"
#include "game/bosses/FoxTileComponent.h"
#include "game/common/CountField.h"
#include "game/common/GameSupport.h"

#include <algorithm>

LV_REFLECT_CLASS(Vandle::FoxManagerComponent);

namespace Vandle {

using namespace Ostrel;

namespace {

bool Contains(const std::vector<u32>& list, u32 id) { return std::find(list.begin(), list.end(), id) != list.end(); }

// Removes the first element equal to id by moving the last one into its
// place; false when there is none.
bool RemoveUnordered(std::vector<u32>& list, u32 id) {
    auto it = std::find(list.begin(), list.end(), id);
    if (it == list.end()) return false;
    *it = list.back();
    list.pop_back();
    return true;
}

}  // namespace

void FoxManagerComponent::Initialize() {
    CoreSystem* core = GameCore();
    if (!m_globals.Empty() || !core || !IsOwnerLive(*this)) return;
    m_globals.Listen("GetFoxEmergePoint", MakeDelegate(this, &FoxManagerComponent::OnGetFoxEmergePoint));
    m_globals.Listen("ReleaseFoxEmergePoint", MakeDelegate(this, &FoxManagerComponent::OnReleaseFoxEmergePoint));
    m_globals.Listen("ObjectDestroyed", MakeDelegate(this, &FoxManagerComponent::OnObjectDestroyed));
    m_listeners.Listen(*GetOwner(), "TriggerFired", MakeDelegate(this, &FoxManagerComponent::OnTriggerFired));
}

void FoxManagerComponent::Uninitialize() {
    m_globals.Clear();
    m_listeners.UnlistenAll();
}

Component* FoxManagerComponent::Clone() const {
    auto* copy = NewComponentOf<FoxManagerComponent>();
    if (copy) copy->m_totalFoxNumber = m_totalFoxNumber;
    return copy;
}

void FoxManagerComponent::Serialize(Serializer* s) { SerializeCount(s, "TotalFoxNumber", &m_totalFoxNumber, "no fox to count"); }

void FoxManagerComponent::ExposeProperties(TweakBarGroup* panel) {
    AddIntField<FoxManagerComponent, &FoxManagerComponent::GetTotalFoxNumber,
                &FoxManagerComponent::SetTotalFoxNumber>(panel, "TotalFoxNumber", this);
}

Variant FoxManagerComponent::ToVariant() { return Variant(this); }

void FoxManagerComponent::OnTriggerFired() {
    std::vector<u32> tiles;
    if (ObjectManager* objects = CurrentObjectManager())
        objects->FindObjectsWithComponent(FoxTileComponent::kTypeId, tiles);
    for (u32 tile : tiles)
        if (!Contains(m_free, tile) && !Contains(m_used, tile)) m_free.push_back(tile);
    // With no fox to count the fight can never end in the victory: worth a
    // line, since the level then has no way out.
    if (m_totalFoxNumber <= 0)
        LogErrorf("FoxManagerComponent: object %u: TotalFoxNumber is %d; this fight will never end in the victory\n",
                  GetOwnerId(), m_totalFoxNumber);
    if (CoreSystem* core = GameCore()) core->SendMessageString("PlayBackgroundSound", "boss-battle-bgm");
}

void FoxManagerComponent::OnGetFoxEmergePoint(u32* out) {
    if (!out) return;
    if (m_free.empty()) {
        LogErrorf("FoxManagerComponent: object %u: no free emerge tile to lend\n", GetOwnerId());
        return;
    }
    const u32 tile = m_free[u32(Rand()) % u32(m_free.size())];
    *out = tile;
    m_used.push_back(tile);
    RemoveUnordered(m_free, tile);
}

void FoxManagerComponent::OnReleaseFoxEmergePoint(u32 tile) {
    ObjectManager* objects = CurrentObjectManager();
    const Composition* object = objects && tile != 0 ? objects->GetObject(tile) : nullptr;
    if (!object || !object->GetComponent(FoxTileComponent::kTypeId)) return;
    RemoveUnordered(m_used, tile);
    if (!Contains(m_free, tile)) m_free.push_back(tile);
}

void FoxManagerComponent::OnObjectDestroyed(u32 id) {
    ObjectManager* objects = CurrentObjectManager();
    const Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object || !object->GetComponent(FoxBossComponent::kTypeId) || m_totalFoxNumber <= 0) return;
    if (--m_totalFoxNumber > 0) return;
    if (CoreSystem* core = GameCore()) {
        core->SendMessageString("PlayBackgroundSound", "battle-bgm");
        core->Send("InitiateVictory");
    }
}

}  // namespace Vandle
