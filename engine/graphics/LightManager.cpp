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
}

void LightManager::SetTarget(u32 id, TransformComponent* transform) {
    m_targetId = id;
    m_targetTransform = transform;
}

void LightManager::OnObjectDestroyed(u32 id) {
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
    u32 n = 0;
    for (const LightEntry& light : m_moving) {
        if (n >= kMaxLights) break;
        WriteSlot(*program, n++, &light);
    }
    for (u32 index : ChooseStaticLights(n)) WriteSlot(*program, n++, &m_static[index]);
    program->SetInt(m_numLights, int(n));
    while (n < kMaxLights) WriteSlot(*program, n++, nullptr);
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
