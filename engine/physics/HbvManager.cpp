#include "engine/physics/HbvManager.h"

#include "engine/components/ComponentSupport.h"
#include "engine/components/DestructibleComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/components/MeshLookup.h"
#include "engine/components/MovementComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <algorithm>

LV_REFLECT_CLASS(Ostrel::HbvManager);

namespace Ostrel {

namespace {

// Whether the object's mesh belongs in the hierarchy.
const MeshComponent* QualifyingMesh(const Composition& object) {
    const auto* mesh = object.GetComponentAs<MeshComponent>();
    if (!mesh || !mesh->IsVisible() || mesh->IsScaffolding() || mesh->IsImportant()) return nullptr;
    if (object.GetComponent(DestructibleComponent::kTypeId)) return nullptr;
    if (object.GetComponent(MovementComponent::kTypeId)) return nullptr;
    return mesh;
}

}  // namespace

HbvManager::~HbvManager() { Shutdown(); }

void HbvManager::Initialize() {
    s_instance = this;
    if (!m_subscriptions.Empty()) return;
    m_subscriptions.Listen("LevelLoadStarted", MakeDelegate(this, &HbvManager::OnLevelLoadStarted));
    m_subscriptions.Listen("ObjectCreated", MakeDelegate(this, &HbvManager::OnObjectCreated));
    m_subscriptions.Listen("LevelLoaded", MakeDelegate(this, &HbvManager::OnLevelLoadFinished));
    m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &HbvManager::OnKeyTriggered));
    m_subscriptions.Listen("RequestBackgroundLoadTargets",
                           MakeDelegate(this, &HbvManager::OnRequestBackgroundLoadTargets));
}

void HbvManager::Shutdown() {
    m_subscriptions.Clear();
    {
        std::lock_guard lock(m_mutex);
        m_tree.Clear();
    }
    m_collecting = false;
    if (s_instance == this) s_instance = nullptr;
}

void HbvManager::OnLevelLoadStarted() {
    std::lock_guard lock(m_mutex);
    m_tree.Reset();
    m_collecting = m_active;
}

void HbvManager::OnObjectCreated(u32 id) {
    if (!m_collecting) return;
    ObjectManager* objects = CurrentObjectManager();
    MeshLookup* meshes = MeshLookup::Current();
    const Composition* object = objects ? objects->GetObject(id) : nullptr;
    const MeshComponent* mesh = object ? QualifyingMesh(*object) : nullptr;
    const TransformComponent* transform = object ? object->GetTransform() : nullptr;
    // An object without a transform or a mesh has no world box.
    if (!mesh || !mesh->GetMesh() || !transform || !meshes) return;

    Vec3 centre, half;
    meshes->GetBounds(*mesh->GetMesh(), &centre, &half);
    Matrix4 world;
    BuildTransformMatrix(world, transform->GetPosition(), transform->GetRotation(), transform->GetScale());
    Vec3 low, high;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 sign((corner & 4) ? 1.0f : -1.0f, (corner & 2) ? 1.0f : -1.0f, (corner & 1) ? 1.0f : -1.0f);
        const Vec3 local = centre + half * sign;
        const Vec4 p = Vec4(local.x, local.y, local.z, 1.0f) * world;
        const Vec3 point(p.x, p.y, p.z);
        for (int a = 0; a < 3; ++a) {
            low[a] = corner == 0 ? point[a] : std::min(low[a], point[a]);
            high[a] = corner == 0 ? point[a] : std::max(high[a], point[a]);
        }
    }
    const Vec4 key = Vec4(centre.x, centre.y, centre.z, 1.0f) * world;

    std::lock_guard lock(m_mutex);
    if (m_collecting) m_tree.AddObject(mesh->GetHandle(), low, high, Vec3(key.x, key.y, key.z));
}

void HbvManager::OnLevelLoadFinished() { m_collecting = false; }

void HbvManager::OnKeyTriggered(int key, bool pressed) {
    if (!pressed) return;
    if (key == kKeyLowerDepth && m_debugDepth > 0) --m_debugDepth;
    if (key == kKeyRaiseDepth) ++m_debugDepth;
}

void HbvManager::OnRequestBackgroundLoadTargets(std::vector<FunctionRef>* targets) {
    if (targets) targets->push_back(MakeDelegate(this, &HbvManager::OnLevelLoaded));
}

void HbvManager::OnLevelLoaded() {
    m_collecting = false;
    std::lock_guard lock(m_mutex);
    m_tree.Build();
}

void HbvManager::Query(std::vector<u32>& out, const Matrix4& view, const Matrix4& projection) {
    out.clear();
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (!lock.owns_lock()) return;  // the loader is building the tree
    m_tree.Query(view * projection, out);
}

std::size_t HbvManager::GetObjectCount() const {
    std::lock_guard lock(m_mutex);
    return m_tree.GetObjectCount();
}

}  // namespace Ostrel
