#pragma once
// An object's own message table ('msgC'). Every object-local message
// (collision reports, action control, damage, death, animation requests) is
// sent and received here; Composition::Send/Listen/Unlisten and the typed
// object-local senders forward to it and do nothing for an object without one.
// The table lives exactly as long as the component and is never copied: a
// clone starts with an empty table, and listeners go with the object.

#include "engine/base/Types.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <memory>
#include <string>

namespace Ostrel {

class MessageListenerTable;
class VariantFunction;
template <class T>
class RefPtr;

class MessageComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("msgC");

    MessageComponent();
    ~MessageComponent() override;

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override {}
    // Nothing of the table is stored or shown.
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    void Listen(const std::string& name, const RefPtr<VariantFunction>& listener);
    void Unlisten(const std::string& name, const RefPtr<VariantFunction>& listener);
    void Send(const std::string& name);
    // For the typed object-local sends.
    MessageListenerTable& GetTable() { return *m_table; }

private:
    std::unique_ptr<MessageListenerTable> m_table;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::MessageComponent);
