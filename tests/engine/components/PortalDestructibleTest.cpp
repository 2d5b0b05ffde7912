#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/DestructibleComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/components/PortalComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/RoomInstance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel::ComponentTest {
namespace {

const char kArchetypes[] = R"(
<barrel-obj>
    <TransformComponent/>
    <MessageComponent/>
    <DestructibleComponent/>
</barrel-obj>
<exit-obj>
    <TransformComponent/>
    <PortalComponent><type-name>Exit</type-name></PortalComponent>
</exit-obj>
<crate-obj>
    <TransformComponent/>
    <CollisionComponent><Static>1</Static><VolumeMethod>MAXIMUM</VolumeMethod></CollisionComponent>
    <MeshComponent><MeshID>Wide</MeshID></MeshComponent>
</crate-obj>
)";

// Writes "type-name" when asked to write, reads it from value when set.
class TypeNameSerializer final : public Serializer {
public:
    TypeNameSerializer(bool reading, const char* value) : m_reading(reading), m_value(value) {}
    bool SerializeString(const std::string&, std::string* v) override {
        if (!m_reading) written = *v;
        if (!m_reading || !m_value) return false;
        *v = m_value;
        return true;
    }
    bool SerializeFloat(const std::string&, float*) override { return false; }
    bool SerializeBool(const std::string&, bool*) override { return false; }
    bool SerializeInt(const std::string&, int*) override { return false; }
    bool SerializeBlock(std::string&) override { return false; }
    bool IsReading() const override { return m_reading; }
    bool IsWriting() const override { return !m_reading; }
    std::string written;

private:
    bool m_reading;
    const char* m_value;
};

class StringPanel final : public TweakBarGroup {
public:
    void BeginGroup(const std::string&) override {}
    void AddString(const std::string&, std::string*, bool) override {}
    void AddFloat(const std::string&, float*, bool) override {}
    void AddBool(const std::string&, bool*, bool) override {}
    void AddCallbackVar(const std::string& l, int kind, TweakBarSetter s, TweakBarGetter g, void* c) override {
        label = l;
        this->kind = kind;
        setter = s;
        getter = g;
        client = c;
    }
    void AddButton(const std::string&, TweakBarButton, void*) override {}
    std::string Get() const {
        std::string text;
        getter(&text, client);
        return text;
    }
    void Set(std::string text) const { setter(&text, client); }

    std::string label;
    int kind = -1;
    TweakBarSetter setter = nullptr;
    TweakBarGetter getter = nullptr;
    void* client = nullptr;
};

struct DamageRecorder {
    void OnTakeDamage(float amount) { amounts.push_back(amount); }
    std::vector<float> amounts;
};

TEST(PortalComponent, TypeTextsAreExactAndReadingDerivesTheTypeFromTheText) {
    ComponentWorld world(kArchetypes);
    auto* portal = static_cast<PortalComponent*>(world.factory.CreateComponent(PortalComponent::kTypeId));
    struct Case {
        const char* text;
        u32 type;
    } reads[] = {{"Entrance", 0}, {"Exit", 1}, {"exit", 2}, {" Exit", 2}, {"Unknown", 2}, {"", 2}};
    for (const Case& c : reads) {
        TypeNameSerializer reader(true, c.text);
        portal->Serialize(&reader);
        EXPECT_EQ(portal->GetType(), c.type) << "'" << c.text << "'";
    }
    for (u32 type : {0u, 1u, 5u}) {
        portal->SetType(type);
        TypeNameSerializer writer(false, nullptr);
        portal->Serialize(&writer);
        EXPECT_EQ(writer.written, type == 0 ? "Entrance" : type == 1 ? "Exit" : "Unknown");
    }

    // A clone copies the type, not the text: a block without the key then
    // makes it Unknown, while the portal that still holds its text keeps it.
    portal->SetType(kPortalExit);
    auto* clone = static_cast<PortalComponent*>(portal->Clone());
    EXPECT_EQ(clone->GetType(), kPortalExit);
    TypeNameSerializer absent(true, nullptr);
    clone->Serialize(&absent);
    EXPECT_EQ(clone->GetType(), kPortalUnknown);
    portal->Serialize(&absent);
    EXPECT_EQ(portal->GetType(), kPortalUnknown) << "its text is \"Unknown\" from the last write";

    // The editor shows the type (also before any text exists) and its edit
    // sets the type only.
    auto* fresh = static_cast<PortalComponent*>(world.factory.CreateComponent(PortalComponent::kTypeId));
    StringPanel panel;
    fresh->ExposeProperties(&panel);
    EXPECT_EQ(panel.label, "type-name");
    EXPECT_EQ(panel.kind, kTweakString);
    EXPECT_EQ(panel.Get(), "Entrance");
    panel.Set("Exit");
    EXPECT_EQ(fresh->GetType(), kPortalExit);
    EXPECT_EQ(fresh->GetTypeName(), "");
    for (Component* c : {static_cast<Component*>(portal), static_cast<Component*>(clone),
                         static_cast<Component*>(fresh)})
        world.factory.DestroyComponent(c);
}

TEST(DestructibleComponent, ForwardsEveryHitAndDiesAtTheNextObjectUpdate) {
    ComponentWorld world(kArchetypes);
    Composition* barrel = world.Create("barrel-obj");
    const u32 id = barrel->GetId();
    DamageRecorder recorder;
    barrel->Listen("TakeDamage", MakeDelegate(&recorder, &DamageRecorder::OnTakeDamage));

    const float damage = 3.0f, coolDown = 0.1f;
    GetObjectMessageTable(barrel)->SendValues("DamageEnemy", damage, coolDown);
    GetObjectMessageTable(barrel)->SendValues("DamageEnemy", damage, coolDown);
    EXPECT_EQ(recorder.amounts, (std::vector<float>{3.0f, 3.0f}));

    barrel->Send("ObjectDead");
    EXPECT_EQ(world.objects.GetObject(id), barrel) << "destruction waits for the next update";
    world.objects.Update(0.016f);
    EXPECT_EQ(world.objects.GetObject(id), nullptr);

    // The archetype itself is not live and listens to nothing.
    const Composition* archetype = world.factory.FindArchetype("barrel-obj");
    EXPECT_TRUE(GetObjectMessageTable(const_cast<Composition*>(archetype))->GetListeners("DamageEnemy").empty());
}

TEST(StockComponentsRoundTrip, RoomSaveKeepsPortalTypesColliderFlagsAndShapes) {
    ComponentWorld world(kArchetypes);
    namespace fs = std::filesystem;
    const std::string root =
        (fs::path(LV_TEST_TMP) / "component-tests" / ("rooms-" + std::to_string(getpid()))).string();
    fs::remove_all(root);
    fs::create_directories(root);
    ResourceManager resources;
    RegisterResourceKinds(resources, root);

    std::vector<Composition*> placed = {world.factory.Create("exit-obj"), world.factory.Create("exit-obj"),
                                        world.factory.Create("crate-obj")};
    placed[0]->GetComponentAs<PortalComponent>()->SetType(kPortalEntrance);
    auto* crate = placed[2]->GetComponentAs<CollisionComponent>();
    crate->SetShape(kShapeSphere);
    crate->Flags().isStatic = false;
    crate->Flags().collideWithDynamics = true;
    ASSERT_TRUE(SerializerLevelSave::SaveRoom("Portal-Room", placed));

    std::ifstream file(root + "/level/Portal-Room.xrm");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str().find("ShapeName"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().find("VolumeMethod"), std::string::npos) << text.str();

    RoomInstance room("portal-room");
    ASSERT_TRUE(SerializerXML(true).LoadRoom("portal-room", room));
    ASSERT_EQ(room.GetObjects().size(), 3u);
    EXPECT_EQ(room.GetObjects()[0]->GetComponentAs<PortalComponent>()->GetType(), kPortalEntrance);
    EXPECT_EQ(room.GetObjects()[1]->GetComponentAs<PortalComponent>()->GetType(), kPortalExit);
    const auto* loaded = room.GetObjects()[2]->GetComponentAs<CollisionComponent>();
    EXPECT_EQ(loaded->GetShape(), kShapeSphere);
    EXPECT_FALSE(loaded->GetFlags().isStatic);
    EXPECT_TRUE(loaded->GetFlags().collideWithDynamics);
    EXPECT_FALSE(loaded->GetFlags().resolveWithStatics);
    EXPECT_EQ(loaded->GetVolumeMethod(), kVolumeMaximum) << "the archetype's method, never written";
    for (Composition* object : placed) world.factory.Destroy(object);
}

}  // namespace
}  // namespace Ostrel::ComponentTest
