#pragma once
// A stone gate that closes a room while the room's enemies live ('gatC').
//
// When its object goes live the gate rises out of the ground with a rumble:
// from half its height, half sunk (its collider's height H gives the start
// y - H/2 and scale y/2), to its placed pose over "GrowthTime" seconds, with
// a "rumble-obj" at its place and "menhir-move-sfx". From then on it counts
// every object announced ("ObjectCreated") that carries an enemy, spawner,
// wave spawner, bird, fox or boss component, once per object whatever it
// carries; objects announced before the gate went live are not counted.
// When the last counted object is destroyed it sinks back the same way
// (blocking its brain's default lane, so the removal behind it waits) and
// is removed once more than 0.01 s has passed after the sinking.
//
// A gate that goes live while the world is paused (the level editor holds
// its room in a paused world) stands at its placed pose, so the editor shows
// and saves the pose the designer placed; it rises once the world resumes
// ("GameResumed").
//
// Rooms are instantiated by cloning, which announces each object at once in
// room order, so a gate counts the enemies placed after it in its room;
// objects made with CreateObject are announced at the next object-manager
// update. A gate that never counts anything never opens.
//
// Keys: "GrowthTime" (the only editor field), "Amplitude", "Frequency" and
// "RiseEffect", the last three kept and saved but unused: the rise always
// makes "rumble-obj" and shakes with the rumble action's own settings.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"

#include <string>
#include <vector>

namespace Vandle {

using Ostrel::f32;
using Ostrel::u32;

class GateComponent final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Ostrel::FourCC("gatC");
    static constexpr f32 kRemovalDelay = 0.01f;

    GateComponent();

    void Initialize() override;
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Ostrel::Serializer* serializer) override;
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Ostrel::Variant ToVariant() override;

    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);
    void OnGameResumed();
    // Whether the rise waits for the world to resume.
    bool IsRisePending() const { return !m_resumed.Empty(); }

    f32 GetGrowthTime() const { return m_growthTime; }
    f32 GetAmplitude() const { return m_amplitude; }
    f32 GetFrequency() const { return m_frequency; }
    const std::string& GetRiseEffect() const { return m_riseEffect; }
    const std::vector<u32>& GetLiveIds() const { return m_liveIds; }

private:
    // The sunk pose: half the height, its middle at the placed bottom.
    void SunkPose(Ostrel::Vec3& position, Ostrel::Vec3& scale) const;
    void Rise();
    void Sink();

    f32 m_growthTime = 2.0f;
    f32 m_amplitude = 40.0f;
    f32 m_frequency = 40.0f;
    std::string m_riseEffect = "rumble-obj";
    std::vector<u32> m_watchedTypes;
    std::vector<u32> m_liveIds;
    Ostrel::SubscriptionList m_globals;
    // Holds "GameResumed" while a gate made in a paused world waits to rise.
    Ostrel::SubscriptionList m_resumed;
};

}  // namespace Vandle

LV_DECLARE_META_CLASS(Vandle::GateComponent);
