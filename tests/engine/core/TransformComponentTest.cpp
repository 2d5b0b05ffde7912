#include "engine/base/Serializer.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "game/RegisterComponentTypes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using Ostrel::Composition;
using Ostrel::CompositionFactory;
using Ostrel::TransformComponent;
using Ostrel::Vec3;

namespace {

// Writing records "Key=text" in call order; reading answers from values.
class KeySerializer final : public Ostrel::Serializer {
public:
    explicit KeySerializer(bool reading) : m_reading(reading) {}
    bool SerializeString(const std::string& n, std::string* v) override { return Value(n, v); }
    bool SerializeFloat(const std::string& n, float* v) override { return Value(n, v); }
    bool SerializeBool(const std::string& n, bool* v) override { return Value(n, v); }
    bool SerializeInt(const std::string& n, int* v) override { return Value(n, v); }
    bool SerializeBlock(std::string&) override { return false; }
    bool IsReading() const override { return m_reading; }
    bool IsWriting() const override { return !m_reading; }

    std::vector<std::string> written;
    std::map<std::string, float> values;

private:
    template <class T>
    bool Value(const std::string& name, T* value) {
        if (!m_reading) {
            char text[64];
            std::snprintf(text, sizeof text, "%f", double(*value));
            written.push_back(name + "=" + text);
            return false;
        }
        auto it = values.find(name);
        if (it == values.end()) return false;
        *value = static_cast<T>(it->second);
        return true;
    }
    bool Value(const std::string&, std::string*) { return false; }
    bool m_reading;
};

class Panel final : public Ostrel::TweakBarGroup {
public:
    void BeginGroup(const std::string&) override {}
    void AddString(const std::string& l, std::string*, bool) override { entries.push_back("string " + l); }
    void AddFloat(const std::string& l, float*, bool) override { entries.push_back("float " + l); }
    void AddInt(const std::string& l, Ostrel::s32*, bool) override { entries.push_back("int " + l); }
    void AddBool(const std::string& l, bool*, bool) override { entries.push_back("bool " + l); }
    void AddCallbackVar(const std::string& l, int kind, Ostrel::TweakBarSetter setter,
                        Ostrel::TweakBarGetter getter, void* client) override {
        entries.push_back("callback" + std::to_string(kind) + " " + l);
        setters[l] = [setter, client](float v) { setter(&v, client); };
        getters[l] = [getter, client] {
            float v = 0;
            getter(&v, client);
            return v;
        };
    }
    void AddButton(const std::string& l, Ostrel::TweakBarButton, void*) override { entries.push_back("button " + l); }
    std::vector<std::string> entries;
    std::map<std::string, std::function<void(float)>> setters;
    std::map<std::string, std::function<float()>> getters;
};

struct Counter {
    void OnLocal() { ++local; }
    void OnGlobal(unsigned id) { globalIds.push_back(id); }
    int local = 0;
    std::vector<unsigned> globalIds;
};

class TransformComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.AddSystem(&core);
        Vandle::RegisterComponentTypes(factory);
    }
    CompositionFactory factory;
    Ostrel::Engine engine;
    Ostrel::CoreSystem core;
};

}  // namespace

TEST_F(TransformComponentTest, SerializesNineFloatsInKeyOrderAndReadsThemBack) {
    auto* transform = static_cast<TransformComponent*>(factory.CreateComponent(27));
    EXPECT_EQ(transform->GetScale(), Vec3(1, 1, 1));
    transform->SetPosition(Vec3(1.5f, -2, 3));
    KeySerializer writer(false);
    transform->Serialize(&writer);
    EXPECT_EQ(writer.written,
              (std::vector<std::string>{"PosX=1.500000", "PosY=-2.000000", "PosZ=3.000000",
                                        "RotX=0.000000", "RotY=0.000000", "RotZ=0.000000",
                                        "ScaX=1.000000", "ScaY=1.000000", "ScaZ=1.000000"}));
    KeySerializer reader(true);
    reader.values = {{"PosY", 7.0f}, {"RotZ", 45.0f}, {"ScaX", 2.0f}};
    transform->Serialize(&reader);
    EXPECT_EQ(transform->GetPosition(), Vec3(1.5f, 7, 3)) << "absent keys keep their values";
    EXPECT_EQ(transform->GetRotation(), Vec3(0, 0, 45));
    EXPECT_EQ(transform->GetScale(), Vec3(2, 1, 1));
    factory.DestroyComponent(transform);
}

TEST_F(TransformComponentTest, CloneCopiesPlacementButNotThePreviousPosition) {
    auto* transform = static_cast<TransformComponent*>(factory.CreateComponent(27));
    transform->SetPosition(Vec3(1, 2, 3));
    transform->SetRotation(Vec3(0, 90, 0));
    transform->SetScale(Vec3(2, 2, 2));
    transform->SetPreviousPosition(Vec3(9, 9, 9));
    auto* clone = static_cast<TransformComponent*>(transform->Clone());
    EXPECT_EQ(clone->GetPosition(), Vec3(1, 2, 3));
    EXPECT_EQ(clone->GetRotationY(), 90.0f);
    EXPECT_EQ(clone->GetScale(), Vec3(2, 2, 2));
    EXPECT_EQ(clone->GetPreviousPosition(), Vec3(0, 0, 0));
    EXPECT_EQ(clone->GetOwner(), nullptr);
    factory.DestroyComponent(clone);
    factory.DestroyComponent(transform);
}

TEST_F(TransformComponentTest, PanelEditsOfRotationAndScaleAnnounceTheChange) {
    Composition* object = factory.Create("blank");
    object->AddComponent(factory.CreateComponent(27));
    object->AddComponent(factory.CreateComponent(Ostrel::MessageComponent::kTypeId));
    object->SetId(65537);
    Counter counter;
    object->Listen("TransformUpdated", Ostrel::MakeDelegate(&counter, &Counter::OnLocal));
    core.Listen("TransformUpdated", Ostrel::MakeDelegate(&counter, &Counter::OnGlobal));

    Panel panel;
    object->GetTransform()->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries,
              (std::vector<std::string>{"float PosX", "float PosY", "float PosZ", "callback6 RotX",
                                        "callback6 RotY", "callback6 RotZ", "callback6 ScaX",
                                        "callback6 ScaY", "callback6 ScaZ"}));
    panel.setters["RotY"](30.0f);
    panel.setters["ScaZ"](4.0f);
    EXPECT_EQ(object->GetTransform()->GetRotation(), Vec3(0, 30, 0));
    EXPECT_EQ(panel.getters["ScaZ"](), 4.0f);
    EXPECT_EQ(counter.local, 2);
    EXPECT_EQ(counter.globalIds, (std::vector<unsigned>{65537, 65537}));
    factory.Destroy(object);
}
