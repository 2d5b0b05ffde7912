// Filing of objects into the graphics system's render lists, from the object
// manager's "ObjectCreated" and "ObjectDestroyed" announcements, and the two
// drawing orders of the sorted lists.

#include "engine/graphics/Graphics.h"

#include "engine/components/MeshComponent.h"
#include "engine/components/SkyboxComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/physics/HbvManager.h"

#include <algorithm>
#include <functional>

namespace Ostrel {

namespace {

constexpr u32 kCameraTypeId = FourCC("CamC");
constexpr u32 kMovementTypeId = FourCC("move");
constexpr u32 kDestructibleTypeId = FourCC("desC");
constexpr u32 kFidgetTypeId = FourCC("fdgC");
constexpr u32 kShadowTypeId = FourCC("Shad");
constexpr u32 kTransparentPlaneTypeId = FourCC("trpc");
constexpr u32 kEmitterTypeId = FourCC("Emit");
constexpr u32 kBillboardTypeId = FourCC("SBil");
constexpr u32 kAimerTypeId = FourCC("aimc");

// Erases the first element equal to id, keeping the order of the rest.
void RemoveFirst(std::vector<u32>& list, u32 id) {
    auto it = std::find(list.begin(), list.end(), id);
    if (it != list.end()) list.erase(it);
}

ObjectManager* EngineObjects() {
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

Composition* LookUp(u32 id) {
    ObjectManager* objects = EngineObjects();
    return objects ? objects->GetObject(id) : nullptr;
}

// Pointers compared through std::less, the total order over addresses.
template <class T>
int CompareAddresses(const T* a, const T* b) {
    if (std::less<const T*>()(a, b)) return -1;
    return std::less<const T*>()(b, a) ? 1 : 0;
}

}  // namespace

ObjectManager* Graphics::Objects() const { return m_objectManager ? m_objectManager : EngineObjects(); }

bool Graphics::QualifiesForHierarchy(const Composition& object, const MeshComponent& mesh) const {
    HbvManager* hbv = HbvManager::GetInstance();
    return m_useHbv && hbv && hbv->IsCollecting() && !object.GetComponent(kMovementTypeId) &&
           !object.GetComponent(kDestructibleTypeId) && !mesh.IsImportant();
}

void Graphics::AddToDrawList(u32 id) { m_drawList.push_back(id); }

void Graphics::OnObjectCreated(u32 id) {
    ObjectManager* objects = Objects();
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return;
    if (auto* mesh = object->GetComponentAs<MeshComponent>()) {
        // A qualifying static mesh is left to the volume hierarchy, which
        // files it from the same announcement.
        if (!QualifiesForHierarchy(*object, *mesh)) AddToDrawList(id);
        m_drawListSorted = false;
    }
    if (object->GetComponent(kTransparentPlaneTypeId)) m_transparentPlaneList.push_back(id);
    if (object->GetComponent(kShadowTypeId)) m_shadowList.push_back(id);
    if (object->GetComponent(kEmitterTypeId)) m_emitterList.push_back(id);
    if (object->GetComponent(kBillboardTypeId)) {
        m_billboardList.push_back(id);
        m_billboardListSorted = false;
    }
    if (object->GetComponent(kCameraTypeId) && m_cameraId == 0) m_cameraId = id;
    if (object->GetComponent(kAimerTypeId)) m_aimerList.push_back(id);
    if (auto* sky = object->GetComponentAs<SkyboxComponent>()) {
        std::string name = sky->GetTextureName();
        OnSetSkybox(&name);
        if (auto* messages = object->GetComponentAs<MessageComponent>()) {
            messages->Listen("SetSkybox", MakeDelegate(this, &Graphics::OnSetSkybox));
        }
    }
}

void Graphics::OnObjectDestroyed(u32 id) {
    ObjectManager* objects = Objects();
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (m_cameraId == id) m_cameraId = 0;
    if (!object) return;
    if (object->GetComponent(MeshComponent::kTypeId)) RemoveFirst(m_drawList, id);
    if (object->GetComponent(kShadowTypeId)) RemoveFirst(m_shadowList, id);
    if (object->GetComponent(kTransparentPlaneTypeId)) RemoveFirst(m_transparentPlaneList, id);
    if (object->GetComponent(kEmitterTypeId)) RemoveFirst(m_emitterList, id);
    if (object->GetComponent(kBillboardTypeId)) RemoveFirst(m_billboardList, id);
    if (object->GetComponent(kAimerTypeId)) RemoveFirst(m_aimerList, id);
}

bool Graphics::CompareRenderOrderByMesh(u32 a, u32 b) {
    Composition* objectA = LookUp(a);
    Composition* objectB = LookUp(b);
    // An id whose object is gone sorts last, so the order stays strict.
    if (!objectA || !objectB) return objectA && !objectB;
    const MeshComponent* meshA = objectA->GetComponentAs<MeshComponent>();
    const MeshComponent* meshB = objectB->GetComponentAs<MeshComponent>();
    if (!meshA || !meshB) return meshA && !meshB;
    if (meshA->IsImportant() != meshB->IsImportant()) return meshA->IsImportant();
    const bool animatedA = objectA->GetComponent(kFidgetTypeId) != nullptr;
    const bool animatedB = objectB->GetComponent(kFidgetTypeId) != nullptr;
    if (animatedA != animatedB) return animatedA;
    if (int order = CompareAddresses(meshA->GetMesh(), meshB->GetMesh())) return order < 0;
    return CompareAddresses(meshA->GetTexture(), meshB->GetTexture()) < 0;
}

bool Graphics::CompareRenderOrderByDepth(u32 a, u32 b) {
    Composition* objectA = LookUp(a);
    Composition* objectB = LookUp(b);
    const TransformComponent* transformA = objectA ? objectA->GetComponentAs<TransformComponent>() : nullptr;
    const TransformComponent* transformB = objectB ? objectB->GetComponentAs<TransformComponent>() : nullptr;
    if (!transformA || !transformB) return transformA && !transformB;
    const Vec3& pa = transformA->GetPosition();
    const Vec3& pb = transformB->GetPosition();
    return pa.z > pb.z || (pa.z == pb.z && pa.y < pb.y);
}

void Graphics::SortRenderLists() {
    if (!m_drawListSorted) {
        std::sort(m_drawList.begin(), m_drawList.end(), &Graphics::CompareRenderOrderByMesh);
        m_drawListSorted = true;
    }
    if (!m_billboardListSorted) {
        std::sort(m_billboardList.begin(), m_billboardList.end(), &Graphics::CompareRenderOrderByDepth);
        m_billboardListSorted = true;
    }
}

}  // namespace Ostrel
