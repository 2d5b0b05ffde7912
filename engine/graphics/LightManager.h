#pragma once
// The level's point lights and their upload into a lit program's sixteen
// light slots ("lights[i].color", ".attenuation", ".pos").
//
// A light is an object with a light component ('liht'). Objects that can
// move (a movement component, 'move') are moving lights and always take the
// first slots; the others are static. With more lights than slots and a
// light target (the last created object with a 'trgt' component, in practice
// the player), the static lights are sorted along x once after each change
// and a window of the static lights nearest the target along x fills the
// remaining slots. Slots left over get colour, attenuation and position all
// zero: the lit shaders skip a slot whose position has w = 0. "num_lights"
// holds the number of slots in use, so the shaders stop there: a software
// rasteriser pays for every slot it loops over, used or not.
//
// Values per slot: colour (r, g, b, 1), attenuation (x, y, z) as the light
// component gives them, position (x, y, z, 1) of the object's transform.
//
// Per object: UploadLightsFor writes only the lights whose reach touches
// the object's bounding sphere (moving lights first, then static ones; when
// more than sixteen reach it, the nearest), so the lit pixel shader loops
// over the lights that can change its pixels and no others. A light's reach
// is the distance at which its strongest colour channel over its attenuation
// falls to kReachCutoff: beyond it the light adds less than one step of an
// 8-bit colour channel.
//
// A light object without a transform is not entered (logged once per
// object id). Main thread only: object messages and the frame's uploads.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/graphics/AtomManager.h"
#include "engine/platform/SubscriptionList.h"

#include <set>
#include <vector>

namespace Ostrel {

class LightComponent;
class ShaderProgram;
class TransformComponent;

class LightManager {
public:
    static constexpr u32 kMaxLights = 16;
    static constexpr float kReachCutoff = 1.0f / 255.0f;
    struct LightEntry {
        u32 id = 0;
        TransformComponent* transform = nullptr;
        LightComponent* light = nullptr;
    };
    struct LightHandles {
        ParamHandle color = nullptr;
        ParamHandle attenuation = nullptr;
        ParamHandle pos = nullptr;
    };

    // Registers the new manager as the instance.
    LightManager();
    ~LightManager();
    LightManager(const LightManager&) = delete;
    LightManager& operator=(const LightManager&) = delete;
    static LightManager* GetInstance() { return s_instance; }

    // Subscribes "ObjectCreated" and "ObjectDestroyed" and interns the 48
    // slot names and "num_lights".
    void Initialize();
    void Shutdown();

    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);
    // What OnObjectCreated does with an object's parts (tests use them too).
    void AddLight(u32 id, TransformComponent* transform, LightComponent* light, bool moving);
    void SetTarget(u32 id, TransformComponent* transform);

    // Writes all sixteen slots of program and "num_lights" (Initialize first).
    void UploadLights(ShaderProgram* program);
    // Writes the lights that reach the sphere (centre, radius) into the
    // first slots of program and their count into "num_lights"; the other
    // slots keep what they held (the shader stops at "num_lights"). When the
    // program already holds the same lights since the last UploadLights
    // (which every pass of a frame starts with), nothing is written.
    void UploadLightsFor(ShaderProgram* program, const Vec3& centre, float radius);
    // The lights UploadLightsFor writes, in slot order.
    const std::vector<const LightEntry*>& ChooseLightsFor(const Vec3& centre, float radius);
    // How far a light's colour over its attenuation stays at or above
    // kReachCutoff: infinity for a light without falloff, a negative value
    // for one that stays below the cutoff everywhere (or whose attenuation
    // is never positive, which the shader skips).
    static float Reach(const LightComponent& light);
    // The static lights in slot order of the last upload's window (tests):
    // which lights UploadLights writes, as indices into the static list.
    std::vector<u32> ChooseStaticLights(u32 slotsUsed);

    const std::vector<LightEntry>& GetMovingLights() const { return m_moving; }
    const std::vector<LightEntry>& GetStaticLights() const { return m_static; }
    const std::vector<LightHandles>& GetSlotHandles() const { return m_slots; }
    u32 GetTargetId() const { return m_targetId; }
    bool IsSorted() const { return m_sorted; }

private:
    void WriteSlot(ShaderProgram& program, u32 slot, const LightEntry* light);

    u32 m_targetId = 0;
    TransformComponent* m_targetTransform = nullptr;
    bool m_sorted = false;
    std::vector<LightEntry> m_moving;
    std::vector<LightEntry> m_static;
    std::vector<LightHandles> m_slots;
    ParamHandle m_numLights = nullptr;
    std::set<u32> m_warnedNoTransform;
    std::vector<const LightEntry*> m_chosen;
    // What UploadLightsFor last wrote into each program since UploadLights.
    std::vector<std::pair<ShaderProgram*, std::vector<const LightEntry*>>> m_written;
    struct Candidate {
        float distance = 0.0f;
        const LightEntry* light = nullptr;
    };
    std::vector<Candidate> m_candidates;
    SubscriptionList m_subscriptions;

    static inline LightManager* s_instance = nullptr;
};

}  // namespace Ostrel
