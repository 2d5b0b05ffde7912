#pragma once
// The logic system ('lgcS') steps the brain of every object that had a
// BrainComponent when it was announced ("ObjectCreated"), once per frame, in
// announcement order. It does nothing at all while the engine is paused.
//
// Objects that vanished without an "ObjectDestroyed" reaching it (immediate
// teardown sends none) are pruned at the next unpaused update. A brain may
// cause objects to be created and announced at once (cloning a room
// template) while the brains are being stepped: the walk goes by index and
// re-reads the length, so the new object is stepped in the same pass.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/core/VariantFunction.h"

#include <functional>
#include <string>
#include <vector>

namespace Ostrel {

class Composition;

class LogicSystem : public System {
public:
    static constexpr u32 kId = FourCC("lgcS");
    // Answers the live object of an id, or null. The default asks the
    // engine's ObjectManager; tests may give their own.
    using ObjectLookup = std::function<Composition*(u32 id)>;

    LogicSystem();
    ~LogicSystem() override;

    void Initialize() override;
    void Update(f32 dt) override;
    void Shutdown() override;
    std::string GetName() const override { return "LogicSystem"; }
    u32 GetId() const override { return kId; }

    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);

    const std::vector<u32>& GetObjectIds() const { return m_objects; }
    void SetObjectLookup(ObjectLookup lookup) { m_lookup = std::move(lookup); }

private:
    Composition* FindObject(u32 id) const;
    void PruneVanished();
    void StepBrains(f32 dt);
    void Unsubscribe();

    std::vector<u32> m_objects;
    ObjectLookup m_lookup;
    FunctionRef m_onCreated;
    FunctionRef m_onDestroyed;
    bool m_subscribed = false;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::LogicSystem);
