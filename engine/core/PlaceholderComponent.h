#pragma once
// Stand-in for a component class that is not written yet: it is registered
// under that class's name and type id (RegisterComponentTypes),
// so archetype and room files naming that class load today. It is inert: it
// keeps no fields, subscribes to nothing, reads nothing and writes nothing.
// Missing: the class's fields and behaviour. A row in RegisterComponentTypes
// is replaced by its own class once written; a test lists the rows that are
// still placeholders.

#include "engine/core/Component.h"
#include "engine/core/Variant.h"

namespace Ostrel {

// Lets code (and the registration test) tell a placeholder from a real class.
class PlaceholderComponentBase : public Component {
public:
    void Initialize() override {}
    void Uninitialize() override {}
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    Variant ToVariant() override { return Variant(); }
};

template <u32 TypeId>
class PlaceholderComponent final : public PlaceholderComponentBase {
public:
    static constexpr u32 kTypeId = TypeId;

    Component* Clone() const override;
    u32 GetTypeId() const override { return kTypeId; }
};

}  // namespace Ostrel

#include "engine/core/CompositionFactory.h"

namespace Ostrel {

template <u32 TypeId>
Component* PlaceholderComponent<TypeId>::Clone() const {
    CompositionFactory* factory = CompositionFactory::Instance();
    return factory ? factory->CreateComponent(kTypeId) : nullptr;
}

}  // namespace Ostrel
