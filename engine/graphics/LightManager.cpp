#include "engine/graphics/LightManager.h"

#include "engine/components/LightComponent.h"
#include "engine/components/LightTargetComponent.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Vec4.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/base/Log.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace Ostrel {

namespace {

ObjectManager* LiveObjectManager() {
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

}  // namespace

LightManager::LightManager() { s_instance = this; }

LightManager::~LightManager() {
    if (s_instance == this) s_instance = nullptr;
}

void LightManager::Initialize() {
    m_subscriptions.Listen("ObjectCreated", MakeDelegate(this, &LightManager::OnObjectCreated));
    m_subscriptions.Listen("ObjectDestroyed", MakeDelegate(this, &LightManager::OnObjectDestroyed));
    m_slots.assign(kMaxLights, {});
    for (u32 i = 0; i < kMaxLights; ++i) {
        const std::string prefix = "lights[" + std::to_string(i) + "]";
        m_slots[i].color = InternName(prefix + ".color");
        m_slots[i].attenuation = InternName(prefix + ".attenuation");
        m_slots[i].pos = InternName(prefix + ".pos");
    }
    m_numLights = InternName("num_lights");
}

void LightManager::Shutdown() { m_subscriptions.Clear(); }

void LightManager::OnObjectCreated(u32 id) {
    ObjectManager* objects = LiveObjectManager();
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return;
    auto* transform = object->GetComponentAs<TransformComponent>();
    if (auto* light = object->GetComponentAs<LightComponent>()) {
        if (transform) {
            AddLight(id, transform, light, object->GetComponentAs<MovementComponent>() != nullptr);
        } else if (m_warnedNoTransform.insert(id).second) {
            LogMessagef("light object %u has no TransformComponent; it gives no light\n", id);
        }
    }
    if (object->GetComponentAs<LightTargetComponent>()) SetTarget(id, transform);
}

void LightManager::AddLight(u32 id, TransformComponent* transform, LightComponent* light, bool moving) {
    if (!transform || !light) return;
    (moving ? m_moving : m_static).push_back({id, transform, light});
    m_sorted = false;
    m_written.clear();
}

void LightManager::SetTarget(u32 id, TransformComponent* transform) {
    m_targetId = id;
    m_targetTransform = transform;
}

void LightManager::OnObjectDestroyed(u32 id) {
    m_written.clear();
    for (std::vector<LightEntry>* list : {&m_static, &m_moving}) {
        auto it = std::find_if(list->begin(), list->end(), [id](const LightEntry& e) { return e.id == id; });
        if (it != list->end()) list->erase(it);
    }
    m_warnedNoTransform.erase(id);
    if (id == m_targetId) SetTarget(0, nullptr);
}

std::vector<u32> LightManager::ChooseStaticLights(u32 used) {
    std::vector<u32> chosen;
    const u32 s = u32(m_static.size());
    const u32 m = u32(m_moving.size());
    const u32 left = used < kMaxLights ? kMaxLights - used : 0;
    if (s + m > kMaxLights && m_targetTransform) {
        if (!m_sorted) {
            std::sort(m_static.begin(), m_static.end(), [](const LightEntry& a, const LightEntry& b) {
                return a.transform->GetPosition().x < b.transform->GetPosition().x;
            });
            m_sorted = true;
        }
        const float targetX = m_targetTransform->GetPosition().x;
        u32 k = 0;
        while (k < s && m_static[k].transform->GetPosition().x < targetX) ++k;
        const u32 half = kMaxLights / 2;
        // k - 8 + used never goes below 0 here (k >= 8); s - left neither,
        // as s + used > 16 whenever this path runs with slots left.
        u32 start = 0;
        if (k >= half) start = std::min(k - half + used, s >= left ? s - left : 0);
        for (u32 i = start; i < s && chosen.size() < left; ++i) chosen.push_back(i);
    } else {
        for (u32 i = 0; i < s && chosen.size() < left; ++i) chosen.push_back(i);
    }
    return chosen;
}

void LightManager::UploadLights(ShaderProgram* program) {
    if (!program || m_slots.size() < kMaxLights) return;
    // Lights may have moved or changed since the per-mesh uploads.
    m_written.clear();
    u32 n = 0;
    for (const LightEntry& light : m_moving) {
        if (n >= kMaxLights) break;
        WriteSlot(*program, n++, &light);
    }
    for (u32 index : ChooseStaticLights(n)) WriteSlot(*program, n++, &m_static[index]);
    program->SetInt(m_numLights, int(n));
    while (n < kMaxLights) WriteSlot(*program, n++, nullptr);
}

float LightManager::Reach(const LightComponent& light) {
    const Vec3& c = light.GetColor();
    const Vec3& a = light.GetAttenuation();
    const float strongest = std::max({c.x, c.y, c.z});
    if (!(strongest > 0.0f)) return -1.0f;
    // Solve a.z d^2 + a.y d + a.x = strongest / cutoff for the distance d.
    const float k = strongest / kReachCutoff;
    if (a.z > 0.0f) {
        const float disc = a.y * a.y - 4.0f * a.z * (a.x - k);
        if (disc < 0.0f) return -1.0f;
        return (-a.y + std::sqrt(disc)) / (2.0f * a.z);
    }
    if (a.y > 0.0f) return (k - a.x) / a.y;
    if (a.x > 0.0f) return a.x <= k ? std::numeric_limits<float>::infinity() : -1.0f;
    return -1.0f;
}

const std::vector<const LightManager::LightEntry*>& LightManager::ChooseLightsFor(const Vec3& centre, float radius) {
    m_chosen.clear();
    m_candidates.clear();
    const auto reaches = [&](const LightEntry& light, float& distance) {
        const Vec3 offset = light.transform->GetPosition() - centre;
        distance = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z) - radius;
        const float reach = Reach(*light.light);
        return reach >= 0.0f && distance <= reach;
    };
    float distance = 0.0f;
    for (const LightEntry& light : m_moving) {
        if (m_chosen.size() < kMaxLights && reaches(light, distance)) m_chosen.push_back(&light);
    }
    for (const LightEntry& light : m_static) {
        if (reaches(light, distance)) m_candidates.push_back({distance, &light});
    }
    const std::size_t room = kMaxLights - m_chosen.size();
    if (m_candidates.size() > room) {
        // Too many: the nearest ones, in list order among themselves.
        std::vector<Candidate> nearest = m_candidates;
        std::nth_element(nearest.begin(), nearest.begin() + std::ptrdiff_t(room), nearest.end(),
                         [](const Candidate& x, const Candidate& y) { return x.distance < y.distance; });
        const float limit = room > 0 ? std::max_element(nearest.begin(), nearest.begin() + std::ptrdiff_t(room),
                                                        [](const Candidate& x, const Candidate& y) {
                                                            return x.distance < y.distance;
                                                        })->distance
                                     : -std::numeric_limits<float>::infinity();
        for (const Candidate& c : m_candidates) {
            if (m_chosen.size() < kMaxLights && c.distance <= limit) m_chosen.push_back(c.light);
        }
        return m_chosen;
    }
    for (const Candidate& c : m_candidates) m_chosen.push_back(c.light);
    return m_chosen;
}

void LightManager::UploadLightsFor(ShaderProgram* program, const Vec3& centre, float radius) {
    if (!program || m_slots.size() < kMaxLights) return;
    const std::vector<const LightEntry*>& chosen = ChooseLightsFor(centre, radius);
    auto written =
        std::find_if(m_written.begin(), m_written.end(), [program](const auto& w) { return w.first == program; });
    if (written == m_written.end()) {
        written = m_written.insert(m_written.end(), {program, {}});
    } else if (written->second == chosen) {
        return;
    }
    written->second = chosen;
    u32 n = 0;
    for (const LightEntry* light : chosen) WriteSlot(*program, n++, light);
    program->SetInt(m_numLights, int(n));
}

void LightManager::WriteSlot(ShaderProgram& program, u32 slot, const LightEntry* light) {
    const LightHandles& h = m_slots[slot];
    if (!light) {
        const Vec4 zero(0, 0, 0, 0);
        const Vec3 zero3(0, 0, 0);
        program.SetVec4(h.color, &zero);
        program.SetVec3(h.attenuation, &zero3);
        program.SetVec4(h.pos, &zero);
        return;
    }
    const Vec3& c = light->light->GetColor();
    const Vec3& p = light->transform->GetPosition();
    const Vec4 color(c.x, c.y, c.z, 1.0f);
    const Vec4 pos(p.x, p.y, p.z, 1.0f);
    program.SetVec4(h.color, &color);
    program.SetVec3(h.attenuation, &light->light->GetAttenuation());
    program.SetVec4(h.pos, &pos);
}

}  // namespace Ostrel
