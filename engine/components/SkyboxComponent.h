#pragma once
// Names the sky box of the level ('skbC'): the graphics system loads the six
// textures base name + "-top", "-bottom", "-right", "-left", "-front" and
// "-back" when the object is announced, and listens on the object to
// "SetSkybox" (one argument: a pointer to the new base name), which the
// editor's "Set Skybox" button sends so an edited name applies at once.
//
// Data key: "skybox-base-name" (text).

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {

class SkyboxComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("skbC");

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // Sends the object-local "SetSkybox" with the base name (nothing without
    // an owner or a MessageComponent).
    void SendSetSkybox();
    const std::string& GetTextureName() const { return m_baseName; }
    void SetTextureName(const std::string& baseName) { m_baseName = baseName; }

private:
    std::string m_baseName;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::SkyboxComponent);
