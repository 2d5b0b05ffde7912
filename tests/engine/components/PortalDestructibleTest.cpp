#include "tests/engine/components/ComponentWorld.h"

#include "engine/components/CollisionComponent.h"
#include "engine/components/DestructibleComponent.h"
#include "engine/components/ObjectMessages.h"
#include "engine/components/PortalComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/SerializerLevelSave.h"
#include "engine/io/SerializerXML.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/world/RoomInstance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel::ComponentTest {
namespace {

const char kPortalArchetypes[] = R"(
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

struct DamageRecorder {
    void OnTakeDamage(float amount) { amounts.push_back(amount); }
    std::vector<float> amounts;
};

TEST(PortalComponent, TypeTextsAreExactAndReadingDerivesTheTypeFromTheText) {
    ComponentWorld world(kPortalArchetypes);
    auto* portal = static_cast<PortalComponent*>(world.factory.CreateComponent(PortalComponent::kTypeId));
    auto read = [](PortalComponent* p, const char* text) {
        TextSerializer reader(true);
        if (text) reader.values["type-name"] = text;
        p->Serialize(&reader);
        return p->GetType();
    };
    struct Case {
        const char* text;
        u32 type;
    } reads[] = {{"Entrance", 0}, {"Exit", 1}, {"exit", 2}, {" Exit", 2}, {"Unknown", 2}, {"", 2}};
    for (const Case& c : reads) EXPECT_EQ(read(portal, c.text), c.type) << "'" << c.text << "'";
    const char* const writes[] = {"type-name=Entrance", "type-name=Exit", "type-name=Unknown"};
    for (u32 type : {0u, 1u, 5u}) {
        portal->SetType(type);
        TextSerializer writer(false);
        portal->Serialize(&writer);
        EXPECT_EQ(writer.written, std::vector<std::string>{writes[std::min(type, 2u)]});
    }

    // A clone copies the type, not the text: a block without the key then
    // makes it Unknown, while the portal that still holds its text keeps it.
    portal->SetType(kPortalExit);
    auto* clone = static_cast<PortalComponent*>(portal->Clone());
    EXPECT_EQ(clone->GetType(), kPortalExit);
    EXPECT_EQ(read(clone, nullptr), kPortalUnknown);
    EXPECT_EQ(read(portal, nullptr), kPortalUnknown) << "its text is \"Unknown\" from the last write";

    // The editor shows the type (also before any text exists) and its edit
    // sets the type only.
    auto* fresh = static_cast<PortalComponent*>(world.factory.CreateComponent(PortalComponent::kTypeId));
    Panel panel;
    fresh->ExposeProperties(&panel);
    EXPECT_EQ(panel.entries, std::vector<std::string>{"callback4 type-name"});
    EXPECT_EQ(panel.Get<std::string>("type-name"), "Entrance");
    panel.Set("type-name", std::string("Exit"));
    EXPECT_EQ(fresh->GetType(), kPortalExit);
    EXPECT_EQ(fresh->GetTypeName(), "");
    for (Component* c : {static_cast<Component*>(portal), static_cast<Component*>(clone),
                         static_cast<Component*>(fresh)})
        world.factory.DestroyComponent(c);
}

TEST(DestructibleComponent, ForwardsEveryHitAndDiesAtTheNextObjectUpdate) {
    ComponentWorld world(kPortalArchetypes);
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
    ComponentWorld world(kPortalArchetypes);
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
