#pragma once
// The fox boss arena's keeper ('fxma'). Its object's "TriggerFired" (from a
// trigger listener on the same object) starts the fight: "boss-battle-bgm"
// plays and every emerge tile ('fxti') of the level becomes free to lend.
// "GetFoxEmergePoint"(u32*) lends a free tile drawn at random (Rand() % the
// free count) and "ReleaseFoxEmergePoint"(u32) takes one back, so no two
// foxes emerge from one tile. When "TotalFoxNumber" fox bosses ('fboC')
// have been destroyed it plays "battle-bgm" and sends "InitiateVictory".
//
// Lending is kept sound whatever the callers do: with no free tile the out
// value is left as it was; a second start adds only tiles it does not know
// yet; a release of an id that is not a live tile, or of a tile already
// free, changes nothing.

#include "engine/actions/ActionSupport.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/platform/SubscriptionList.h"

#include <vector>

namespace Vandle {

using Ostrel::s32;
using Ostrel::u32;

class FoxManagerComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("fxma");

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnGetFoxEmergePoint(u32* out);
    void OnReleaseFoxEmergePoint(u32 tile);
    void OnTriggerFired();
    void OnObjectDestroyed(u32 id);

    s32 GetTotalFoxNumber() const { return m_totalFoxNumber; }
    void SetTotalFoxNumber(s32 total) { m_totalFoxNumber = total; }
    const std::vector<u32>& GetFreePoints() const { return m_free; }
    const std::vector<u32>& GetUsedPoints() const { return m_used; }

private:
    s32 m_totalFoxNumber = 0;
    std::vector<u32> m_free;
    std::vector<u32> m_used;
    Ostrel::OwnerListeners m_listeners;
    Ostrel::SubscriptionList m_globals;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::FoxManagerComponent);
