#pragma once
// Test doubles for the object layer: probe components that record their
// lifecycle, an in-memory Serializer with the block cursor of the XML one,
// and a panel that records what components expose.

#include "engine/base/Serializer.h"
#include "engine/core/Component.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Variant.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ObjectTest {

using Ostrel::u32;

// Every probe event in order: "init 27", "uninit 42", "delete brnC"...
std::vector<std::string>& Events();
std::string IdText(u32 typeId);

template <u32 Id>
class Probe final : public Ostrel::Component {
public:
    static constexpr u32 kTypeId = Id;
    ~Probe() override { Events().push_back("delete " + IdText(Id)); }
    void Initialize() override { Events().push_back("init " + IdText(Id)); }
    void Uninitialize() override { Events().push_back("uninit " + IdText(Id)); }
    Ostrel::Component* Clone() const override {
        auto* copy = static_cast<Probe*>(Ostrel::CompositionFactory::Instance()->CreateComponent(Id));
        copy->value = value;
        return copy;
    }
    void Serialize(Ostrel::Serializer* s) override { s->SerializeInt("Value", &value); }
    void ExposeProperties(Ostrel::TweakBarGroup* panel) override {
        panel->AddString("Probe", &label, false);
    }
    u32 GetTypeId() const override { return Id; }
    Ostrel::Variant ToVariant() override { return Ostrel::Variant(); }

    int value = 0;
    std::string label;
};

// Registers Probe<27> as "TransformProbe", Probe<42> as "MeshProbe",
// Probe<'brnC'> as "BrainProbe" and Probe<'msgC'> as "MessageProbe".
void RegisterProbes(Ostrel::CompositionFactory& factory);

// A serializer over an in-memory tree. Writing builds the tree; reading walks
// a tree with the same first/current block cursor as the XML serializer.
class MemorySerializer final : public Ostrel::Serializer {
public:
    struct Node {
        std::string tag;
        std::vector<std::pair<std::string, std::string>> values;
        std::vector<std::unique_ptr<Node>> children;
        Node* parent = nullptr;
    };

    explicit MemorySerializer(bool reading);
    // A reader over the blocks of a writer's root (or of a given node).
    static MemorySerializer ReaderOf(const Node& blocks);

    bool SerializeString(const std::string& name, std::string* value) override;
    bool SerializeFloat(const std::string& name, float* value) override;
    bool SerializeBool(const std::string& name, bool* value) override;
    bool SerializeInt(const std::string& name, int* value) override;
    bool SerializeBlock(std::string& name) override;
    bool IsReading() const override { return m_reading; }
    bool IsWriting() const override { return !m_reading; }

    Node& Root() { return *m_root; }
    // "Tag{Key=value,...}" for each top-level block, in order.
    std::string Describe() const;

private:
    const std::string* Find(const std::string& name) const;
    void Write(const std::string& name, std::string text);

    bool m_reading;
    std::shared_ptr<Node> m_root;
    Node* m_current = nullptr;
    const Node* m_readBlocks = nullptr;
    std::size_t m_readIndex = 0;
};

class RecordingPanel final : public Ostrel::TweakBarGroup {
public:
    void BeginGroup(const std::string& name) override { entries.push_back("group " + name); }
    void AddString(const std::string& label, std::string*, bool) override { Add("string", label); }
    void AddFloat(const std::string& label, float*, bool) override { Add("float", label); }
    void AddInt(const std::string& label, Ostrel::s32*, bool) override { Add("int", label); }
    void AddBool(const std::string& label, bool*, bool) override { Add("bool", label); }
    void AddCallbackVar(const std::string& label, int kind, Ostrel::TweakBarSetter setter,
                        Ostrel::TweakBarGetter getter, void* clientData) override {
        Add("callback" + std::to_string(kind), label);
        callbacks[label] = {setter, getter, clientData};
    }
    void AddButton(const std::string& label, Ostrel::TweakBarButton, void*) override { Add("button", label); }

    struct Callback {
        Ostrel::TweakBarSetter setter;
        Ostrel::TweakBarGetter getter;
        void* clientData;
    };
    std::vector<std::string> entries;
    std::map<std::string, Callback> callbacks;

private:
    void Add(const std::string& kind, const std::string& label) { entries.push_back(kind + " " + label); }
};

}  // namespace ObjectTest

namespace Ostrel {
class CoreSystem;
}

namespace ObjectTest {

// Calls fn with the u32 argument of every global message of that name while
// the returned listener lives.
class IdListener {
public:
    explicit IdListener(std::function<void(u32)> fn) : m_fn(std::move(fn)) {}
    void OnId(unsigned id) { m_fn(id); }

private:
    std::function<void(u32)> m_fn;
};
std::unique_ptr<IdListener> ListenForId(Ostrel::CoreSystem& core, const std::string& name,
                                        std::function<void(u32)> fn);

}  // namespace ObjectTest
