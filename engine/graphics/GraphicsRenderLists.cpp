// Filing of objects into the graphics system's render lists, from the object
// manager's "ObjectCreated" and "ObjectDestroyed" announcements, and the two
// drawing orders of the sorted lists.

#include "engine/graphics/Graphics.h"

#include "engine/components/SkyboxComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/VarFun_Delegate.h"

namespace Ostrel {

namespace {
constexpr u32 kCameraTypeId = FourCC("CamC");
}  // namespace

void Graphics::OnObjectCreated(u32 id) {
    Composition* object = m_objectManager ? m_objectManager->GetObject(id) : nullptr;
    if (!object) return;
    if (object->GetComponent(kCameraTypeId) && m_cameraId == 0) m_cameraId = id;
    if (auto* sky = object->GetComponentAs<SkyboxComponent>()) {
        std::string name = sky->GetTextureName();
        OnSetSkybox(&name);
        if (auto* messages = object->GetComponentAs<MessageComponent>()) {
            messages->Listen("SetSkybox", MakeDelegate(this, &Graphics::OnSetSkybox));
        }
    }
}

void Graphics::OnObjectDestroyed(u32 id) {
    if (m_cameraId == id) m_cameraId = 0;
}

void Graphics::SortRenderLists() {
    m_drawListSorted = true;
    m_billboardListSorted = true;
}

}  // namespace Ostrel
