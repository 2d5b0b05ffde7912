#pragma once
// Marks an object of a room as the room's entrance or exit ('prtC'). The room
// loader takes an entrance's and an exit's transform as the room's ends and
// rejects a room with any other portal type.
//
// Data key: "type-name", exactly "Entrance" or "Exit" (case matters). Any
// other text, an empty one included, reads as Unknown. Reading derives the
// type from the text even when the key is absent, so a block without
// "type-name" read into a new or cloned portal (whose text is empty) makes it
// Unknown. Writing writes the text of the current type.

#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {

enum PortalType : u32 {
    kPortalEntrance = 0,
    kPortalExit = 1,
    kPortalUnknown = 2,
};

// 0 "Entrance", 1 "Exit", anything else "Unknown".
const char* PortalTypeToString(u32 type);
// Exactly "Entrance" 0, exactly "Exit" 1, anything else 2.
PortalType StringToPortalType(const std::string& text);

class PortalComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("prtC");

    void Initialize() override {}
    // Copies the type only; the clone's text stays empty until it is
    // serialized.
    Component* Clone() const override;
    void Uninitialize() override {}
    void Serialize(Serializer* serializer) override;
    // One text field "type-name" showing the current type; editing it sets
    // the type and leaves the stored text alone.
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    u32 GetType() const { return m_type; }
    void SetType(u32 type) { m_type = type; }
    const std::string& GetTypeName() const { return m_typeName; }

private:
    u32 m_type = kPortalEntrance;
    std::string m_typeName;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::PortalComponent);
